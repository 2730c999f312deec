// DESKTOP: what the desktop asks of a window. Windows lets the user scale
// the desktop (125 %, 150 %, 200 % ...) and expects a program that knows
// it to draw that much larger; other systems leave sizes to the program.
#pragma once

// The desktop's scale in percent of the plain size: 100 where the system
// has no such setting or does not say.
int DESKTOPScalePercent();
