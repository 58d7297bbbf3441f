// Single pixels: store, invert and read, and the pen and colour they share with the shapes.
#include "imageops/draw_target.h"
#include "imageops/drawing.h"

#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"

POINT qiv_pen = {0, 0};
int qiv_color = 0xFFFFFF;

namespace detail {

bool ResolveDrawTarget(DrawTarget* target) {
    // Callers are meant to select a window that exists; checking costs a few loads and turns a
    // stale target into "nothing drawn" instead of a write through a dangling pointer.
    const int n = qiv_target;
    if (!IsImageWindowInUse(n)) {
        return false;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (record.width < 1 || record.height < 1) {
        return false;
    }
    DrawTarget t{};
    t.width = record.width;
    t.height = record.height;
    if (record.bits == 32 && qiv_pixels32[n] != nullptr) {
        t.pixels32 = qiv_pixels32[n];
        t.stride = static_cast<std::size_t>(record.width);
    } else if (record.bits == 8 && qiv_pixels8[n] != nullptr) {
        t.pixels8 = qiv_pixels8[n];
        t.stride = ImageRowBytes(8, record.width);
    } else {
        return false;
    }
    *target = t;
    return true;
}

bool MakeWriter(PixelOp op, int color, PixelWriter* writer) {
    if (!ResolveDrawTarget(&writer->target)) {
        return false;
    }
    writer->op = op;
    writer->value = StoredValue(writer->target, color);
    return true;
}

} // namespace detail

using detail::MakeWriter;
using detail::PixelOp;
using detail::PixelWriter;

void QIV_SetPixel(int x, int y, int value) {
    PixelWriter writer;
    if (MakeWriter(PixelOp::Store, value, &writer)) {
        writer.Put(x, y);
    }
}

void QIV_PlotPixel(int x, int y, int value) {
    qiv_pen = {x, y};
    QIV_SetPixel(x, y, value);
}

void QIV_XorPixel(int x, int y) {
    PixelWriter writer;
    if (MakeWriter(PixelOp::Invert, 0, &writer)) {
        writer.Put(x, y);
    }
}

void QIV_PlotXorPixel(int x, int y) {
    qiv_pen = {x, y};
    QIV_XorPixel(x, y);
}

int QIV_GetPixel(int x, int y) {
    detail::DrawTarget t;
    if (!detail::ResolveDrawTarget(&t) || !detail::Inside(t, x, y)) {
        return 0;
    }
    return static_cast<int>(detail::Load(t, x, y));
}

int QIV_ReadPixel(int x, int y) {
    detail::DrawTarget t;
    if (!detail::ResolveDrawTarget(&t) || !detail::Inside(t, x, y)) {
        return -1;
    }
    return static_cast<int>(detail::Load(t, x, y));
}
