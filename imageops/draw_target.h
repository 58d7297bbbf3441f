// Internal to the drawing primitives: the current image window's buffer resolved once per
// primitive, and the clipped pixel writes the shapes are made of.
#pragma once

#include <cstddef>
#include <cstdint>

namespace detail {

struct DrawTarget {
    std::uint32_t* pixels32; // set for a 32-bit buffer
    std::uint8_t* pixels8;   // set for an 8-bit buffer
    std::int64_t width;
    std::int64_t height;
    std::size_t stride; // pixels per row
};

// The buffer of qiv_target; false when that number is not a window in use with a buffer.
bool ResolveDrawTarget(DrawTarget* target);

inline bool Inside(const DrawTarget& t, std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x < t.width && y < t.height;
}

inline std::size_t PixelIndex(const DrawTarget& t, std::int64_t x, std::int64_t y) {
    return static_cast<std::size_t>(y) * t.stride + static_cast<std::size_t>(x);
}

// The value a pixel holds after storing value: the whole word, or its low byte.
inline std::uint32_t StoredValue(const DrawTarget& t, int value) {
    const auto word = static_cast<std::uint32_t>(value);
    return t.pixels32 != nullptr ? word : (word & 0xFFu);
}

// Reads an inside pixel.
inline std::uint32_t Load(const DrawTarget& t, std::int64_t x, std::int64_t y) {
    return t.pixels32 != nullptr ? t.pixels32[PixelIndex(t, x, y)] : t.pixels8[PixelIndex(t, x, y)];
}

enum class PixelOp { Store, Invert };

// Stores a colour into, or inverts, every inside pixel it is given.
struct PixelWriter {
    DrawTarget target;
    PixelOp op;
    std::uint32_t value; // stored form, for PixelOp::Store

    void Put(std::int64_t x, std::int64_t y) const {
        if (!Inside(target, x, y)) {
            return;
        }
        const std::size_t i = PixelIndex(target, x, y);
        if (target.pixels32 != nullptr) {
            std::uint32_t& pixel = target.pixels32[i];
            pixel = op == PixelOp::Store ? value : pixel ^ 0xFFFFFFu;
        } else {
            std::uint8_t& pixel = target.pixels8[i];
            pixel = static_cast<std::uint8_t>(op == PixelOp::Store ? value : 0xFFu - pixel);
        }
    }
};

// A writer for the current image window; false when it has no usable buffer.
bool MakeWriter(PixelOp op, int color, PixelWriter* writer);

// A horizontal run from xa to xb (either order) on row y, clipped to the image first; the
// pixels are those of the line between the two points.
void WriteRun(const PixelWriter& writer, std::int64_t y, std::int64_t xa, std::int64_t xb);

// The line from (x1, y1) to (x2, y2), both ends included, without touching the pen.
void WriteLine(const PixelWriter& writer, int x1, int y1, int x2, int y2);

} // namespace detail
