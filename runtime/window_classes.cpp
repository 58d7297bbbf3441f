// The classes of the framework's windows, registered by start-up after the main window's.
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/program_state.h"
#include "textwin/text_window.h"

#include <cstdint>

namespace {

struct FrameworkClass {
    const wchar_t* name;
    WNDPROC procedure;
    UINT style;
    bool black; // else the button face
};

constexpr FrameworkClass FRAMEWORK_CLASSES[FRAMEWORK_CLASS_COUNT] = {
    {L"qiv_iw", ImageWndProc, CS_OWNDC, true},
    {L"qiv_twi", TextWindowProc, CS_OWNDC, true},
    {L"qiv_ib", InputBoxProc, CS_OWNDC | CS_DBLCLKS, false},
    {L"qiv_bb", ButtonBoxProc, CS_OWNDC | CS_DBLCLKS, false},
};

} // namespace

int RegisterFrameworkClasses(HINSTANCE instance) {
    int registered = 0;
    for (const FrameworkClass& c : FRAMEWORK_CLASSES) {
        WNDCLASSW wc = {};
        wc.style = c.style;
        wc.lpfnWndProc = c.procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground =
            c.black ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))
                    : reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = c.name;
        if (!RegisterClassW(&wc)) {
            break;
        }
        ++registered;
    }
    return registered;
}

const wchar_t* FrameworkClassName(int i) {
    return i >= 0 && i < FRAMEWORK_CLASS_COUNT ? FRAMEWORK_CLASSES[i].name : nullptr;
}
