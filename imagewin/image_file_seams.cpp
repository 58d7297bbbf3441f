// What the runtime asks of image files and the clipboard: the worker side of requests 9003
// and 9004, GDI+ start and shutdown, the main window's Paste and the size of dropped files.
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "runtime/subsystem_seams.h"

namespace {

ULONG_PTR gdiplusToken = 0;

} // namespace

int LoadImageForRequest(const RequestBlock& args) {
    QIV_SelectImage(static_cast<int>(args.number));
    const int result = QIV_LoadImage(args.path, args.x, args.y);
    QIV_RestoreImage();
    return result;
}

void PasteBitmapForRequest(const RequestBlock& args) {
    PasteBitmap(args.bitmap);
}

void StartImageCodecs() {
    GdiplusStartupInput input;
    GdiplusStartup(&gdiplusToken, &input, nullptr);
    ResetImageFileSettings();
}

void StopImageCodecs() {
    GdiplusShutdown(gdiplusToken);
}

HBITMAP ReadClipboardBitmapForPaste() {
    std::uint32_t colors[256];
    int count = 0;
    return ReadClipboardBitmap(colors, &count);
}

bool ReadImageFileSize(const wchar_t* path, unsigned* width, unsigned* height) {
    GpImage* picture = nullptr;
    if (GdipLoadImageFromFile(path, &picture) != Ok) {
        return false;
    }
    UINT w = 0;
    UINT h = 0;
    GdipGetImageWidth(picture, &w);
    GdipGetImageHeight(picture, &h);
    GdipDisposeImage(picture);
    *width = w;
    *height = h;
    return w != 0 && h != 0;
}
