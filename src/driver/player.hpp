// The one loop: the scene table played a frame at a time. Every host steps
// its frames through here: the scene functions (and so the programs), the
// capture and soak tools, and the web page's animation callback. Each call
// draws the running scene's next frame and runs the frame step; a scene
// starts on its first frame and stops after its last or after SPACE.
#pragma once

// Forgets the place in the loop: the next frame is the first scene's first.
// A running scene must have been stopped. Start-up does this.
void TORVELINPlayerRestart();
// Draws and steps one frame of the loop; once an exit key has been read
// under a host that ends the run itself, a step of the exit fade instead.
// False when the fade is over: the run has ended and the host stops.
bool TORVELINPlayerFrame();
// Stops the running scene, freeing what it made.
void TORVELINPlayerStop();
// Plays scene `index` of the table from its first frame until it ends (or,
// under a host that ends the run, until an exit key is read).
void TORVELINPlayScene(int index);
