// The BUTTON control as a push button: pressed by the left button (released over it) or by
// Space, it sends BN_CLICKED to its parent as WM_COMMAND. BS_MULTILINE captions break at line
// breaks and wrap between words; every caption is centred.
#include "platform/controls/button_caption.h"
#include "platform/controls/control_paint.h"
#include "platform/controls/controls.h"
#include "platform/win32_gdi.h"

#include <vector>

namespace platform {
namespace {

struct ButtonState {
    bool tracking = false; // the left button went down on us and is still held
    bool pressed = false;  // drawn pushed in
    bool spaceDown = false;
    bool focused = false;
};

controls::StateTable<ButtonState>& States() {
    static controls::StateTable<ButtonState> table;
    return table;
}

bool Inside(HWND hwnd, LPARAM lParam) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&r, p) != FALSE;
}

void SetPressed(HWND hwnd, ButtonState& state, bool pressed) {
    if (state.pressed != pressed) {
        state.pressed = pressed;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void Paint(HWND hwnd, const ButtonState& state) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client = {};
    GetClientRect(hwnd, &client);
    controls::FillSysColor(hdc, client, COLOR_BTNFACE);
    bool multiline = (controls::StyleOf(hwnd) & BS_MULTILINE) != 0;
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(hdc, &metrics);
    int shift = state.pressed ? 1 : 0;
    int width = client.right - client.left;
    auto measure = [hdc](const std::wstring& s) {
        SIZE size = {};
        GetTextExtentPoint32W(hdc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::vector<std::wstring> lines =
        controls::CaptionLines(controls::StoredText(hwnd), multiline, width - 8, measure);
    int lineHeight = metrics.tmHeight;
    int y = (client.bottom - lineHeight * static_cast<int>(lines.size())) / 2 + shift;
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    for (const std::wstring& line : lines) {
        int x = (width - measure(line)) / 2 + shift;
        TextOutW(hdc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
    controls::DrawButtonFrame(hdc, client, state.pressed);
    if (state.focused) {
        RECT inner = {client.left + 3, client.top + 3, client.right - 3, client.bottom - 3};
        controls::DrawFocusDots(hdc, inner);
    }
    EndPaint(hwnd, &ps);
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        States().Create(hwnd);
        return TRUE;
    }
    ButtonState* state = States().Find(hwnd);
    if (message == WM_NCDESTROY || !state) {
        States().Erase(hwnd);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        LRESULT done = DefWindowProcW(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return done;
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
        state->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        // Losing the focus releases a press in progress without clicking.
        state->focused = false;
        state->tracking = false;
        state->spaceDown = false;
        state->pressed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != hwnd) {
            SetFocus(hwnd);
            state = States().Find(hwnd);
            if (!state) {
                return 0;
            }
        }
        state->tracking = true;
        SetPressed(hwnd, *state, true);
        SetCapture(hwnd); // so that leaving the button while pressed lets it spring back
        return 0;
    case WM_CAPTURECHANGED:
        if (state->tracking && reinterpret_cast<HWND>(lParam) != hwnd) {
            state->tracking = false;
            SetPressed(hwnd, *state, false);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (state->tracking) {
            SetPressed(hwnd, *state, Inside(hwnd, lParam));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!state->tracking) {
            return 0;
        }
        state->tracking = false;
        SetPressed(hwnd, *state, false);
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        if (Inside(hwnd, lParam)) {
            controls::NotifyParent(hwnd, BN_CLICKED);
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            state->spaceDown = true;
            SetPressed(hwnd, *state, true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && state->spaceDown) {
            state->spaceDown = false;
            SetPressed(hwnd, *state, false);
            controls::NotifyParent(hwnd, BN_CLICKED);
        }
        return 0;
    case BM_CLICK:
        controls::NotifyParent(hwnd, BN_CLICKED);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace platform
