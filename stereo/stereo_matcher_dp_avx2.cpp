// The dynamic programme compiled for AVX2 (this file is built with -mavx2 on x86). Elsewhere it
// is the generic one again, and Avx2Supported() keeps it from being chosen.
#include "stereo/stereo_matcher_dp_kernel.h"

namespace stereo {

void RunRowGroupAvx2(const RowGroupInput& in, const RowGroupTables& tables) {
    RunRowGroup(in, tables);
}

} // namespace stereo
