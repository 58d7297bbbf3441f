// Window layout and guide-line near-tests of the stereo application.
#include "app/layout.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int SOURCE_WINDOW = 0;
constexpr int NEAR_DISTANCE = 100;
constexpr int EDGE_MARGIN = 50;

// Products in 64 bits: a tall source at a large zoom must not wrap.
int Scaled(int size, int zoom) {
    return static_cast<int>(std::min<std::int64_t>(std::int64_t{size} * zoom / 100, INT32_MAX));
}

bool NearLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py) {
    const std::int64_t x = px;
    return pointerWindow == SOURCE_WINDOW && shownX - std::int64_t{NEAR_DISTANCE} < x &&
           x < shownX + std::int64_t{NEAR_DISTANCE} && EDGE_MARGIN < py &&
           py < std::int64_t{layout.H} - EDGE_MARGIN;
}

} // namespace

StereoLayout ComputeLayout(int screenWidth, int sourceWidth, int sourceHeight) {
    StereoLayout layout{};
    layout.W = sourceWidth / 2;
    layout.H = sourceHeight;
    const std::int64_t m = std::int64_t{screenWidth} * 100 / std::max(sourceWidth, 1) / 2;
    layout.zoom = static_cast<int>(std::clamp<std::int64_t>(m, 1, 1 << 20));
    layout.previewZoom = 2 * layout.zoom;
    layout.previewY = Scaled(sourceHeight, layout.zoom);
    layout.boxesX = Scaled(sourceWidth, layout.zoom);
    layout.leftLineX = layout.W / 2;
    layout.rightLineX = layout.W / 2 + layout.W;
    return layout;
}

bool NearLeftLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py) {
    return px < layout.W && NearLine(layout, shownX, pointerWindow, px, py);
}

bool NearRightLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py) {
    return px >= layout.W && NearLine(layout, shownX, pointerWindow, px, py);
}
