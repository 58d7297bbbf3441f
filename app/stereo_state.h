// What the stereo application keeps from one run to the next: the matching parameters as the
// input box last gave them, their last-used copies, and which view is the left image.
#pragma once

#include "stereo/stereo_parameters.h"

extern int maxDisparity;
extern double param1;
extern double param2;
extern double param3;
extern double param4;
extern double param5;
extern int lastMaxDisparity;
extern double lastParam1;
extern double lastParam2;
extern double lastParam3;
extern double lastParam4;
extern double lastParam5;
extern int swapDepth; // 1: view B is the left image of the stereo call

// param1 ... param5 and their copies by index 0 ... 4.
double* StereoParameter(int i);
double* LastStereoParameter(int i);

// The current values as one set, for a depth pass.
StereoParameters CurrentStereoParameters();
