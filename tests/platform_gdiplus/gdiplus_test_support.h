// Helpers for the GDI+ suites: pictures made in memory, saved and loaded back.
#pragma once

#include "platform/win32.h"
#include "tests/support/temp_folder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gdiplustest {

std::wstring Wide(const std::string& text);
std::string DataFile(const std::string& name);

// The encoder class id for a MIME type; false when there is none.
bool EncoderFor(const wchar_t* mimeType, CLSID* clsid);

// A 24-bit picture of 0x00RRGGBB words, width × height, top-down.
GpBitmap* MakeRgbBitmap(int width, int height, const std::vector<std::uint32_t>& pixels);
// An 8-bit picture with the given table (0x00RRGGBB) and indices, width × height, top-down.
GpBitmap* MakeIndexedBitmap(int width, int height, const std::vector<std::uint32_t>& table,
                            const std::vector<std::uint8_t>& indices);

GpStatus Save(GpImage* image, const std::string& path, const wchar_t* mimeType, int quality = -1);

// A loaded picture's pixels (0x00RRGGBB) drawn into a 32-bit canvas of its size, and its
// palette; false when the file does not load.
struct Loaded {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint32_t> palette;
};
bool Load(const std::string& path, Loaded* loaded);

std::uintmax_t FileSize(const std::string& path);

} // namespace gdiplustest
