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

// FIXME: the colour dialog's custom colours (image window commands).
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
