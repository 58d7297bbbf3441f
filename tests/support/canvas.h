// A pixel buffer installed by hand as image window record n, without any window, and made the
// current image window; every pixel starts as fill. The destructor frees the number again.
#pragma once

#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"

#include <cstdint>
#include <vector>

class Canvas {
public:
    Canvas(int bits, int width, int height, int n = 0, std::uint32_t fill = 0) : number(n) {
        ImageWindowRecord& record = qiv_image[n];
        record = ImageWindowRecord{};
        record.inUse = 1;
        record.bits = bits;
        record.width = width;
        record.height = height;
        record.zoom = 100;
        byteCount = ImageBufferBytes(bits, width, height);
        // Word-aligned storage so that 32-bit access through the byte buffer is sound.
        words.assign((byteCount + 3) / 4, bits == 32 ? fill : (fill & 0xFFu) * 0x01010101u);
        qiv_pixels32[n] = words.data();
        qiv_pixels8[n] = reinterpret_cast<std::uint8_t*>(words.data());
        qiv_target = n;
    }
    ~Canvas() {
        qiv_image[number].inUse = 0;
        qiv_pixels32[number] = nullptr;
        qiv_pixels8[number] = nullptr;
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Bits() const { return qiv_image[number].bits; }
    int Width() const { return qiv_image[number].width; }
    int Height() const { return qiv_image[number].height; }
    std::size_t Bytes() const { return byteCount; }

    // The raw buffer bytes, row padding included.
    std::vector<std::uint8_t> Snapshot() const {
        const auto* p = reinterpret_cast<const std::uint8_t*>(words.data());
        return {p, p + byteCount};
    }
    std::uint8_t* Raw() { return reinterpret_cast<std::uint8_t*>(words.data()); }
    // The pixels of a 32-bit canvas in row order.
    const std::vector<std::uint32_t>& Words() const { return words; }

    std::uint32_t At(int x, int y) const {
        if (Bits() == 32) {
            return words[static_cast<std::size_t>(y) * Width() + x];
        }
        const auto* p = reinterpret_cast<const std::uint8_t*>(words.data());
        return p[static_cast<std::size_t>(y) * ImageStride8(Width()) + x];
    }

    // Fills every pixel with a reproducible pattern so that inversions are visible anywhere.
    void FillPattern(std::uint32_t seed) {
        std::uint32_t v = seed * 2654435761u + 1;
        std::uint8_t* p = Raw();
        for (std::size_t i = 0; i < byteCount; ++i) {
            v = v * 1664525u + 1013904223u;
            p[i] = static_cast<std::uint8_t>(v >> 24);
        }
        if (Bits() == 32) {
            // Keep the top byte clear as GDI leaves it, though inversion must keep any value.
            for (std::uint32_t& w : words) {
                w &= 0x00FFFFFFu;
            }
        }
    }

    // The positions of pixels that differ from value, as "x,y" pairs in row order.
    std::vector<std::pair<int, int>> PixelsNot(std::uint32_t value) const {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                if (At(x, y) != value) {
                    out.emplace_back(x, y);
                }
            }
        }
        return out;
    }

private:
    int number;
    std::size_t byteCount = 0;
    std::vector<std::uint32_t> words;
};
