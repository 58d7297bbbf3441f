// What the runtime asks of image files: the worker side of requests 9003 and 9004, and GDI+
// start and shutdown.
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

int RestoreImageForRequest() {
    return QIV_RestoreImage();
}

void StartImageCodecs() {
    GdiplusStartupInput input;
    GdiplusStartup(&gdiplusToken, &input, nullptr);
    ResetImageFileSettings();
}

void StopImageCodecs() {
    GdiplusShutdown(gdiplusToken);
}
