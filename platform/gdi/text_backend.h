// Glyph rendering for TextOutW and font metrics, implemented on the desktop toolkit's font
// engine (platform/qt/gdi_text_qt.cpp). Thread-safe: any thread may measure and render.
#pragma once

#include "platform/win32_gdi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::gdi {

struct TextFace;

// Resolves a logical font to an installed face; null when no GUI application exists. The
// result is immutable and may be shared between threads. The calls below fail (false) once
// the GUI application is gone.
std::shared_ptr<const TextFace> ResolveTextFace(const LOGFONTW& font);

const TEXTMETRICW& FaceMetrics(const TextFace& face);
// The installed family standing in for the logical face, and the character height in pixels.
std::wstring FaceFamily(const TextFace& face);
int FacePixelSize(const TextFace& face);

// Advances and bearings of the characters first .. last as TextOutW places them (abcA +
// abcB + abcC is a character's advance). In a fixed-pitch face every advance is one or two
// cells; control characters take one cell (the average width) and draw nothing.
bool FaceCharAbcs(const TextFace& face, std::uint32_t first, std::uint32_t last, ABC* out);

// The sum of the advances of a text.
bool FaceTextAdvance(const TextFace& face, const wchar_t* text, int count, int* advance);

// Coverage of a text drawn with its cell's top-left corner at (x, y), rendered only inside
// clip (the target's bounds) so that the work stays bounded by what can be seen.
struct TextMask {
    RECT area{};                        // the mask's rectangle in target coordinates
    std::vector<std::uint8_t> coverage; // 0..255 per pixel, rows of area's width
    int advance = 0;                    // the text's total advance
};
bool RenderText(const TextFace& face, const wchar_t* text, int count, int x, int y,
                const RECT& clip, TextMask* mask);

} // namespace platform::gdi
