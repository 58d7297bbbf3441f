// Circle outlines and discs.
//
// Both trace one octant with an integer decision value d and mirror it: i counts up from 0,
// a (starting at the radius) drops by one whenever d runs out, and the walk stops near 45
// degrees (5/7 stands in for 1/sqrt 2) or where i passes a. State is 64-bit so that radii and
// centres anywhere in the int range neither overflow nor wrap.
#include "imageops/draw_target.h"
#include "imageops/drawing.h"

#include <cstdint>

namespace {

using detail::PixelOp;
using detail::PixelWriter;

// Writes the outline of radius r >= 1 and returns its last point. The four points off the
// axes and diagonals are skipped at i = 0 and i = a, where they would repeat the others; so
// no pixel is written twice and the inverted outline is exact.
POINT WriteOutline(const PixelWriter& writer, std::int64_t cx, std::int64_t cy, std::int64_t r) {
    std::int64_t a = r;
    std::int64_t d = r;
    std::int64_t i = 0;
    const std::int64_t limit = 5 * r / 7;
    std::int64_t lastX = cx;
    std::int64_t lastY = cy;
    for (;;) {
        writer.Put(cx - i, cy + a);
        writer.Put(cx + i, cy - a);
        if (i != 0 && i != a) {
            writer.Put(cx + i, cy + a);
            writer.Put(cx - i, cy - a);
            writer.Put(cx + a, cy - i);
            writer.Put(cx - a, cy + i);
        }
        writer.Put(cx + a, cy + i);
        writer.Put(cx - a, cy - i);
        lastX = cx - a;
        lastY = cy - i;

        d -= 2 * i + 1;
        if (d <= 0) {
            d += 2 * a - 2;
            --a;
        }
        ++i;
        if (i > limit || i > a) {
            break;
        }
    }
    // The pen takes the point as an int would hold it.
    return {static_cast<LONG>(lastX), static_cast<LONG>(lastY)};
}

// An empty writer (no usable target) writes nothing, but the walk still leaves the pen where
// the shape ends, as it does for points outside the image.
void Outline(PixelOp op, int cx, int cy, int r, int color) {
    if (r < 0) {
        return;
    }
    PixelWriter writer{};
    detail::MakeWriter(op, color, &writer);
    if (r == 0) {
        // The centre alone, written once so that inverting it shows.
        writer.Put(cx, cy);
        qiv_pen = {cx, cy};
        return;
    }
    qiv_pen = WriteOutline(writer, cx, cy, r);
}

// Rows of the disc of radius r >= 1, each written once from its leftmost to its rightmost
// outline point; returns the right end of the last row written.
POINT WriteDisc(const PixelWriter& writer, std::int64_t cx, std::int64_t cy, std::int64_t r) {
    std::int64_t a = r;
    std::int64_t d = r;
    std::int64_t i = 0;
    const std::int64_t limit = 5 * r / 7;
    POINT last{};
    auto row = [&](std::int64_t y, std::int64_t half) {
        detail::WriteRun(writer, y, cx - half, cx + half);
        last = {static_cast<LONG>(cx + half), static_cast<LONG>(y)};
    };
    bool stepped = false;
    for (;;) {
        stepped = false;
        if (a != i) {
            row(cy + i, a);
            if (i != 0) {
                row(cy - i, a);
            }
        }
        d -= 2 * i + 1;
        if (d <= 0) {
            row(cy + a, i);
            row(cy - a, i);
            d += 2 * a - 2;
            --a;
            stepped = true;
        }
        ++i;
        if (i > limit || i > a) {
            break;
        }
    }
    if (!stepped) {
        row(cy + a, i - 1);
        row(cy - a, i - 1);
    }
    return last;
}

} // namespace

void QIV_DrawCircle(int cx, int cy, int r, int color) {
    Outline(PixelOp::Store, cx, cy, r, color);
}

void QIV_XorCircle(int cx, int cy, int r) {
    Outline(PixelOp::Invert, cx, cy, r, 0);
}

void QIV_FillCircle(int cx, int cy, int r) {
    if (r < 0) {
        return;
    }
    PixelWriter writer{};
    if (r > 0 && detail::MakeWriter(PixelOp::Store, qiv_color, &writer)) {
        WriteDisc(writer, cx, cy, r);
    }
    QIV_DrawCircle(cx, cy, r, qiv_color);
}

void QIV_XorFillCircle(int cx, int cy, int r) {
    if (r <= 0) {
        QIV_XorCircle(cx, cy, r);
        return;
    }
    PixelWriter writer{};
    detail::MakeWriter(PixelOp::Invert, 0, &writer);
    qiv_pen = WriteDisc(writer, cx, cy, r);
}
