// Placeholders for the seams of subsystem_seams.h whose subsystems have not landed yet. Each
// group answers as a program without that kind of window would; the subsystem that lands
// replaces its group with the real call.
#include "runtime/subsystem_seams.h"

#include "platform/win32.h"

// FIXME: the boxes' procedures; until then their classes behave as plain windows.
WNDPROC InputBoxProcedure() {
    return DefWindowProcW;
}
WNDPROC ButtonBoxProcedure() {
    return DefWindowProcW;
}

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

// FIXME: input box and button box — QIV_DestroyInputBox/QIV_OpenInputBox(args.x, args.y,
// args.number), QIV_DestroyButtonBox/QIV_OpenButtonBox(args.x, args.y, args.width,
// args.height), and their windows.
void OpenInputBoxForRequest(const RequestBlock&) {}
void OpenButtonBoxForRequest(const RequestBlock&) {}
HWND InputBoxWindow() {
    return nullptr;
}
HWND ButtonBoxWindow() {
    return nullptr;
}
