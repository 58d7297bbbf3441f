#include "platform/gdi/row_store.h"

#include "platform/gdi/rop.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi {

namespace {

constexpr std::uint32_t RGB_MASK = 0x00FFFFFFu;

std::uint32_t Read24(const std::uint8_t* p) {
    return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

void Write24(std::uint8_t* p, std::uint32_t rgb) {
    p[0] = static_cast<std::uint8_t>(rgb);
    p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb >> 16);
}

} // namespace

RowStore::RowStore(const PixelBuffer& dst, std::uint8_t rop3, std::uint32_t pattern)
    : dst_(dst), rop3_(rop3), pattern_(pattern & RGB_MASK) {
    if (dst.bitsPerPixel == 8) {
        matcher_.emplace(dst.colors, dst.colorCount);
        patternIndex_ = matcher_->Match(pattern_);
    }
}

void RowStore::StoreRgb(int y, int x, int count, const std::uint32_t* rgb) {
    std::uint8_t* row = dst_.Row(y);
    switch (dst_.bitsPerPixel) {
    case 32: {
        auto* out = reinterpret_cast<std::uint32_t*>(row) + x;
        if (rop3_ == 0xCC) {
            std::memcpy(out, rgb, static_cast<std::size_t>(count) * 4);
        } else {
            for (int i = 0; i < count; ++i) {
                out[i] = ApplyRop3<std::uint32_t>(rop3_, pattern_, rgb[i], out[i]) & RGB_MASK;
            }
        }
        break;
    }
    case 24: {
        std::uint8_t* out = row + 3 * x;
        for (int i = 0; i < count; ++i, out += 3) {
            Write24(out, ApplyRop3<std::uint32_t>(rop3_, pattern_, rgb[i], Read24(out)));
        }
        break;
    }
    default: {
        std::uint8_t* out = row + x;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t s = matcher_->Match(rgb[i]);
            out[i] = ApplyRop3<std::uint8_t>(rop3_, patternIndex_, s, out[i]);
        }
        break;
    }
    }
}

void RowStore::StoreIndices(int y, int x, int count, const std::uint8_t* indices) {
    std::uint8_t* out = dst_.Row(y) + x;
    if (rop3_ == 0xCC) {
        std::memcpy(out, indices, static_cast<std::size_t>(count));
        return;
    }
    for (int i = 0; i < count; ++i) {
        out[i] = ApplyRop3<std::uint8_t>(rop3_, patternIndex_, indices[i], out[i]);
    }
}

void RowStore::Fill(int y, int x, int count) {
    std::uint8_t* row = dst_.Row(y);
    switch (dst_.bitsPerPixel) {
    case 32: {
        auto* out = reinterpret_cast<std::uint32_t*>(row) + x;
        if (rop3_ == 0xF0) {
            std::fill(out, out + count, pattern_);
        } else {
            for (int i = 0; i < count; ++i) {
                out[i] = ApplyRop3<std::uint32_t>(rop3_, pattern_, 0, out[i]) & RGB_MASK;
            }
        }
        break;
    }
    case 24: {
        std::uint8_t* out = row + 3 * x;
        for (int i = 0; i < count; ++i, out += 3) {
            Write24(out, ApplyRop3<std::uint32_t>(rop3_, pattern_, 0, Read24(out)));
        }
        break;
    }
    default: {
        std::uint8_t* out = row + x;
        for (int i = 0; i < count; ++i) {
            out[i] = ApplyRop3<std::uint8_t>(rop3_, patternIndex_, 0, out[i]);
        }
        break;
    }
    }
}

} // namespace platform::gdi
