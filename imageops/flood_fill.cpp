// Paint: scan-line flood fill of a 4-connected region.
//
// A run of the region is filled left to right while the rows above and below are scanned:
// the first region pixel of each stretch there becomes a seed. Seeds wait on a fixed stack
// of the calling function's frame, so the fill allocates nothing; a seed that would exceed
// the stack's capacity is dropped.
#include "imageops/draw_target.h"
#include "imageops/drawing.h"

#include <cstdint>

namespace {

constexpr int MAX_SEEDS = 4000;

struct Seed {
    int x;
    int y;
};

} // namespace

void QIV_Paint(int x, int y) {
    detail::PixelWriter writer{};
    if (!detail::MakeWriter(detail::PixelOp::Store, qiv_color, &writer) ||
        !detail::Inside(writer.target, x, y)) {
        return;
    }
    const detail::DrawTarget& t = writer.target;
    const std::uint32_t target = detail::Load(t, x, y);
    // Compared as stored: on an 8-bit buffer only the colour's low byte lands, and a region
    // already of that index would otherwise be refilled for ever.
    if (target == writer.value) {
        return;
    }
    // A point outside never belongs to the region, whatever value the region has (a 32-bit
    // pixel may well read as -1).
    auto inRegion = [&](std::int64_t px, std::int64_t py) {
        return detail::Inside(t, px, py) && detail::Load(t, px, py) == target;
    };

    Seed seeds[MAX_SEEDS];
    int count = 0;
    POINT lastEnd{};
    for (;;) {
        while (inRegion(std::int64_t{x} - 1, y)) {
            --x;
        }
        const int xs = x;
        bool above = true;
        bool below = true;
        while (inRegion(x, y)) {
            const bool up = inRegion(x, std::int64_t{y} - 1);
            if (above && up && count < MAX_SEEDS) {
                seeds[count++] = {x, y - 1};
                above = false;
            } else if (!above && !up) {
                above = true;
            }
            const bool down = inRegion(x, std::int64_t{y} + 1);
            if (below && down && count < MAX_SEEDS) {
                seeds[count++] = {x, y + 1};
                below = false;
            } else if (!below && !down) {
                below = true;
            }
            ++x;
        }
        detail::WriteRun(writer, y, xs, x - 1);
        lastEnd = {x - 1, y};

        bool found = false;
        while (count > 0 && !found) {
            const Seed seed = seeds[--count];
            if (inRegion(seed.x, seed.y)) {
                x = seed.x;
                y = seed.y;
                found = true;
            }
        }
        if (!found) {
            break;
        }
    }
    qiv_pen = lastEnd;
}
