// STOP: an interrupt (Ctrl+C, and Ctrl+Break on Windows) or terminate
// signal asking the program to stop. The handler only records the signal;
// the frame step asks for it once a frame and leaves through the program's
// own exit path, so the window system is shut down properly.
#pragma once

// Installs the handler for the stop signals, unless the program was
// started with the signal ignored (the window backend does so once its
// window is open).
void STOPWatchSignals();
// The number of the signal that asked to stop, or 0 when none did.
int STOPSignal();

// Remember what the stop signals do now, and put that back later: around a
// library's start-up that installs handlers of its own.
void STOPSaveHandlers();
void STOPRestoreHandlers();
