#include "platform/gdi/blit_pixels.h"

#include "platform/gdi/halftone.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/gdi/rop.h"
#include "platform/gdi/row_store.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace platform::gdi {

namespace {

int BytesPerPixel(const PixelBuffer& b) {
    return b.bitsPerPixel / 8;
}

// The rectangle covered by two spans, clipped to a buffer.
RECT ClippedRect(Span x, Span y, const PixelBuffer& b) {
    auto range = [](Span s, int size, LONG* lo, LONG* hi) {
        std::int64_t a = s.extent >= 0 ? s.origin : std::int64_t{s.origin} + s.extent + 1;
        std::int64_t e = s.extent >= 0 ? std::int64_t{s.origin} + s.extent : s.origin + 1;
        *lo = static_cast<LONG>(std::clamp<std::int64_t>(a, 0, size));
        *hi = static_cast<LONG>(std::clamp<std::int64_t>(e, 0, size));
    };
    RECT r{};
    range(x, b.width, &r.left, &r.right);
    range(y, b.height, &r.top, &r.bottom);
    if (r.left >= r.right || r.top >= r.bottom) {
        return RECT{};
    }
    return r;
}

RECT FillArea(const PixelBuffer& dst, const BlitParams& params, std::uint8_t rop3) {
    const RECT r = ClippedRect(params.dstX, params.dstY, dst);
    if (r.right <= r.left) {
        return r;
    }
    RowStore store(dst, rop3, params.pattern);
    for (int y = r.top; y < r.bottom; ++y) {
        store.Fill(y, r.left, r.right - r.left);
    }
    return r;
}

// Copies rows inside one buffer in an order that never overwrites rows still to be read.
void MoveWithin(const PixelBuffer& b, const AxisMap& xs, const AxisMap& ys) {
    const int bpp = BytesPerPixel(b);
    const std::size_t bytes = static_cast<std::size_t>(xs.count) * bpp;
    const bool upward = ys.nearest[0] >= ys.first;
    for (int n = 0; n < ys.count; ++n) {
        const int k = upward ? n : ys.count - 1 - n;
        std::memmove(b.Row(ys.first + k) + static_cast<std::ptrdiff_t>(xs.first) * bpp,
                     b.Row(ys.nearest[k]) + static_cast<std::ptrdiff_t>(xs.nearest[0]) * bpp,
                     bytes);
    }
}

struct SourceCopy {
    std::unique_ptr<std::uint8_t[]> bits;
    PixelBuffer view;
};

// Copies the source area a blit reads, so that the blit can write over it.
SourceCopy CopySourceArea(const PixelBuffer& src, const BlitParams& params, BlitParams* shifted) {
    SourceCopy copy;
    const RECT r = ClippedRect(params.srcX, params.srcY, src);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        return copy;
    }
    const int bpp = BytesPerPixel(src);
    const std::size_t rowBytes = static_cast<std::size_t>(w) * bpp;
    copy.bits.reset(new (std::nothrow) std::uint8_t[rowBytes * h]);
    if (!copy.bits) {
        return copy;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(copy.bits.get() + rowBytes * y,
                    src.Row(r.top + y) + static_cast<std::ptrdiff_t>(r.left) * bpp, rowBytes);
    }
    copy.view = src;
    copy.view.top = copy.bits.get();
    copy.view.rowStep = static_cast<std::ptrdiff_t>(rowBytes);
    copy.view.width = w;
    copy.view.height = h;
    *shifted = params;
    shifted->srcX.origin -= r.left;
    shifted->srcY.origin -= r.top;
    return copy;
}

bool SameSign(int a, int b) {
    return (a < 0) == (b < 0);
}

void NearestRows(const PixelBuffer& dst, const PixelBuffer& src, const AxisMap& xs,
                 const AxisMap& ys, std::uint8_t rop3, const BlitParams& params) {
    RowStore store(dst, rop3, params.pattern);
    const bool straight = params.dstX.extent == params.srcX.extent;
    const int n = xs.count;
    if (dst.bitsPerPixel == 8 && src.bitsPerPixel == 8) {
        std::vector<std::uint8_t> indices(n);
        for (int k = 0; k < ys.count; ++k) {
            const std::uint8_t* row = src.Row(ys.nearest[k]);
            if (straight) {
                std::memcpy(indices.data(), row + xs.nearest[0], n);
            } else {
                for (int i = 0; i < n; ++i) {
                    indices[i] = row[xs.nearest[i]];
                }
            }
            store.StoreIndices(ys.first + k, xs.first, n, indices.data());
        }
        return;
    }
    std::uint32_t lut[256];
    if (src.bitsPerPixel == 8) {
        BuildColorLut(src, lut);
    }
    std::vector<std::uint32_t> rgb(n);
    for (int k = 0; k < ys.count; ++k) {
        const int sy = ys.nearest[k];
        if (straight) {
            ReadRgbRow(src, sy, xs.nearest[0], n, rgb.data(), lut);
        } else if (src.bitsPerPixel == 32) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(src.Row(sy));
            for (int i = 0; i < n; ++i) {
                rgb[i] = row[xs.nearest[i]] & 0x00FFFFFFu;
            }
        } else if (src.bitsPerPixel == 8) {
            const std::uint8_t* row = src.Row(sy);
            for (int i = 0; i < n; ++i) {
                rgb[i] = lut[row[xs.nearest[i]]];
            }
        } else {
            const std::uint8_t* row = src.Row(sy);
            for (int i = 0; i < n; ++i) {
                const std::uint8_t* p = row + 3 * xs.nearest[i];
                rgb[i] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            }
        }
        store.StoreRgb(ys.first + k, xs.first, n, rgb.data());
    }
}

} // namespace

RECT BlitPixels(const PixelBuffer& dst, const PixelBuffer* src, const BlitParams& params) {
    const std::uint8_t rop3 = Rop3(params.rop);
    if (!dst.Valid() || (RopUsesPattern(rop3) && !params.hasPattern)) {
        return RECT{};
    }
    if (!RopUsesSource(rop3)) {
        return FillArea(dst, params, rop3);
    }
    if (!src || !src->Valid()) {
        return RECT{};
    }
    const AxisMap xs = MapAxis(params.dstX, dst.width, params.srcX, src->width);
    const AxisMap ys = MapAxis(params.dstY, dst.height, params.srcY, src->height);
    if (xs.count == 0 || ys.count == 0) {
        return RECT{};
    }
    const RECT changed{xs.first, ys.first, xs.first + xs.count, ys.first + ys.count};
    const bool unscaled =
        params.dstX.extent == params.srcX.extent && params.dstY.extent == params.srcY.extent;
    if (src->top == dst.top) {
        if (unscaled && rop3 == 0xCC && SameSign(params.dstX.extent, 1) &&
            SameSign(params.dstY.extent, 1)) {
            MoveWithin(dst, xs, ys);
            return changed;
        }
        BlitParams shifted;
        SourceCopy copy = CopySourceArea(*src, params, &shifted);
        if (!copy.bits) {
            return RECT{};
        }
        return BlitPixels(dst, &copy.view, shifted);
    }
    const bool scaled =
        (params.dstX.extent != params.srcX.extent && params.dstX.extent != -params.srcX.extent) ||
        (params.dstY.extent != params.srcY.extent && params.dstY.extent != -params.srcY.extent);
    if (params.stretchMode == HALFTONE && scaled) {
        HalftoneRows(dst, *src, xs, ys, rop3, params);
    } else {
        NearestRows(dst, *src, xs, ys, rop3, params);
    }
    return changed;
}

} // namespace platform::gdi
