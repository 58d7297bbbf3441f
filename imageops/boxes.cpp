// Rectangles: outline, filled, and their inverted forms.
#include "imageops/draw_target.h"
#include "imageops/drawing.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

void OrderCorners(int& x1, int& y1, int& x2, int& y2) {
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 > y2) {
        std::swap(y1, y2);
    }
}

// Rows ya..yb from xa to xb, clipped to the image's rows first; same pixels as one line per row.
void WriteRows(const detail::PixelWriter& writer, std::int64_t ya, std::int64_t yb, int xa,
               int xb) {
    ya = std::max<std::int64_t>(ya, 0);
    yb = std::min<std::int64_t>(yb, writer.target.height - 1);
    for (std::int64_t y = ya; y <= yb; ++y) {
        detail::WriteRun(writer, y, xa, xb);
    }
}

} // namespace

void QIV_DrawBox(int x1, int y1, int x2, int y2) {
    QIV_DrawLine(x1, y1, x2, y1, qiv_color);
    QIV_DrawLine(x2, y1, x2, y2, qiv_color);
    QIV_DrawLine(x2, y2, x1, y2, qiv_color);
    QIV_DrawLine(x1, y2, x1, y1, qiv_color);
}

void QIV_FillBox(int x1, int y1, int x2, int y2) {
    OrderCorners(x1, y1, x2, y2);
    QIV_DrawBox(x1, y1, x2, y2);
    if (std::int64_t{x2} - x1 < 2 || std::int64_t{y2} - y1 < 2) {
        return;
    }
    detail::PixelWriter writer;
    if (detail::MakeWriter(detail::PixelOp::Store, qiv_color, &writer)) {
        WriteRows(writer, std::int64_t{y1} + 1, std::int64_t{y2} - 1, x1 + 1, x2 - 1);
    }
    qiv_pen = {x2 - 1, y2 - 1};
}

void QIV_XorFillBox(int x1, int y1, int x2, int y2) {
    OrderCorners(x1, y1, x2, y2);
    detail::PixelWriter writer;
    if (detail::MakeWriter(detail::PixelOp::Invert, 0, &writer)) {
        WriteRows(writer, y1, y2, x1, x2);
    }
    qiv_pen = {x2, y2};
}

void QIV_XorBox(int x1, int y1, int x2, int y2) {
    OrderCorners(x1, y1, x2, y2);
    // Each edge is inverted once even when two of them coincide (a box one pixel high or
    // wide), so the mark stays visible and a second call erases it.
    QIV_XorLine(x1, y1, x2, y1);
    if (y2 != y1) {
        QIV_XorLine(x1, y2, x2, y2);
    }
    if (std::int64_t{y2} - y1 > 1) {
        QIV_XorLine(x1, y1 + 1, x1, y2 - 1);
        if (x2 != x1) {
            QIV_XorLine(x2, y1 + 1, x2, y2 - 1);
        }
    }
}
