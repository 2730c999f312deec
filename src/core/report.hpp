// How every module reports, on standard output with printf and only while
// the module's switch is on: its error printer writes one fixed message, and
// a traced operation writes "Name_" on entry, "_Name" on every way out and
// "ERR what" before an error exit. A switch that is a constant false leaves
// nothing of the call in the program.
#pragma once
#include <cstdio>

// Prints the module's fixed message, exactly as given.
inline void REPORTError(bool on, const char* message) {
  if (on) std::printf("%s", message);
}

// The trace of one operation, from its entry to its way out.
class REPORTTrace {
 public:
  REPORTTrace(bool on, const char* operation) : on_(on), operation_(operation) {
    if (on_) std::printf("%s_\n", operation_);
  }
  ~REPORTTrace() {
    if (on_) std::printf("_%s\n", operation_);
  }
  REPORTTrace(const REPORTTrace&) = delete;
  REPORTTrace& operator=(const REPORTTrace&) = delete;

  // The line before an error exit.
  void Error(const char* what) const {
    if (on_) std::printf("ERR %s\n", what);
  }
  // Any other line of the trace, from a printf format.
  template <typename... Values>
  void Line(const char* format, Values... values) const {
    if (on_) std::printf(format, values...);
  }

 private:
  bool on_;
  const char* operation_;
};
