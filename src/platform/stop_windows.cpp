// The stop signals on Windows: the C runtime turns Ctrl+C into SIGINT and
// Ctrl+Break into SIGBREAK for a program with a console; SIGTERM comes
// only from raise(). There is no sigaction, so signal() installs and reads
// the handlers.
#include <csignal>
#include <cstddef>
#include <iterator>

#include "platform/stop.hpp"

namespace {

volatile sig_atomic_t received = 0;

constexpr int kStopSignals[] = {SIGINT, SIGBREAK, SIGTERM};
void (*saved[std::size(kStopSignals)])(int) = {};

extern "C" void RecordSignal(int signal) { received = signal; }

}  // namespace

// A signal the program was started with ignored stays ignored.
void STOPWatchSignals() {
  for (int signal : kStopSignals)
    if (std::signal(signal, RecordSignal) == SIG_IGN) std::signal(signal, SIG_IGN);
}

int STOPSignal() { return received; }

// Reading a handler means setting one: the old one goes straight back.
void STOPSaveHandlers() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i) {
    saved[i] = std::signal(kStopSignals[i], SIG_DFL);
    std::signal(kStopSignals[i], saved[i]);
  }
}

void STOPRestoreHandlers() {
  for (size_t i = 0; i < std::size(kStopSignals); ++i)
    if (saved[i] != SIG_ERR) std::signal(kStopSignals[i], saved[i]);
}
