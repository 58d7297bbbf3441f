// Window layout and guide-line near-tests of the stereo application.
#include "stereo/layout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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

void FitLayoutToHeight(StereoLayout* layout, int screenHeight, int frameHeight) {
    const std::int64_t H = std::max(layout->H, 1);
    const std::int64_t fits = (std::int64_t{screenHeight} - frameHeight) * 100 / (3 * H);
    if (fits >= layout->zoom) {
        return;
    }
    layout->zoom = static_cast<int>(std::max<std::int64_t>(fits, 1));
    layout->previewZoom = 2 * layout->zoom;
    layout->previewY = Scaled(layout->H, layout->zoom);
    layout->boxesX = Scaled(2 * layout->W, layout->zoom);
}

int GuideLineWidth(int zoom) {
    if (zoom >= 100) {
        return 1;
    }
    const int perScreenPixel = (100 + std::max(zoom, 1) - 1) / std::max(zoom, 1);
    return 2 * perScreenPixel - 1;
}

DepthPlacement PlaceDepthWindow(const ScreenRect& area, const ScreenRect& avoid, int frameWidth,
                                int frameHeight, int mapWidth, int mapHeight) {
    std::vector<ScreenRect> parts;
    const bool overlaps = avoid.left < area.right && area.left < avoid.right &&
                          avoid.top < area.bottom && area.top < avoid.bottom;
    if (!overlaps) {
        parts.push_back(area);
    } else {
        parts.push_back({area.left, area.top, area.right, avoid.top});       // above
        parts.push_back({avoid.right, area.top, area.right, area.bottom});   // right
        parts.push_back({area.left, area.top, avoid.left, area.bottom});     // left
        parts.push_back({area.left, avoid.bottom, area.right, area.bottom}); // below
    }
    DepthPlacement best{area.left, area.top, 1, 1};
    double bestScale = -1.0;
    for (const ScreenRect& part : parts) {
        const int w = part.right - part.left - frameWidth;
        const int h = part.bottom - part.top - frameHeight;
        if (w < 1 || h < 1) {
            continue;
        }
        const double scale = std::min({1.0, static_cast<double>(w) / std::max(mapWidth, 1),
                                       static_cast<double>(h) / std::max(mapHeight, 1)});
        if (scale > bestScale) {
            bestScale = scale;
            best = {part.left, part.top, w, h};
        }
    }
    return best;
}

bool NearLeftLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py) {
    return px < layout.W && NearLine(layout, shownX, pointerWindow, px, py);
}

bool NearRightLine(const StereoLayout& layout, int shownX, int pointerWindow, int px, int py) {
    return px >= layout.W && NearLine(layout, shownX, pointerWindow, px, py);
}

bool DraggingLeftLine(const StereoLayout& layout, int pointerWindow, int px, int py) {
    return px < layout.W && NearLine(layout, px, pointerWindow, px, py);
}

bool DraggingRightLine(const StereoLayout& layout, int pointerWindow, int px, int py) {
    return px >= layout.W && NearLine(layout, px, pointerWindow, px, py);
}
