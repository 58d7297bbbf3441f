// The dynamic programme for the baseline instruction set, used where AVX2 is missing.
#include "stereo/stereo_matcher_dp_kernel.h"

namespace stereo {

void RunRowGroupGeneric(const RowGroupInput& in, const RowGroupTables& tables) {
    RunRowGroup(in, tables);
}

} // namespace stereo
