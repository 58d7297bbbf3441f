// The depth pass as the interactive application runs it: the map of the aligned views shown in
// the "CV depth" window and, when saving, the view and map files.
#pragma once

#include <cstdint>

// The display window of the disparity map.
constexpr const char* DEPTH_WINDOW_NAME = "CV depth";

// Runs a pass on views A and B (W x H each) at the offset with the current parameters and
// swapDepth, and shows the map. With save set, writes B_Right.png, B_Left.png and B_depth.png
// for the base name of the last Save into the current directory. A pass the matcher cannot
// take (no overlap, too narrow, maxDisparity out of range) is skipped and the status line says
// why; the window keeps its last map.
void EstimateDepth(int offsetX, const std::uint32_t* bufferA, const std::uint32_t* bufferB, int W,
                   int H, int offsetY, int save);

// Depth passes run since the program started, skipped ones included: the tests count them.
long DepthPassCount();
