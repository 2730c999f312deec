#include "platform/stop.hpp"

#include <csignal>

namespace {

volatile sig_atomic_t received = 0;

extern "C" void recordSignal(int signal) { received = signal; }

}  // namespace

void STOPWatchSignals() {
  struct sigaction action {};
  action.sa_handler = recordSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int STOPSignal() { return received; }
