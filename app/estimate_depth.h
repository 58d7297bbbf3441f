// The depth passes as the interactive application runs them: off the interaction loop, on the
// run's own copies of the views, the newest map shown in the "CV depth" window scaled to fit and
// stretched to the full grey range, the reason on the status line when a pass makes no map, and
// the view and map files of a Save.
#pragma once

#include "stereo/eyes.h"
#include "stereo/save_results.h"

#include <cstdint>
#include <string>

// The display window of the disparity map.
constexpr const char* DEPTH_WINDOW_NAME = "CV depth";

// Starts the run's depth work on copies of views A and B (W x H each). Maps are shown at most
// displayWidth x displayHeight (0: unlimited).
void StartDepthWork(const std::uint32_t* viewA, const std::uint32_t* viewB, int W, int H,
                    SideBySideLayout layout, int displayWidth, int displayHeight);

// Asks for the map of the alignment at the offset (view A against view B) with the current
// parameters and swapDepth. A request still waiting is replaced by this one. Nothing happens
// before StartDepthWork.
void EstimateDepth(int offsetX, int offsetY);

// The same for a Save under baseName: the pass also writes B_Right.png, B_Left.png and
// B_depth.png into the current directory, and, with extras, the wiggle GIF and least-squares
// anaglyph before it; the status line confirms the Save, counting adjustedWritten (the
// side-by-side file already written) among its files, or saying adjustedFailure (why it was
// not).
void EstimateDepthAndSave(int offsetX, int offsetY, const SaveNames& names, bool adjustedWritten,
                          const std::string& adjustedFailure = "", bool extras = false);

// On the loop: shows what finished passes brought (the newest map, status texts).
void ShowFinishedDepth();

// Ends the run's depth work and shows the outcome of its Saves. The map pass under way is
// called off; the Saves run to their end unless callOff or a Stop or Exit while they run (they
// then end after the file being written, so the program ends at once).
void StopDepthWork(bool callOff = false);

// Depth passes finished and asked for since the program started (the tests count them).
long DepthPassCount();
long DepthRequestCount();
