// ALERT: a failure at start-up that leaves the program without a window.
// It always goes to standard error; on Windows, where a windowed program
// has no console to show that on, it also goes into a message box.
#pragma once

// Tells the user one line (no line break at its end) and returns once they
// have seen it.
void ALERTStartFailure(const char* line);
