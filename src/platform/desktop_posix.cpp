#include "platform/desktop.hpp"

// X11 and the console have no desktop scale that a window must follow.
int DESKTOPScalePercent() { return 100; }
