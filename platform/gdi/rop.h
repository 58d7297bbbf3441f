// Ternary raster operations: the high word's low byte of a ROP code is the truth table of
// the result for pattern P = 0xF0, source S = 0xCC and destination D = 0xAA.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

namespace platform::gdi {

constexpr std::uint8_t Rop3(DWORD rop) {
    return static_cast<std::uint8_t>((rop >> 16) & 0xFF);
}
constexpr bool RopUsesSource(std::uint8_t rop3) {
    return ((rop3 >> 2) ^ rop3) & 0x33;
}
constexpr bool RopUsesPattern(std::uint8_t rop3) {
    return ((rop3 >> 4) ^ rop3) & 0x0F;
}
constexpr bool RopUsesDest(std::uint8_t rop3) {
    return ((rop3 >> 1) ^ rop3) & 0x55;
}

// Applies a ternary operation bit by bit: each truth-table entry that is set adds its minterm.
template <typename T>
constexpr T ApplyRop3(std::uint8_t rop3, T p, T s, T d) {
    switch (rop3) {
    case 0xCC:
        return s;
    case 0x33:
        return static_cast<T>(~s);
    case 0x66:
        return static_cast<T>(s ^ d);
    case 0x88:
        return static_cast<T>(s & d);
    case 0xEE:
        return static_cast<T>(s | d);
    case 0x55:
        return static_cast<T>(~d);
    case 0xF0:
        return p;
    case 0x5A:
        return static_cast<T>(p ^ d);
    case 0x00:
        return 0;
    case 0xFF:
        return static_cast<T>(~T{0});
    default:
        break;
    }
    T result = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (!((rop3 >> bit) & 1)) {
            continue;
        }
        const T pp = (bit & 4) ? p : static_cast<T>(~p);
        const T ss = (bit & 2) ? s : static_cast<T>(~s);
        const T dd = (bit & 1) ? d : static_cast<T>(~d);
        result = static_cast<T>(result | (pp & ss & dd));
    }
    return result;
}

} // namespace platform::gdi
