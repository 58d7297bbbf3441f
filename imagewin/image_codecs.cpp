// GDI+ for the image files, started with the program and shut down with it.
#include "imagewin/image_files.h"

namespace {

ULONG_PTR gdiplusToken = 0;

} // namespace

void StartImageCodecs() {
    GdiplusStartupInput input;
    GdiplusStartup(&gdiplusToken, &input, nullptr);
    ResetImageFileSettings();
}

void StopImageCodecs() {
    GdiplusShutdown(gdiplusToken);
}
