#include "driver/flavour.hpp"

const bool TORVELINFullScreen = false;
