// The clipboard: one thread at a time opens it; data set here goes to the desktop's clipboard
// at once, and data read comes from it, converted to the format asked for. Blocks handed out
// by GetClipboardData belong to the clipboard and are freed when it is closed.
#include "photoio/photo_limits.h"
#include "platform/gdi/dc_pixels.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/user/clipboard_backend.h"
#include "platform/user/text.h"
#include "platform/win32.h"

#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

using namespace platform;

namespace {

struct Held {
    UINT format;
    HANDLE handle;
};

struct ClipboardState {
    std::mutex mutex;
    bool open = false;
    std::thread::id thread;
    std::vector<Held> owned; // set by the program; freed when emptied or replaced
    std::vector<Held> lent;  // returned by GetClipboardData; freed on close
};

ClipboardState& State() {
    static ClipboardState state;
    return state;
}

void Release(const Held& held) {
    if (held.format == CF_BITMAP) {
        DeleteObject(held.handle);
    } else {
        GlobalFree(held.handle);
    }
}

bool OpenedHere(ClipboardState& state) {
    return state.open && state.thread == std::this_thread::get_id();
}

// The bytes of a block and its size; null for a stale handle.
const std::uint8_t* BlockBytes(HANDLE handle, std::size_t* size) {
    *size = GlobalSize(handle);
    auto* data = static_cast<const std::uint8_t*>(GlobalLock(handle));
    if (data != nullptr) {
        GlobalUnlock(handle);
    }
    return data;
}

bool PictureFromDib(HANDLE handle, ClipboardPicture* picture) {
    std::size_t size = 0;
    const std::uint8_t* data = BlockBytes(handle, &size);
    gdi::DibLayout layout;
    const std::uint8_t* pixels = nullptr;
    // The same limit as picture files: past it, or without the memory, the data is refused.
    if (data == nullptr || !gdi::ParsePackedDib(data, size, &layout, &pixels) ||
        !PhotoSizeAllowed(layout.width, layout.height)) {
        return false;
    }
    picture->width = layout.width;
    picture->height = layout.height;
    const std::size_t count = static_cast<std::size_t>(layout.width) * layout.height;
    try {
        picture->rgb.resize(count);
        if (layout.bitCount == 8) {
            picture->indices.resize(count);
        }
    } catch (const std::bad_alloc&) {
        *picture = {};
        return false;
    }
    for (int y = 0; y < layout.height; ++y) {
        gdi::ReadDibRow(layout, pixels, y, layout.width,
                        picture->rgb.data() + static_cast<std::size_t>(y) * layout.width);
    }
    if (layout.bitCount == 8) {
        for (int y = 0; y < layout.height; ++y) {
            const int stored = layout.topDown ? y : layout.height - 1 - y;
            std::memcpy(picture->indices.data() + static_cast<std::size_t>(y) * layout.width,
                        pixels + static_cast<std::size_t>(stored) * layout.stride,
                        static_cast<std::size_t>(layout.width));
        }
        for (int i = 0; i < layout.colorCount; ++i) {
            picture->palette.push_back(gdi::DibColor(layout, i));
        }
    }
    return true;
}

bool PictureFromBitmap(HANDLE handle, ClipboardPicture* picture) {
    gdi::BitmapPixels source(static_cast<HBITMAP>(handle));
    if (!source.Valid()) {
        return false;
    }
    const gdi::PixelBuffer& buffer = source.Pixels();
    picture->width = buffer.width;
    picture->height = buffer.height;
    picture->rgb.resize(static_cast<std::size_t>(buffer.width) * buffer.height);
    std::uint32_t lut[256];
    BuildColorLut(buffer, lut);
    for (int y = 0; y < buffer.height; ++y) {
        gdi::ReadRgbRow(buffer, y, 0, buffer.width,
                        picture->rgb.data() + static_cast<std::size_t>(y) * buffer.width, lut);
    }
    if (buffer.bitsPerPixel == 8) {
        picture->indices.resize(picture->rgb.size());
        for (int y = 0; y < buffer.height; ++y) {
            std::memcpy(picture->indices.data() + static_cast<std::size_t>(y) * buffer.width,
                        buffer.Row(y), static_cast<std::size_t>(buffer.width));
        }
        for (int i = 0; i < buffer.colorCount; ++i) {
            picture->palette.push_back(gdi::RgbFromQuad(buffer.colors[i]));
        }
    }
    return true;
}

// Text up to the first terminator inside the block.
bool TextFromBlock(UINT format, HANDLE handle, std::wstring* text) {
    std::size_t size = 0;
    const std::uint8_t* data = BlockBytes(handle, &size);
    if (data == nullptr) {
        return false;
    }
    if (format == CF_TEXT) {
        *text = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data),
                                            strnlen(reinterpret_cast<const char*>(data), size)));
    } else {
        const std::size_t units = size / sizeof(wchar_t);
        std::wstring value(reinterpret_cast<const wchar_t*>(data), units);
        *text = value.substr(0, value.find(L'\0'));
    }
    return true;
}

// A packed DIB of the picture: 8 bits with a 256-entry table for indexed pictures, else
// 24 bits; rows bottom-up.
HGLOBAL DibFromPicture(const ClipboardPicture& picture) {
    const bool indexed = !picture.indices.empty();
    const std::size_t stride =
        indexed ? (static_cast<std::size_t>(picture.width) + 3) & ~std::size_t{3}
                : (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t table = indexed ? 256 * sizeof(RGBQUAD) : 0;
    const std::size_t size = sizeof(BITMAPINFOHEADER) + table + stride * picture.height;
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
    if (bytes == nullptr) {
        return nullptr;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = indexed ? 8 : 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * picture.height);
    std::memcpy(bytes, &header, sizeof(header));
    auto* colors = reinterpret_cast<RGBQUAD*>(bytes + sizeof(header));
    for (std::size_t i = 0; indexed && i < picture.palette.size() && i < 256; ++i) {
        const std::uint32_t c = picture.palette[i];
        colors[i] =
            RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
    }
    std::uint8_t* rows = bytes + sizeof(header) + table;
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* out = rows + stride * (picture.height - 1 - y);
        const std::size_t first = static_cast<std::size_t>(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) {
            if (indexed) {
                out[x] = picture.indices[first + x];
            } else {
                const std::uint32_t c = picture.rgb[first + x];
                out[3 * x] = c & 0xFF;
                out[3 * x + 1] = (c >> 8) & 0xFF;
                out[3 * x + 2] = (c >> 16) & 0xFF;
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

HBITMAP BitmapFromPicture(const ClipboardPicture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
        std::memcpy(bits, picture.rgb.data(), picture.rgb.size() * sizeof(std::uint32_t));
    }
    return bitmap;
}

HGLOBAL BlockFromText(UINT format, const std::wstring& text) {
    if (format == CF_TEXT) {
        const std::string narrow = WideToUtf8(text);
        HGLOBAL block = GlobalAlloc(GHND, narrow.size() + 1);
        if (auto* p = static_cast<char*>(GlobalLock(block))) {
            std::memcpy(p, narrow.c_str(), narrow.size() + 1);
            GlobalUnlock(block);
        }
        return block;
    }
    HGLOBAL block = GlobalAlloc(GHND, (text.size() + 1) * sizeof(wchar_t));
    if (auto* p = static_cast<wchar_t*>(GlobalLock(block))) {
        std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
    }
    return block;
}

bool IsPictureFormat(UINT format) {
    return format == CF_DIB || format == CF_BITMAP;
}
bool IsTextFormat(UINT format) {
    return format == CF_TEXT || format == CF_UNICODETEXT;
}

} // namespace

BOOL OpenClipboard(HWND) {
    ClipboardState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.open && state.thread != std::this_thread::get_id()) {
        return FALSE;
    }
    state.open = true;
    state.thread = std::this_thread::get_id();
    return TRUE;
}

BOOL CloseClipboard() {
    ClipboardState& state = State();
    std::vector<Held> lent;
    {
        std::lock_guard lock(state.mutex);
        if (!OpenedHere(state)) {
            return FALSE;
        }
        state.open = false;
        lent.swap(state.lent);
    }
    for (const Held& held : lent) {
        Release(held);
    }
    return TRUE;
}

BOOL EmptyClipboard() {
    ClipboardState& state = State();
    std::vector<Held> owned;
    {
        std::lock_guard lock(state.mutex);
        if (!OpenedHere(state)) {
            return FALSE;
        }
        owned.swap(state.owned);
    }
    for (const Held& held : owned) {
        Release(held);
    }
    backend::ClearClipboard();
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    ClipboardState& state = State();
    {
        std::lock_guard lock(state.mutex);
        if (!OpenedHere(state) || data == nullptr) {
            return nullptr;
        }
    }
    bool set = false;
    if (IsPictureFormat(format)) {
        ClipboardPicture picture;
        const bool read =
            format == CF_DIB ? PictureFromDib(data, &picture) : PictureFromBitmap(data, &picture);
        set = read && backend::SetClipboardPicture(picture);
    } else if (IsTextFormat(format)) {
        std::wstring text;
        set = TextFromBlock(format, data, &text) && backend::SetClipboardText(text);
    }
    if (!set) {
        return nullptr;
    }
    std::vector<Held> replaced;
    {
        std::lock_guard lock(state.mutex);
        for (auto it = state.owned.begin(); it != state.owned.end();) {
            if (it->format == format) {
                replaced.push_back(*it);
                it = state.owned.erase(it);
            } else {
                ++it;
            }
        }
        state.owned.push_back(Held{format, data});
    }
    for (const Held& held : replaced) {
        if (held.handle != data) {
            Release(held);
        }
    }
    return data;
}

HANDLE GetClipboardData(UINT format) {
    ClipboardState& state = State();
    {
        std::lock_guard lock(state.mutex);
        if (!OpenedHere(state)) {
            return nullptr;
        }
    }
    HANDLE handle = nullptr;
    if (IsPictureFormat(format)) {
        ClipboardPicture picture;
        if (backend::GetClipboardPicture(&picture)) {
            handle = format == CF_DIB ? static_cast<HANDLE>(DibFromPicture(picture))
                                      : static_cast<HANDLE>(BitmapFromPicture(picture));
        }
    } else if (IsTextFormat(format)) {
        std::wstring text;
        if (backend::GetClipboardText(&text)) {
            handle = BlockFromText(format, text);
        }
    }
    if (handle != nullptr) {
        std::lock_guard lock(state.mutex);
        state.lent.push_back(Held{format, handle});
    }
    return handle;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    if (IsPictureFormat(format)) {
        return backend::ClipboardHasPicture() ? TRUE : FALSE;
    }
    if (IsTextFormat(format)) {
        return backend::ClipboardHasText() ? TRUE : FALSE;
    }
    return FALSE;
}
