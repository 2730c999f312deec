// The scene loop one frame at a time, for a host that owns the loop and
// calls back once per frame (a web page's animation callback). It plays
// the same scenes in the same order with the same frames as the scene
// functions: each call draws the running scene's next frame and runs the
// frame step; a scene starts on its first frame and stops after its last.
#pragma once

// Forgets any running scene: the next frame is the lasers' first. Call it
// after TORVELINInit.
void TORVELINPlayerRestart();
// Draws and steps one frame of the loop.
void TORVELINPlayerFrame();
// Stops the running scene, freeing what it made.
void TORVELINPlayerStop();
