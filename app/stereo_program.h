// The stereo application's entry points beyond UserInit and UserMain.
#pragma once

// The interaction loop's pacing: pumps messages for 100 ms. 1 if a stop was requested, else 0.
int WaitFrame();
// Frames the loop has finished since the program started: everything a frame wrote happens
// before its count is seen (the tests wait on it instead of sleeping).
long FrameCount();
