// An image window record installed by hand over a buffer of the test's, without any window,
// and freed again by the destructor.
#pragma once

#include "runtime/qivlib.h"

#include <cstdint>
#include <vector>

class TestWindow {
public:
    TestWindow(int n, int width, int height, int bits = 32, std::uint32_t fill = 0)
        : number(n), pixels(static_cast<std::size_t>(width) * height, fill) {
        ImageWindowRecord& record = qiv_image[n];
        record = ImageWindowRecord{};
        record.inUse = 1;
        record.bits = bits;
        record.width = width;
        record.height = height;
        record.zoom = 100;
        qiv_pixels32[n] = pixels.data();
        qiv_pixels8[n] = reinterpret_cast<std::uint8_t*>(pixels.data());
    }
    ~TestWindow() {
        qiv_image[number].inUse = 0;
        qiv_pixels32[number] = nullptr;
        qiv_pixels8[number] = nullptr;
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    int number;
    std::vector<std::uint32_t> pixels;
};
