// Modal UI requests. Every piece of modal UI (pop-up menus, message boxes, and the file,
// colour and font dialogs added later) is one ModalRequest: the calling thread hands it to
// the backend, which shows it on the GUI thread (or lets the installed test responder answer
// it), and runs a Win32 modal loop that keeps dispatching the caller's own messages until the
// request is completed.
//
// A new kind of dialog adds a ModalKind value, the fields it needs, a branch in the backend's
// StartModal that shows the real dialog, and an answer in the test responder.
#pragma once

#include "platform/user/menu_table.h"
#include "platform/win32_gdi.h"
#include "platform/win32_user.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class ThreadQueue;

enum class ModalKind { PopupMenu, MessageBox, OpenFile, SaveFile, ChooseColor, ChooseFont };

constexpr int CUSTOM_COLORS = 16;

// The colour dialog's starting colour and custom colours (COLORREF), and its CC_* flags.
struct ColorDialogRequest {
    COLORREF color = 0;
    COLORREF custom[CUSTOM_COLORS] = {};
    DWORD flags = 0;
};

// The font dialog's starting font and colour, and its CF_* flags.
struct FontDialogRequest {
    LOGFONTW font{};
    COLORREF color = 0;
    DWORD flags = 0;
};

// What the colour and font dialogs hand back besides their result (1 OK, 0 cancelled): the
// colour chosen, the custom colours as the dialog left them (also when cancelled), the font
// and its size in tenths of a point.
struct DialogAnswer {
    bool given = false;
    COLORREF color = 0;
    COLORREF custom[CUSTOM_COLORS] = {};
    LOGFONTW font{};
    int pointSize = 0;
};

// The open and save dialogs. The request completes with the 1-based filter in use and the
// chosen full path as its text, or 0 when cancelled.
struct FileDialogRequest {
    std::wstring title;
    std::wstring initialDir;
    std::wstring fileName; // the name field's initial text
    std::wstring defaultExt;
    std::vector<std::pair<std::wstring, std::wstring>> filters; // description, patterns
    int filterIndex = 1;
    DWORD flags = 0;
};

struct ModalRequest {
    ModalKind kind = ModalKind::MessageBox;
    HWND owner = nullptr;
    // PopupMenu: the items and the screen point.
    MenuSnapshot menu;
    POINT at = {0, 0};
    UINT flags = 0;
    // MessageBox: caption, text and MB_* type.
    std::wstring caption;
    std::wstring text;
    UINT type = 0;
    // OpenFile, SaveFile.
    FileDialogRequest file;
    // ChooseColor, ChooseFont.
    ColorDialogRequest color;
    FontDialogRequest font;

    // Completes the request once (later calls are ignored) and wakes the waiting thread.
    // Any thread may call it.
    void Complete(LRESULT value, const std::wstring& valueText = {});
    // The same with a dialog's answer, read back by Answer().
    void Complete(LRESULT value, const DialogAnswer& answer);
    bool IsDone() const { return done.load(); }
    LRESULT Result() const;
    std::wstring ResultText() const;
    DialogAnswer Answer() const;

    // The answer when the request ends without one (closed, or the program shutting down).
    LRESULT defaultResult = 0;
    std::shared_ptr<ThreadQueue> waiter;

private:
    // A request completes once, with either a text or a dialog's answer.
    void Finish(LRESULT value, const std::wstring& valueText, const DialogAnswer& dialogAnswer);

    mutable std::mutex mutex;
    std::atomic<bool> done{false};
    LRESULT result = 0;
    std::wstring resultText;
    DialogAnswer answer;
};

// Shows the request and runs the caller's modal loop until it completes; returns the result.
LRESULT RunModal(const std::shared_ptr<ModalRequest>& request);

// The test responder: when installed, it sees every request first (on the GUI thread) and
// returns true when it has taken it (completing it now or later).
using ModalResponder = std::function<bool(const std::shared_ptr<ModalRequest>&)>;
void SetModalResponder(ModalResponder responder);
bool OfferToResponder(const std::shared_ptr<ModalRequest>& request);

} // namespace platform
