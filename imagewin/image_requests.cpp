// The worker's side of the main window's image window requests, and the procedure that
// start-up registers for the "qiv_iw" class.
#include "imagewin/image_window.h"
#include "runtime/subsystem_seams.h"

WNDPROC ImageWindowProcedure() {
    return ImageWndProc;
}

int CreateImageWindowForRequest(const RequestBlock& args) {
    return CreateImageWindow(args.zoom, static_cast<int>(args.number), args.title, args.x, args.y,
                             args.width, args.height, args.bits);
}

void UpdateImageForRequest(const RequestBlock& args) {
    QIV_UpdateImage(static_cast<int>(args.number));
}
