// Bitmap creation and DIB colour tables.
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <limits>

using platform::gdi::Bitmap;
using platform::gdi::Dc;
using platform::gdi::ObjectKind;

namespace {

// The bitmap of a memory DC that holds a DIB section with a colour table, or null.
std::shared_ptr<Bitmap> IndexedSectionLocked(HDC hdc) {
    auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
    if (!dc || !dc->bitmap || !dc->bitmap->dibSection || dc->bitmap->bitsPerPixel != 8) {
        return nullptr;
    }
    return dc->bitmap;
}

} // namespace

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (width < 0 || height < 0) {
        return nullptr;
    }
    std::shared_ptr<Bitmap> like;
    {
        std::lock_guard lock(platform::gdi::TableMutex());
        auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
        if (!dc) {
            return nullptr;
        }
        // Compatible with an 8-bit section means 8-bit with its colours; everything else gets
        // the screen's format (also for a fresh memory DC, where a monochrome bitmap would
        // only surprise).
        if (dc->bitmap && dc->bitmap->bitsPerPixel == 8 && !dc->bitmap->stock) {
            like = dc->bitmap;
        }
    }
    auto bitmap =
        platform::gdi::NewBitmap(std::max(width, 1), std::max(height, 1), like ? 8 : 32, true);
    if (!bitmap) {
        return nullptr;
    }
    if (like) {
        bitmap->colors = like->colors;
        bitmap->colorCount = like->colorCount;
    }
    return static_cast<HBITMAP>(platform::gdi::AddObject(std::move(bitmap)));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    if (bits) {
        *bits = nullptr;
    }
    platform::gdi::DibLayout layout;
    if (usage != DIB_RGB_COLORS || section != nullptr ||
        !platform::gdi::ParseDibHeader(info, std::numeric_limits<std::size_t>::max(), &layout) ||
        layout.colorEntrySize != 4) {
        return nullptr;
    }
    const bool standardMasks =
        layout.bitCount != 32 || (layout.masks[0] == 0x00FF0000 && layout.masks[1] == 0x0000FF00 &&
                                  layout.masks[2] == 0x000000FF);
    if ((layout.bitCount != 8 && layout.bitCount != 24 && layout.bitCount != 32) ||
        !standardMasks) {
        return nullptr;
    }
    auto bitmap =
        platform::gdi::NewBitmap(layout.width, layout.height, layout.bitCount, layout.topDown);
    if (!bitmap) {
        return nullptr;
    }
    bitmap->dibSection = true;
    std::memcpy(&bitmap->header, &info->bmiHeader, sizeof(BITMAPINFOHEADER));
    bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->header.biSizeImage = static_cast<DWORD>(layout.imageBytes);
    if (layout.bitCount == 8) {
        // The table has the entries the header announced; colour matching looks at no others.
        std::memcpy(bitmap->colors.data(), layout.colors,
                    static_cast<std::size_t>(layout.colorCount) * sizeof(RGBQUAD));
        bitmap->colorCount = layout.colorCount;
    }
    void* pixels = bitmap->bits.get();
    HGDIOBJ handle = platform::gdi::AddObject(std::move(bitmap));
    if (handle && bits) {
        *bits = pixels;
    }
    return static_cast<HBITMAP>(handle);
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
    std::lock_guard lock(platform::gdi::TableMutex());
    auto bitmap = IndexedSectionLocked(hdc);
    if (!bitmap || !colors || start >= 256) {
        return 0;
    }
    const UINT n = std::min<UINT>(count, 256 - start);
    std::memcpy(bitmap->colors.data() + start, colors, n * sizeof(RGBQUAD));
    bitmap->colorCount = std::max(bitmap->colorCount, static_cast<int>(start + n));
    return n;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    std::lock_guard lock(platform::gdi::TableMutex());
    auto bitmap = IndexedSectionLocked(hdc);
    if (!bitmap || !colors || start >= static_cast<UINT>(bitmap->colorCount)) {
        return 0;
    }
    const UINT n = std::min<UINT>(count, static_cast<UINT>(bitmap->colorCount) - start);
    std::memcpy(colors, bitmap->colors.data() + start, n * sizeof(RGBQUAD));
    return n;
}
