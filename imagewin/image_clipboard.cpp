// Copying image windows to the clipboard and pasting clipboard pictures into them, and files
// dropped on an image window.
#include "imageops/click_tools.h"
#include "imagewin/image_files.h"
#include "imagewin/image_open_files.h"
#include "imagewin/image_window.h"
#include "photoio/photo_limits.h"
#include "runtime/control_words.h"
#include "runtime/text_convert.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t HEADER_SIZE = sizeof(BITMAPINFOHEADER);

// Where the pixels of a packed DIB start, after checking that header, masks, colour table and
// rows all lie inside size bytes and the size is within the picture limit; 0 when the block is
// malformed. A table may stand before pixels of any depth (biClrUsed); *tableCount receives
// the number of entries of a palette, which only pictures of 8 bits or fewer have.
std::size_t PixelOffset(const std::uint8_t* block, std::size_t size, int* tableCount,
                        std::size_t* tableStart) {
    if (size < HEADER_SIZE) {
        return 0;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, block, HEADER_SIZE);
    const int bits = header.biBitCount;
    if (header.biSize < HEADER_SIZE || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == INT32_MIN || header.biPlanes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
        !PhotoSizeAllowed(header.biWidth,
                          header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight)) {
        return 0;
    }
    std::size_t offset = header.biSize;
    if (header.biCompression == BI_BITFIELDS && header.biSize == HEADER_SIZE) {
        offset += 12; // the three colour masks
    } else if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) {
        return 0;
    }
    if (offset > size) {
        return 0;
    }
    const std::size_t table = offset;
    std::size_t entries = header.biClrUsed;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        if (header.biClrUsed > most) {
            return 0;
        }
        entries = header.biClrUsed != 0 ? header.biClrUsed : most;
    }
    if (entries > (size - offset) / sizeof(RGBQUAD)) {
        return 0;
    }
    offset += entries * sizeof(RGBQUAD);
    const std::size_t rowBytes = ((static_cast<std::size_t>(header.biWidth) * bits + 31) / 32) * 4;
    const std::size_t rows =
        static_cast<std::size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    if (offset > size || rowBytes * rows > size - offset) {
        return 0;
    }
    *tableCount = bits <= 8 ? static_cast<int>(entries) : 0;
    *tableStart = table;
    return offset;
}

HBITMAP BitmapFromDib(HANDLE block, std::uint32_t* colors, int* count) {
    const std::size_t size = GlobalSize(block);
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(block));
    if (bytes == nullptr) {
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    int entries = 0;
    std::size_t tableStart = 0;
    const std::size_t pixels = PixelOffset(bytes, size, &entries, &tableStart);
    if (pixels != 0) {
        // RGBQUAD's blue, green, red, 0 read as one little-endian word is 0x00RRGGBB.
        std::memcpy(colors, bytes + tableStart,
                    static_cast<std::size_t>(entries) * sizeof(RGBQUAD));
        *count = entries;
        HDC screen = GetDC(nullptr);
        bitmap = CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER*>(bytes), CBM_INIT,
                                bytes + pixels, reinterpret_cast<const BITMAPINFO*>(bytes),
                                DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    GlobalUnlock(block);
    return bitmap;
}

// Copies a whole bitmap into the image window's memDC at (x, y), clipped.
void BlitBitmap(const ImageWindowRecord& record, HBITMAP bitmap, int x, int y) {
    HDC temporary = CreateCompatibleDC(record.memDC);
    HGDIOBJ old = SelectObject(temporary, bitmap);
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    BitBlt(record.memDC, x, y, info.bmWidth, info.bmHeight, temporary, 0, 0, SRCCOPY);
    SelectObject(temporary, old);
    DeleteDC(temporary);
}

} // namespace

void CopyImageToClipboard(int n) {
    if (!IsImageWindowInUse(n) || !OpenClipboard(nullptr)) {
        return;
    }
    const ImageWindowRecord& record = qiv_image[n];
    EmptyClipboard();
    const bool eightBit = record.bits == 8;
    const std::size_t rowSize = eightBit ? (static_cast<std::size_t>(record.width) + 3) & ~3u
                                         : (static_cast<std::size_t>(record.width) * 3 + 3) & ~3u;
    const std::size_t tableSize = eightBit ? 256 * sizeof(RGBQUAD) : 0;
    HGLOBAL block =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE,
                    rowSize * static_cast<std::size_t>(record.height) + HEADER_SIZE + tableSize);
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
    if (bytes == nullptr) {
        if (block != nullptr) {
            GlobalFree(block);
        }
        MessageBoxW(nullptr, L"No enough memory for copy", L"Pause", MB_OK);
        CloseClipboard();
        return;
    }
    BITMAPINFOHEADER header{};
    header.biSize = HEADER_SIZE;
    header.biWidth = record.width;
    header.biHeight = record.height;
    header.biPlanes = 1;
    header.biBitCount = eightBit ? 8 : 24;
    header.biCompression = BI_RGB;
    std::memcpy(bytes, &header, HEADER_SIZE);
    if (eightBit) {
        GetDIBColorTable(record.memDC, 0, 256, reinterpret_cast<RGBQUAD*>(bytes + HEADER_SIZE));
    }
    GetDIBits(record.memDC, record.dib, 0, static_cast<UINT>(record.height),
              bytes + HEADER_SIZE + tableSize, reinterpret_cast<BITMAPINFO*>(bytes),
              DIB_RGB_COLORS);
    GlobalUnlock(block);
    if (SetClipboardData(CF_DIB, block) == nullptr) {
        GlobalFree(block);
    }
    CloseClipboard();
}

HBITMAP ReadClipboardBitmap(std::uint32_t* colors, int* count) {
    *count = 0;
    if (IsClipboardFormatAvailable(CF_DIB) && OpenClipboard(nullptr)) {
        HBITMAP bitmap = nullptr;
        if (HANDLE block = GetClipboardData(CF_DIB)) {
            bitmap = BitmapFromDib(block, colors, count);
        }
        CloseClipboard();
        return bitmap;
    }
    if (IsClipboardFormatAvailable(CF_BITMAP) && OpenClipboard(nullptr)) {
        HANDLE copy = nullptr;
        if (HANDLE bitmap = GetClipboardData(CF_BITMAP)) {
            copy = CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        }
        CloseClipboard();
        return static_cast<HBITMAP>(copy);
    }
    return nullptr;
}

void PasteFromClipboard(int n, int x, int y) {
    if (!IsImageWindowInUse(n)) {
        return;
    }
    std::uint32_t colors[256];
    int count = 0;
    HBITMAP bitmap = ReadClipboardBitmap(colors, &count);
    if (bitmap == nullptr) {
        return;
    }
    if (x == -1 || y == -1) {
        // The user places the picture: the click marks its centre. Stop pastes nothing either.
        BITMAP size{};
        GetObjectW(bitmap, sizeof(size), &size);
        int cx = 0;
        int cy = 0;
        if (QIV_PickPlace(n, &cx, &cy, size.bmWidth, size.bmHeight) != 0 ||
            StopRequested.load() != 0 || !IsImageWindowInUse(n)) {
            DeleteObject(bitmap);
            return;
        }
        x = cx - size.bmWidth / 2;
        y = cy - size.bmHeight / 2;
    }
    const ImageWindowRecord& record = qiv_image[n];
    if (count > 0) {
        SetDIBColorTable(record.memDC, 0, static_cast<UINT>(count),
                         reinterpret_cast<const RGBQUAD*>(colors));
    }
    BlitBitmap(record, bitmap, x, y);
    InvalidateRect(record.hwnd, nullptr, FALSE);
    DeleteObject(bitmap);
}

void PasteBitmap(HBITMAP bitmap) {
    if (bitmap == nullptr) {
        return;
    }
    if (IsImageWindowInUse(qiv_target)) {
        BlitBitmap(qiv_image[qiv_target], bitmap, 0, 0);
    }
    DeleteObject(bitmap);
}

LRESULT DropOnImageWindow(HWND hwnd, HDROP drop) {
    const std::wstring name = DroppedFileName(drop, 0);
    if (SelectImageWindowByHandle(hwnd) >= 0) {
        std::vector<char> path(4 * QIV_LONG_PATH);
        if (!name.empty() &&
            WideToUtf8IfFits(name.c_str(), path.data(), static_cast<int>(path.size()))) {
            QIV_LoadImage(path.data(), 0, 0);
        }
        InvalidateRect(qiv_image[qiv_target].hwnd, nullptr, FALSE);
        QIV_RestoreImage();
    }
    DragFinish(drop);
    SetForegroundWindow(hwnd);
    return 0;
}
