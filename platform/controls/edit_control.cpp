// The EDIT control: one line of text with a caret and a selection, drawn on its own client
// surface. Supports what single-line fields need: typing, Backspace and Delete, the arrow,
// Home and End keys (with Shift to select), clicks and drags, Ctrl+A, EM_SETSEL and
// EM_GETSEL, and EN_SETFOCUS, EN_KILLFOCUS and EN_CHANGE to the parent.
#include "platform/controls/control_paint.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit_text.h"
#include "platform/win32_gdi.h"

#include <algorithm>

namespace platform {
namespace {

struct EditState {
    controls::EditText edit;
    int scroll = 0;
    bool focused = false;
    bool dragging = false;
};

controls::StateTable<EditState>& States() {
    static controls::StateTable<EditState> table;
    return table;
}

// The border of WS_EX_CLIENTEDGE plus one pixel of margin before the text.
constexpr int TEXT_MARGIN = 3;

bool HasClientEdge(HWND hwnd) {
    return (controls::ExStyleOf(hwnd) & WS_EX_CLIENTEDGE) != 0;
}

int TextWidth(HDC hdc, const std::wstring& text, int count) {
    if (count <= 0) {
        return 0;
    }
    SIZE size = {};
    GetTextExtentPoint32W(hdc, text.c_str(), count, &size);
    return size.cx;
}

RECT ClientRect(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return r;
}

int VisibleWidth(HWND hwnd) {
    RECT r = ClientRect(hwnd);
    return r.right - r.left - 2 * TEXT_MARGIN;
}

// Scrolls so that the caret stays in view after a change.
void KeepCaretVisible(HWND hwnd, EditState& state) {
    HDC hdc = GetDC(hwnd);
    const std::wstring& text = state.edit.text;
    int caretX = TextWidth(hdc, text, state.edit.caret);
    int width = TextWidth(hdc, text, static_cast<int>(text.size()));
    ReleaseDC(hwnd, hdc);
    state.scroll = controls::ScrollForCaret(state.scroll, caretX, width, VisibleWidth(hwnd));
}

// The character boundary nearest to client x.
int PositionAt(HWND hwnd, const EditState& state, int x) {
    HDC hdc = GetDC(hwnd);
    const std::wstring& text = state.edit.text;
    int target = x - TEXT_MARGIN + state.scroll;
    int best = 0;
    int previous = 0;
    for (int i = 1; i <= static_cast<int>(text.size()); ++i) {
        int w = TextWidth(hdc, text, i);
        if (target >= (previous + w) / 2) {
            best = i;
        }
        if (w > target) {
            break;
        }
        previous = w;
    }
    ReleaseDC(hwnd, hdc);
    return best;
}

void Paint(HWND hwnd, EditState& state) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client = ClientRect(hwnd);
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    controls::FillSysColor(hdc, client, enabled ? COLOR_WINDOW : COLOR_BTNFACE);
    const std::wstring& text = state.edit.text;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(hdc, &metrics);
    int x = TEXT_MARGIN - state.scroll;
    int y = (client.bottom - metrics.tmHeight) / 2;
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    TextOutW(hdc, x, y, text.c_str(), static_cast<int>(text.size()));
    if (state.focused && state.edit.HasSelection()) {
        int start = state.edit.SelectionStart();
        int end = state.edit.SelectionEnd();
        int left = x + TextWidth(hdc, text, start);
        int right = x + TextWidth(hdc, text, end);
        RECT band = {left, y, right, y + metrics.tmHeight};
        controls::FillSysColor(hdc, band, COLOR_HIGHLIGHT);
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOutW(hdc, left, y, text.c_str() + start, end - start);
    }
    if (state.focused) {
        int caretX = x + TextWidth(hdc, text, state.edit.caret);
        RECT caret = {caretX, y, caretX + 1, y + metrics.tmHeight};
        controls::FillSysColor(hdc, caret, COLOR_WINDOWTEXT);
    }
    // The border goes last so that scrolled text never covers it.
    if (HasClientEdge(hwnd)) {
        controls::DrawSunkenEdge(hdc, client);
    }
    EndPaint(hwnd, &ps);
}

// Stores the edited text as the window's text and tells the parent.
void Commit(HWND hwnd, EditState& state) {
    DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.edit.text.c_str()));
    KeepCaretVisible(hwnd, state);
    InvalidateRect(hwnd, nullptr, FALSE);
    controls::NotifyParent(hwnd, EN_CHANGE);
}

void Refresh(HWND hwnd, EditState& state) {
    KeepCaretVisible(hwnd, state);
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool KeyDown(HWND hwnd, EditState& state, WPARAM key) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    controls::EditText& edit = state.edit;
    switch (key) {
    case VK_LEFT:
        edit.MoveTo(!shift && edit.HasSelection() ? edit.SelectionStart() : edit.caret - 1, shift);
        break;
    case VK_RIGHT:
        edit.MoveTo(!shift && edit.HasSelection() ? edit.SelectionEnd() : edit.caret + 1, shift);
        break;
    case VK_HOME:
        edit.MoveTo(0, shift);
        break;
    case VK_END:
        edit.MoveTo(static_cast<int>(edit.text.size()), shift);
        break;
    case VK_DELETE:
        edit.DeleteForward();
        Commit(hwnd, state);
        return true;
    default:
        return false;
    }
    Refresh(hwnd, state);
    return true;
}

void Character(HWND hwnd, EditState& state, wchar_t c) {
    controls::EditText& edit = state.edit;
    if (c == L'\b') {
        edit.DeleteBackward();
    } else if (c == 0x01) { // Ctrl+A
        edit.SetSelection(0, -1);
        Refresh(hwnd, state);
        return;
    } else if (c >= 0x20 && c != 0x7F) {
        edit.Replace(std::wstring(1, c));
    } else {
        return; // Enter, Tab, Esc and other control characters are not text
    }
    Commit(hwnd, state);
}

} // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        EditState* created = States().Create(hwnd);
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        created->edit.Reset(cs && cs->lpszName ? cs->lpszName : L"");
        return TRUE;
    }
    EditState* state = States().Find(hwnd);
    if (message == WM_NCDESTROY || !state) {
        States().Erase(hwnd);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        Paint(hwnd, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_SETTEXT: {
        LRESULT done = DefWindowProcW(hwnd, message, wParam, lParam);
        state->edit.Reset(controls::StoredText(hwnd));
        state->scroll = 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return done;
    }
    case WM_SIZE:
        Refresh(hwnd, *state);
        return 0;
    case WM_SETFOCUS:
        state->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        controls::NotifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state->focused = false;
        state->dragging = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        controls::NotifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        KeyDown(hwnd, *state, wParam);
        return 0;
    case WM_CHAR:
        Character(hwnd, *state, static_cast<wchar_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != hwnd) {
            SetFocus(hwnd);
            state = States().Find(hwnd);
            if (!state) {
                return 0;
            }
        }
        bool extend = (wParam & MK_SHIFT) != 0;
        state->edit.MoveTo(PositionAt(hwnd, *state, GET_X_LPARAM(lParam)), extend);
        state->dragging = true;
        SetCapture(hwnd); // the selection follows a drag past the field's ends
        Refresh(hwnd, *state);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (state->dragging && (wParam & MK_LBUTTON)) {
            state->edit.MoveTo(PositionAt(hwnd, *state, GET_X_LPARAM(lParam)), true);
            Refresh(hwnd, *state);
        }
        return 0;
    case WM_LBUTTONUP:
        state->dragging = false;
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
        return 0;
    case EM_SETSEL:
        state->edit.SetSelection(static_cast<int>(static_cast<INT_PTR>(wParam)),
                                 static_cast<int>(lParam));
        Refresh(hwnd, *state);
        return 0;
    case EM_GETSEL: {
        auto start = static_cast<DWORD>(state->edit.SelectionStart());
        auto end = static_cast<DWORD>(state->edit.SelectionEnd());
        if (wParam) {
            *reinterpret_cast<DWORD*>(wParam) = start;
        }
        if (lParam) {
            *reinterpret_cast<DWORD*>(lParam) = end;
        }
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end)));
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace platform
