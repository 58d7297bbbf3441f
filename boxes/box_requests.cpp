// The worker side of requests 9006 and 9007: a box opened from the main window's menu
// replaces an open one.
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "runtime/subsystem_seams.h"

void OpenInputBoxForRequest(const RequestBlock& args) {
    ReopenInputBox(args.x, args.y, static_cast<int>(args.number));
}

void OpenButtonBoxForRequest(const RequestBlock& args) {
    ReopenButtonBox(args.x, args.y, args.width, args.height);
}
