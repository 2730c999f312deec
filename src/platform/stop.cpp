#include "platform/stop.hpp"

#include <csignal>

namespace {

volatile sig_atomic_t received = 0;

extern "C" void RecordSignal(int signal) { received = signal; }

// A signal the program was started with ignored (a background job of a
// script, say) stays ignored, as in any program.
void Watch(int signal) {
  struct sigaction action {};
  sigaction(signal, nullptr, &action);
  if (action.sa_handler == SIG_IGN) return;
  action = {};
  action.sa_handler = RecordSignal;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
}

}  // namespace

void STOPWatchSignals() {
  Watch(SIGINT);
  Watch(SIGTERM);
}

int STOPSignal() { return received; }
