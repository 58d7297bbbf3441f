// The GDI object table. Handles are ids (slot index, kind, generation) into one fixed table
// guarded by a mutex, so a stale handle or one of the wrong kind is refused, never followed.
//
// Objects are shared_ptrs: an operation looks its objects up under the mutex, keeps
// references and works on the pixels without the lock, so a concurrent DeleteObject or
// DeleteDC cannot free memory under it. Device context state (selected objects, colours,
// modes) is read and written only under the mutex.
#pragma once

#include "platform/gdi/pixel_buffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform::gdi {

struct TextFace; // resolved font, built by the text backend

enum class ObjectKind : std::uint8_t { NONE = 0, DC = 1, BITMAP = 2, BRUSH = 3, FONT = 4 };

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const ObjectKind kind;
    bool stock = false; // never deleted
    int selections = 0; // device contexts that have it selected
};

struct AlignedFree {
    void operator()(std::uint8_t* p) const;
};

struct Bitmap final : GdiObject {
    Bitmap() : GdiObject(ObjectKind::BITMAP) {}

    int width = 0;
    int height = 0;
    int bitsPerPixel = 32; // 8, 24 or 32
    bool topDown = true;
    bool dibSection = false;
    std::ptrdiff_t stride = 0; // bytes per row
    std::unique_ptr<std::uint8_t[], AlignedFree> bits;
    std::array<RGBQUAD, 256> colors{};
    int colorCount = 0;        // entries of the colour table (8-bit bitmaps)
    BITMAPINFOHEADER header{}; // as the DIB section was created

    PixelBuffer Pixels() const;
};

// Allocates a zeroed bitmap; null when the size is out of range or memory is short.
std::shared_ptr<Bitmap> NewBitmap(int width, int height, int bitsPerPixel, bool topDown);

struct Brush final : GdiObject {
    Brush() : GdiObject(ObjectKind::BRUSH) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct Font final : GdiObject {
    Font() : GdiObject(ObjectKind::FONT) {}
    LOGFONTW logFont{};
    std::mutex faceMutex; // guards face and faceTried
    std::shared_ptr<const TextFace> face;
    bool faceTried = false;
};

enum class DcKind : std::uint8_t { MEMORY, WINDOW, SCREEN };

struct Dc final : GdiObject {
    Dc() : GdiObject(ObjectKind::DC) {}
    DcKind dcKind = DcKind::MEMORY;
    HWND hwnd = nullptr;
    HGDIOBJ bitmapHandle = nullptr;
    std::shared_ptr<Bitmap> bitmap;
    HGDIOBJ brushHandle = nullptr;
    std::shared_ptr<Brush> brush;
    HGDIOBJ fontHandle = nullptr;
    std::shared_ptr<Font> font;
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    POINT brushOrigin{};
};

// The mutex that guards the table and all device context state.
std::mutex& TableMutex();

// Adds an object and returns its handle; null when the table is full. Takes the mutex.
HGDIOBJ AddObject(std::shared_ptr<GdiObject> object);

// Looks a handle up; null when it is stale or of another kind. The Locked variant expects
// TableMutex to be held.
std::shared_ptr<GdiObject> FindObjectLocked(HGDIOBJ handle);
std::shared_ptr<GdiObject> FindObject(HGDIOBJ handle);

template <typename T>
std::shared_ptr<T> FindLocked(HGDIOBJ handle, ObjectKind kind) {
    std::shared_ptr<GdiObject> object = FindObjectLocked(handle);
    if (!object || object->kind != kind) {
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

// Frees a slot (TableMutex held); its handle is refused from then on.
void RemoveObjectLocked(HGDIOBJ handle);

// Stock objects by GetStockObject index (null for indexes without one), and the 1 × 1
// bitmap that new memory DCs hold.
HGDIOBJ StockObject(int index);
HGDIOBJ DefaultBitmap();

// Everything a drawing operation needs from a device context, copied under the mutex.
struct DcState {
    DcKind kind = DcKind::MEMORY;
    HWND hwnd = nullptr;
    std::shared_ptr<Bitmap> bitmap;
    std::shared_ptr<Brush> brush;
    std::shared_ptr<Font> font;
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
};
bool ReadDcState(HDC hdc, DcState* state);

} // namespace platform::gdi
