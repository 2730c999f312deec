// The one build-time choice between the two programs: windowed or full
// screen. Each program links exactly one flavour file that defines it.
#pragma once

extern const bool TORVELINFullScreen;
