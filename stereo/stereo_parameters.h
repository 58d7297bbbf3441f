// The stereo matching parameters the application edits, and its two fixed parameter sets.
#pragma once

constexpr int STEREO_PARAMETER_COUNT = 5;

struct StereoParameters {
    int maxDisparity;
    double param[STEREO_PARAMETER_COUNT]; // param1 ... param5 of the stereo call
};

// The values the application starts with; param1 ... param5 are the "default2" set.
constexpr int INITIAL_MAX_DISPARITY = 100;
constexpr double DEFAULT1_PARAMETERS[STEREO_PARAMETER_COUNT] = {25.0, 5.0, 12.0, 15.0, 25.0};
constexpr double DEFAULT2_PARAMETERS[STEREO_PARAMETER_COUNT] = {15.0, 3.0, 6.0, 8.0, 15.0};

constexpr StereoParameters INITIAL_STEREO_PARAMETERS = {
    INITIAL_MAX_DISPARITY,
    {DEFAULT2_PARAMETERS[0], DEFAULT2_PARAMETERS[1], DEFAULT2_PARAMETERS[2], DEFAULT2_PARAMETERS[3],
     DEFAULT2_PARAMETERS[4]}};

// The largest maxDisparity the matcher takes for an overlap cols pixels wide; below 1 when
// the overlap is too narrow for any.
constexpr int MaxDisparityLimit(int cols) {
    return cols - 1 < 255 ? cols - 1 : 255;
}
