// The stereo application's process-wide values.
#include "app/stereo_state.h"

int maxDisparity = INITIAL_MAX_DISPARITY;
double param1 = DEFAULT2_PARAMETERS[0];
double param2 = DEFAULT2_PARAMETERS[1];
double param3 = DEFAULT2_PARAMETERS[2];
double param4 = DEFAULT2_PARAMETERS[3];
double param5 = DEFAULT2_PARAMETERS[4];
int lastMaxDisparity = INITIAL_MAX_DISPARITY;
double lastParam1 = DEFAULT2_PARAMETERS[0];
double lastParam2 = DEFAULT2_PARAMETERS[1];
double lastParam3 = DEFAULT2_PARAMETERS[2];
double lastParam4 = DEFAULT2_PARAMETERS[3];
double lastParam5 = DEFAULT2_PARAMETERS[4];
int swapDepth = 0;

double* StereoParameter(int i) {
    static double* const params[STEREO_PARAMETER_COUNT] = {&param1, &param2, &param3, &param4,
                                                           &param5};
    return params[i];
}

double* LastStereoParameter(int i) {
    static double* const params[STEREO_PARAMETER_COUNT] = {&lastParam1, &lastParam2, &lastParam3,
                                                           &lastParam4, &lastParam5};
    return params[i];
}

StereoParameters CurrentStereoParameters() {
    return {maxDisparity, {param1, param2, param3, param4, param5}};
}
