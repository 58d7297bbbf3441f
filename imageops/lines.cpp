// Straight lines, drawn in a colour or inverted.
//
// A sloped line is stepped along its major axis with an error term that starts at half the
// major extent; the end points are ordered first so that the same pixels come out whichever
// end is given first, which lets an inverted line be erased from either end. Only the steps
// whose major coordinate lies inside the image are walked: the error term at the first of
// them is computed directly, so a line reaching far outside costs no more than its visible
// part and draws exactly the pixels the full walk would.
#include "imageops/draw_target.h"
#include "imageops/drawing.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

using detail::PixelWriter;

// Error term and number of minor steps after k major steps of a walk with extents
// major >= minor >= 0 that starts with error e0 in 1..major. The walk keeps
// e = e0 - k * minor + m * major within 1..major, which fixes m. Unsigned 64-bit arithmetic is
// exact here: both extents stay below 2^32, so k * minor stays below 2^64.
struct WalkState {
    std::int64_t error;
    std::int64_t minorSteps;
};

WalkState WalkAfter(std::uint64_t k, std::uint64_t major, std::uint64_t minor, std::uint64_t e0) {
    const std::uint64_t covered = k * minor + 1;
    const std::uint64_t m = covered <= e0 ? 0 : (covered - e0 + major - 1) / major;
    const auto error = static_cast<std::int64_t>(e0 + (m * major - k * minor));
    return {error, static_cast<std::int64_t>(m)};
}

// Steps k = first..last of a walk along the major axis. Each step moves the major coordinate
// by one and, when the error runs out, the minor coordinate by minorStep.
template <typename PutFn>
void Walk(std::int64_t major, std::int64_t minor, std::int64_t first, std::int64_t last,
          PutFn put) {
    const std::int64_t e0 = (major + 1) / 2;
    WalkState state =
        WalkAfter(static_cast<std::uint64_t>(first), static_cast<std::uint64_t>(major),
                  static_cast<std::uint64_t>(minor), static_cast<std::uint64_t>(e0));
    std::int64_t error = state.error;
    std::int64_t m = state.minorSteps;
    put(first, m);
    for (std::int64_t k = first + 1; k <= last; ++k) {
        error -= minor;
        if (error <= 0) {
            error += major;
            ++m;
        }
        put(k, m);
    }
}

void WriteColumn(const PixelWriter& writer, std::int64_t x, std::int64_t ya, std::int64_t yb) {
    if (ya > yb) {
        std::swap(ya, yb);
    }
    if (x < 0 || x >= writer.target.width) {
        return;
    }
    ya = std::max<std::int64_t>(ya, 0);
    yb = std::min<std::int64_t>(yb, writer.target.height - 1);
    for (std::int64_t y = ya; y <= yb; ++y) {
        writer.Put(x, y);
    }
}

} // namespace

namespace detail {

void WriteRun(const PixelWriter& writer, std::int64_t y, std::int64_t xa, std::int64_t xb) {
    if (xa > xb) {
        std::swap(xa, xb);
    }
    if (y < 0 || y >= writer.target.height) {
        return;
    }
    xa = std::max<std::int64_t>(xa, 0);
    xb = std::min<std::int64_t>(xb, writer.target.width - 1);
    for (std::int64_t x = xa; x <= xb; ++x) {
        writer.Put(x, y);
    }
}

void WriteLine(const PixelWriter& writer, int x1, int y1, int x2, int y2) {
    if (x1 == x2) {
        WriteColumn(writer, x1, y1, y2);
        return;
    }
    if (y1 == y2) {
        WriteRun(writer, y1, x1, x2);
        return;
    }
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const std::int64_t dx = std::int64_t{x2} - x1;
    const std::int64_t dy = y2 > y1 ? std::int64_t{y2} - y1 : std::int64_t{y1} - y2;
    const std::int64_t s = y2 > y1 ? 1 : -1;
    const std::int64_t w = writer.target.width;
    const std::int64_t h = writer.target.height;

    if (dx >= dy) {
        // x = x1 + k is inside for -x1 <= k <= w - 1 - x1.
        const std::int64_t first = std::max<std::int64_t>(0, -std::int64_t{x1});
        const std::int64_t last = std::min<std::int64_t>(dx, w - 1 - x1);
        if (first <= last) {
            Walk(dx, dy, first, last,
                 [&](std::int64_t k, std::int64_t m) { writer.Put(x1 + k, y1 + s * m); });
        }
    } else {
        // y = y1 + s * k is inside for 0 <= y1 + s * k <= h - 1.
        const std::int64_t first =
            std::max<std::int64_t>(0, s > 0 ? -std::int64_t{y1} : std::int64_t{y1} - (h - 1));
        const std::int64_t last = std::min<std::int64_t>(dy, s > 0 ? h - 1 - y1 : std::int64_t{y1});
        if (first <= last) {
            Walk(dy, dx, first, last,
                 [&](std::int64_t k, std::int64_t m) { writer.Put(x1 + m, y1 + s * k); });
        }
    }
}

} // namespace detail

void QIV_DrawLine(int x1, int y1, int x2, int y2, int color) {
    qiv_pen = {x2, y2};
    PixelWriter writer;
    if (detail::MakeWriter(detail::PixelOp::Store, color, &writer)) {
        detail::WriteLine(writer, x1, y1, x2, y2);
    }
}

void QIV_XorLine(int x1, int y1, int x2, int y2) {
    qiv_pen = {x2, y2};
    PixelWriter writer;
    if (detail::MakeWriter(detail::PixelOp::Invert, 0, &writer)) {
        detail::WriteLine(writer, x1, y1, x2, y2);
    }
}
