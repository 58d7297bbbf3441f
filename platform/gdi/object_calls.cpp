// Selecting, deleting and describing GDI objects.
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>

using platform::gdi::Bitmap;
using platform::gdi::Brush;
using platform::gdi::Dc;
using platform::gdi::DcKind;
using platform::gdi::Font;
using platform::gdi::GdiObject;
using platform::gdi::ObjectKind;

namespace {

// Replaces one selected object of a DC and returns the handle it replaced.
template <typename T>
HGDIOBJ Swap(HGDIOBJ* slotHandle, std::shared_ptr<T>* slot, HGDIOBJ handle,
             std::shared_ptr<T> object) {
    if (*slotHandle == handle) {
        return handle;
    }
    if (*slot && !(*slot)->stock) {
        --(*slot)->selections;
    }
    if (!object->stock) {
        ++object->selections;
    }
    const HGDIOBJ previous = *slotHandle;
    *slotHandle = handle;
    *slot = std::move(object);
    return previous;
}

BITMAP DescribeBitmap(const Bitmap& b) {
    BITMAP bm{};
    bm.bmWidth = b.width;
    bm.bmHeight = b.height;
    bm.bmWidthBytes = static_cast<LONG>(b.stride);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(b.bitsPerPixel);
    bm.bmBits = b.dibSection ? b.bits.get() : nullptr;
    return bm;
}

int CopyOut(const void* from, int size, int available, void* to) {
    if (!to) {
        return size;
    }
    const int n = std::min(size, available);
    if (n <= 0) {
        return 0;
    }
    std::memcpy(to, from, static_cast<std::size_t>(n));
    return n;
}

} // namespace

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ handle) {
    std::lock_guard lock(platform::gdi::TableMutex());
    auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
    std::shared_ptr<GdiObject> object = platform::gdi::FindObjectLocked(handle);
    if (!dc || !object) {
        return nullptr;
    }
    switch (object->kind) {
    case ObjectKind::BITMAP: {
        // A bitmap lives in one memory DC at a time.
        if (dc->dcKind != DcKind::MEMORY ||
            (object->selections > 0 && dc->bitmapHandle != handle)) {
            return nullptr;
        }
        return Swap(&dc->bitmapHandle, &dc->bitmap, handle,
                    std::static_pointer_cast<Bitmap>(object));
    }
    case ObjectKind::BRUSH:
        return Swap(&dc->brushHandle, &dc->brush, handle, std::static_pointer_cast<Brush>(object));
    case ObjectKind::FONT:
        return Swap(&dc->fontHandle, &dc->font, handle, std::static_pointer_cast<Font>(object));
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ handle) {
    std::lock_guard lock(platform::gdi::TableMutex());
    std::shared_ptr<GdiObject> object = platform::gdi::FindObjectLocked(handle);
    if (!object || object->kind == ObjectKind::DC) {
        return FALSE;
    }
    if (object->stock) {
        return TRUE; // deleting a stock object is allowed and does nothing
    }
    if (object->selections > 0) {
        return FALSE; // still selected into a DC
    }
    platform::gdi::RemoveObjectLocked(handle);
    return TRUE;
}

int GetObjectW(HANDLE handle, int size, LPVOID buffer) {
    std::lock_guard lock(platform::gdi::TableMutex());
    std::shared_ptr<GdiObject> object = platform::gdi::FindObjectLocked(handle);
    if (!object || (buffer && size <= 0)) {
        return 0;
    }
    switch (object->kind) {
    case ObjectKind::BITMAP: {
        const auto& b = static_cast<const Bitmap&>(*object);
        if (b.dibSection && (!buffer || size >= static_cast<int>(sizeof(DIBSECTION)))) {
            DIBSECTION ds{};
            ds.dsBm = DescribeBitmap(b);
            ds.dsBmih = b.header;
            if (b.header.biCompression == BI_BITFIELDS) {
                ds.dsBitfields[0] = 0x00FF0000;
                ds.dsBitfields[1] = 0x0000FF00;
                ds.dsBitfields[2] = 0x000000FF;
            }
            return CopyOut(&ds, sizeof ds, size, buffer);
        }
        if (buffer && size < static_cast<int>(sizeof(BITMAP))) {
            return 0;
        }
        const BITMAP bm = DescribeBitmap(b);
        return CopyOut(&bm, sizeof bm, size, buffer);
    }
    case ObjectKind::BRUSH: {
        const auto& brush = static_cast<const Brush&>(*object);
        const LOGBRUSH lb{static_cast<UINT>(brush.hollow ? BS_NULL : BS_SOLID),
                          brush.hollow ? 0 : brush.color, 0};
        if (buffer && size < static_cast<int>(sizeof lb)) {
            return 0;
        }
        return CopyOut(&lb, sizeof lb, size, buffer);
    }
    case ObjectKind::FONT:
        // A short buffer receives the start of the LOGFONTW, as on Win32.
        return CopyOut(&static_cast<const Font&>(*object).logFont, sizeof(LOGFONTW), size, buffer);
    default:
        return 0;
    }
}

DWORD GetObjectType(HGDIOBJ handle) {
    std::lock_guard lock(platform::gdi::TableMutex());
    std::shared_ptr<GdiObject> object = platform::gdi::FindObjectLocked(handle);
    if (!object) {
        return 0;
    }
    switch (object->kind) {
    case ObjectKind::DC:
        return static_cast<const Dc&>(*object).dcKind == DcKind::MEMORY ? OBJ_MEMDC : OBJ_DC;
    case ObjectKind::BITMAP:
        return OBJ_BITMAP;
    case ObjectKind::BRUSH:
        return OBJ_BRUSH;
    case ObjectKind::FONT:
        return OBJ_FONT;
    default:
        return 0;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    std::lock_guard lock(platform::gdi::TableMutex());
    auto dc = platform::gdi::FindLocked<Dc>(hdc, ObjectKind::DC);
    if (!dc) {
        return nullptr;
    }
    switch (type) {
    case OBJ_BITMAP:
        return dc->bitmapHandle;
    case OBJ_BRUSH:
        return dc->brushHandle;
    case OBJ_FONT:
        return dc->fontHandle;
    default:
        return nullptr;
    }
}

HGDIOBJ GetStockObject(int index) {
    return platform::gdi::StockObject(index);
}
