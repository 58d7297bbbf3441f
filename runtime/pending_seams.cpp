// Placeholders for the seams of subsystem_seams.h whose subsystems have not landed yet. Each
// group answers as a program without that kind of window would; the subsystem that lands
// replaces its group with the real call.
#include "runtime/subsystem_seams.h"

#include "platform/win32.h"

// FIXME: ImageWndProc; until then its class behaves as a plain window.
WNDPROC ImageWindowProcedure() {
    return DefWindowProcW;
}

// FIXME: image windows — CreateImageWindow(args.zoom, args.number, args.title, args.x, args.y,
// args.width, args.height, args.bits) and QIV_UpdateImage(args.number).
int CreateImageWindowForRequest(const RequestBlock&) {
    return 3; // no bitmap can be made
}
void UpdateImageForRequest(const RequestBlock&) {}

// FIXME: image files — QIV_SelectImage, QIV_LoadImage(args.path, args.x, args.y),
// QIV_RestoreImage; PasteBitmap; GdiplusStartup/GdiplusShutdown; ReadClipboardBitmap; the size
// through GdipLoadImageFromFile; the colour dialog's custom colours.
int LoadImageForRequest(const RequestBlock&) {
    return 1;
}
void PasteBitmapForRequest(const RequestBlock& args) {
    // The bitmap is the worker's now; nothing can take it.
    if (args.bitmap) {
        DeleteObject(args.bitmap);
    }
}
void StartImageCodecs() {}
void StopImageCodecs() {}
HBITMAP ReadClipboardBitmapForPaste() {
    return nullptr;
}
bool ReadImageFileSize(const wchar_t*, unsigned*, unsigned*) {
    return false;
}
void ResetCustomColours() {}
