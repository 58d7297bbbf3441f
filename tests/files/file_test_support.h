// Image windows for the file tests: a table record over a memory DC and DIB section, as
// window creation makes them, without the window unless one is given.
#pragma once

#include "imagewin/image_sizing.h"
#include "runtime/qivlib.h"
#include "tests/support/temp_folder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace filetest {

class FakeImageWindow {
public:
    FakeImageWindow(int n, int width, int height, int bits, HWND hwnd = nullptr);
    ~FakeImageWindow();
    FakeImageWindow(const FakeImageWindow&) = delete;
    FakeImageWindow& operator=(const FakeImageWindow&) = delete;

    std::uint32_t& At32(int x, int y) const;
    std::uint8_t& At8(int x, int y) const;
    void Fill(std::uint32_t value) const;
    // The colour table as 0x00RRGGBB words.
    std::vector<std::uint32_t> Table() const;
    void SetTable(const std::vector<std::uint32_t>& table) const;

private:
    int n_;
};

bool Exists(const std::string& path);

// A file's picture as GDI+ reads it: size, pixel format, palette and pixels (0x00RRGGBB).
struct Picture {
    int width = 0;
    int height = 0;
    PixelFormat format = 0;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint32_t> pixels;
};
bool ReadPicture(const std::string& path, Picture* picture);

// The test's table of colours: entry i = (i * 0x030507) & 0xFFFFFF, all distinct.
std::vector<std::uint32_t> TestTable();

} // namespace filetest
