// Internal to the bitmap font: glyphs written as pictures in the source and turned into rows of
// bits while compiling, so that a malformed row is a compile error.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace detail {

constexpr int GLYPH_ROWS = 14;
constexpr int GLYPH_SET_SIZE = 32;
using GlyphRows = std::array<std::uint8_t, GLYPH_ROWS>;

// 14 rows of 8 characters, '#' for a set pixel and '.' for a clear one; bit 7 (0x80) of a row
// is its leftmost pixel.
struct Glyph {
    GlyphRows rows{};

    consteval Glyph(std::initializer_list<const char*> lines) {
        if (lines.size() != GLYPH_ROWS) {
            throw "a glyph has 14 rows";
        }
        int r = 0;
        for (const char* line : lines) {
            std::uint8_t bits = 0;
            for (int j = 0; j < 8; ++j) {
                if (line[j] == '#') {
                    bits = static_cast<std::uint8_t>(bits | (0x80 >> j));
                } else if (line[j] != '.') {
                    throw "glyph rows hold '#' and '.' only";
                }
            }
            if (line[8] != '\0') {
                throw "glyph rows are 8 pixels wide";
            }
            rows[r++] = bits;
        }
    }
};

using GlyphSet = std::array<Glyph, GLYPH_SET_SIZE>;

// The three sets, in code order from 0x20, 0x40 and 0x60.
extern const GlyphSet SYMBOL_GLYPHS;
extern const GlyphSet CAPITAL_GLYPHS;
extern const GlyphSet SMALL_GLYPHS;

} // namespace detail
