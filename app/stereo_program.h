// The stereo application's entry points beyond UserInit and UserMain.
#pragma once

// The interaction loop's pacing: pumps messages for 100 ms. 1 if a stop was requested, else 0.
int WaitFrame();

// Batch mode before any window opens: the process's exit status for "--batch" command lines,
// -1 for anything else.
int ConsoleMain(int argc, char** argv);
