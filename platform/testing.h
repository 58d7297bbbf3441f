// Test support for windowed code on Qt's offscreen platform.
//
// Tests run with QT_QPA_PLATFORM=offscreen and the virtual screen of
// tests/offscreen-screen.json: 1280 × 1024 pixels at 32-bit colour, windows with frames.
// On it GetSystemMetrics answers:
//   SM_CXSCREEN 1280, SM_CYSCREEN 1024, SM_CXFULLSCREEN 1280, SM_CYFULLSCREEN 1024,
//   SM_CYCAPTION 0, SM_CXFRAME 2, SM_CYFRAME 2, SM_CYMENU (the menu bar's height, 19 with the
//   test fonts), SM_CXMIN 5, SM_CYMIN 5.
// The offscreen platform gives every framed window a 2-pixel frame on each side and no caption
// strip, so AdjustWindowRect adds 2 pixels all round (plus SM_CYMENU with a menu), and
// GetWindowRect matches where the desktop put the frame.
//
// Everything here is called on the test's main thread, which is the GUI thread. Synthetic
// input is delivered as Qt events to the window's widgets, so it takes the same translation
// path as real input; the resulting messages wait in the owning thread's queue until that
// thread pumps.
#pragma once

#include "platform/win32.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform::testing {

// Creates the QApplication (if there is none) on the calling thread and starts the platform.
void StartTestApplication();

// Pumps the calling thread's messages (and Qt events on the GUI thread) until done() is true
// or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));
// Pumps for the given time.
void PumpFor(std::chrono::milliseconds time);
// Processes pending Qt events only, without dispatching any thread's messages.
void ProcessDesktopEvents();

// Synthetic input, in client coordinates of hwnd.
enum class Button { Left, Right, Middle };
enum Modifier : unsigned { NO_MODIFIER = 0, SHIFT = 1, CONTROL = 2, ALT = 4 };

void MouseMove(HWND hwnd, int x, int y, unsigned modifiers = NO_MODIFIER);
// The pointer leaves hwnd's client area for a point of the bare desktop (screen coordinates),
// where the program sees no moves: only the leave.
void PointerToDesktop(HWND hwnd, int screenX, int screenY);
void MouseDown(HWND hwnd, Button button, int x, int y, unsigned modifiers = NO_MODIFIER);
void MouseUp(HWND hwnd, Button button, int x, int y, unsigned modifiers = NO_MODIFIER);
void Click(HWND hwnd, Button button, int x, int y, unsigned modifiers = NO_MODIFIER);
void DoubleClick(HWND hwnd, Button button, int x, int y, unsigned modifiers = NO_MODIFIER);
// delta in Win32 units (120 per notch; positive = away from the user).
void Wheel(HWND hwnd, int x, int y, int delta, unsigned modifiers = NO_MODIFIER);
// A key given by its virtual-key code; letters produce their character (upper case with
// SHIFT, control characters with CONTROL), as the keyboard would.
void KeyDown(HWND hwnd, int vk, unsigned modifiers = NO_MODIFIER);
void KeyUp(HWND hwnd, int vk, unsigned modifiers = NO_MODIFIER);
void KeyPress(HWND hwnd, int vk, unsigned modifiers = NO_MODIFIER);
// Types characters (each one key press with that text).
void TypeText(HWND hwnd, const std::wstring& text);
// Drops local files on the client area at (x, y), as a file manager would.
void DropFiles(HWND hwnd, const std::vector<std::wstring>& paths, int x, int y);
// A right click on the window's menu bar (the non-client area the desktop lets us see).
void RightClickMenuBar(HWND hwnd, int x);
// Clicks the menu bar item with this text (as shown, '&' included).
bool ClickMenuBarItem(HWND hwnd, const std::wstring& text);
// The texts of the menu bar's items.
std::vector<std::wstring> MenuBarItems(HWND hwnd);
// Closes the window from the desktop (its close button).
void CloseFromDesktop(HWND hwnd);

// The user drags the window (or its frame) so that its outer rectangle becomes `frame`, in
// `steps` moves, holding the modifiers. The window's thread sees WM_MOVING or WM_SIZING when
// it pumps; the window ends where its procedure put it.
void DragWindowTo(HWND hwnd, const RECT& frame, unsigned modifiers = NO_MODIFIER, int steps = 1);

// What the desktop shows of a window.
struct DesktopWindow {
    bool exists = false;
    bool visible = false;
    RECT frame = {};  // outer rectangle
    RECT client = {}; // client area in screen coordinates
    std::wstring title;
    bool transientForOwner = false; // stays above its owner
    bool active = false;
};
DesktopWindow DesktopWindowOf(HWND hwnd);

// Pixels (0x00RRGGBB) of a window's client surface, or of what its widget paints.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
bool CaptureClientSurface(HWND hwnd, Capture* capture);
bool GrabShownClient(HWND hwnd, Capture* capture);

// The modal-UI responder. Installed, it answers every pop-up menu, message box, file, colour
// and font dialog instead of showing them, and records what would have been shown. Answers
// are used in order, each by the first request of its kind; without one, a menu is cancelled,
// a message box gets its default button (OK) and a dialog is cancelled.
struct MenuItemRecord {
    std::wstring text; // as given, '&' and '\t' included
    UINT id = 0;
    bool separator = false;
    bool grayed = false;
    bool checked = false;
    std::vector<MenuItemRecord> submenu;
};
struct ShownMenu {
    HWND owner = nullptr;
    POINT at = {};
    std::vector<MenuItemRecord> items;
    UINT chosen = 0;
};
struct ShownMessageBox {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    int answer = 0;
};

// The open and save dialogs as they would have been shown.
struct ShownFileDialog {
    bool save = false;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring initialDir;
    std::wstring fileName;
    std::vector<std::pair<std::wstring, std::wstring>> filters; // description, patterns
    int filterIndex = 0;                                        // 1-based, as shown
    DWORD flags = 0;
};

// The colour and font dialogs as they would have been shown.
struct ShownColorDialog {
    HWND owner = nullptr;
    COLORREF color = 0;
    std::vector<COLORREF> custom; // the 16 custom colours
    DWORD flags = 0;
};
struct ShownFontDialog {
    HWND owner = nullptr;
    LOGFONTW font{};
    DWORD flags = 0;
};

void InstallResponder();
void RemoveResponder();
void AnswerMenuWithId(UINT id);
// The item with this text, in the menu or a sub-menu; a greyed or missing item cancels.
void AnswerMenuWithText(const std::wstring& text);
void AnswerMenuCancel();
void AnswerMessageBox(int button);
// The next open or save dialog closes with OK on this full path, with the filter in use
// (0: the one it was shown with); or with Cancel.
void AnswerFileDialog(const std::wstring& path, int filterIndex = 0);
void AnswerFileDialogCancel();
// The next colour dialog closes with OK on this colour (COLORREF), or with Cancel; with
// custom (16 entries) the user left those custom colours.
void AnswerColorDialog(COLORREF color, const std::vector<COLORREF>& custom = {});
void AnswerColorDialogCancel(const std::vector<COLORREF>& custom = {});
// The next font dialog closes with OK on this font, or with Cancel.
void AnswerFontDialog(const LOGFONTW& font, int pointSize = 120);
void AnswerFontDialogCancel();
// The next request (of any kind) stays open until AnswerHeld: the caller sits in its modal
// loop meanwhile.
void HoldNextModal();
int HeldModalCount();
bool AnswerHeld(LRESULT result);
std::vector<ShownMenu> ShownMenus();
std::vector<ShownMessageBox> ShownMessageBoxes();
std::vector<ShownFileDialog> ShownFileDialogs();
std::vector<ShownColorDialog> ShownColorDialogs();
std::vector<ShownFontDialog> ShownFontDialogs();
void ClearShown();

} // namespace platform::testing
