// Eyes of a side-by-side source.
#include "stereo/eyes.h"

#include <climits>
#include <cstring>
#include <strings.h>

namespace {

// Offsets past the views give no overlap whatever their size; INT_MIN has no negation.
int Negated(int offset) {
    return offset == INT_MIN ? INT_MAX : -offset;
}

} // namespace

EyePair EyesOf(const std::uint32_t* viewA, const std::uint32_t* viewB, int offsetX, int offsetY,
               SideBySideLayout layout) {
    if (layout == LAYOUT_CROSS) {
        // View A starts max(offsetX, 0) into the overlap; as the right eye it must start
        // max(-eyeOffsetX, 0) in, so the eyes' offset is the views' negated.
        return {viewB, viewA, Negated(offsetX), Negated(offsetY)};
    }
    return {viewA, viewB, offsetX, offsetY};
}

SideBySideLayout LayoutOfFileName(const char* name) {
    const std::size_t length = name != nullptr ? std::strlen(name) : 0;
    return length >= 4 && strcasecmp(name + length - 4, ".jps") == 0 ? LAYOUT_CROSS
                                                                     : LAYOUT_PARALLEL;
}

bool ParseLayoutName(const char* text, SideBySideLayout* layout) {
    if (std::strcmp(text, "parallel") == 0) {
        *layout = LAYOUT_PARALLEL;
        return true;
    }
    if (std::strcmp(text, "cross") == 0) {
        *layout = LAYOUT_CROSS;
        return true;
    }
    return false;
}
