// ALERT: what a program tells its user before it has a window: a failure
// at start-up, and the answers to --help and --version. On Windows, where
// a windowed program has no console of its own to show them on, they also
// reach the user through the console it was started from or a message box.
#pragma once

// Tells the user one line (no line break at its end) and returns once they
// have seen it.
void ALERTStartFailure(const char* line);

// Shows a text of whole lines on standard output; on Windows, when that
// leads nowhere, in the console the program was started from, or else in
// a message box.
void ALERTAnswer(const char* text);
