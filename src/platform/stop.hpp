// STOP: an interrupt (Ctrl+C) or terminate signal asking the program to
// stop. The handler only records the signal; the frame step asks for it
// once a frame and leaves through the program's own exit path, so the
// window system is shut down properly.
#pragma once

// Installs the handler for SIGINT and SIGTERM, unless the program was
// started with the signal ignored (the window backend does so once its
// window is open).
void STOPWatchSignals();
// The number of the signal that asked to stop, or 0 when none did.
int STOPSignal();
