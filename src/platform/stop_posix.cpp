// The stop signals on POSIX systems: SIGINT and SIGTERM through sigaction.
#include <csignal>
#include <cstddef>
#include <iterator>

#include "platform/stop.hpp"

namespace {

volatile sig_atomic_t received = 0;

constexpr int kStopSignals[] = {SIGINT, SIGTERM};
struct sigaction saved[std::size(kStopSignals)];

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
  for (int signal : kStopSignals) Watch(signal);
}

int STOPSignal() { return received; }

void STOPSaveHandlers() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], nullptr, &saved[i]);
}

void STOPRestoreHandlers() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &saved[i], nullptr);
}
