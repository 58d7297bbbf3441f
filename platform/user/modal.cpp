// Modal requests, TrackPopupMenu and MessageBoxW.
#include "platform/user/modal.h"

#include "platform/user/backend.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_table.h"

namespace platform {
namespace {

std::mutex responderMutex;
ModalResponder responder;

} // namespace

void ModalRequest::Complete(LRESULT value, const std::wstring& valueText) {
    Finish(value, valueText, DialogAnswer{});
}

void ModalRequest::Complete(LRESULT value, const DialogAnswer& dialogAnswer) {
    Finish(value, std::wstring(), dialogAnswer);
}

void ModalRequest::Finish(LRESULT value, const std::wstring& valueText,
                          const DialogAnswer& dialogAnswer) {
    {
        std::lock_guard lock(mutex);
        if (done) {
            return;
        }
        result = value;
        resultText = valueText;
        answer = dialogAnswer;
        done = true;
    }
    if (waiter) {
        waiter->Wake();
    }
}

DialogAnswer ModalRequest::Answer() const {
    std::lock_guard lock(mutex);
    return answer;
}

LRESULT ModalRequest::Result() const {
    std::lock_guard lock(mutex);
    return done ? result : defaultResult;
}

std::wstring ModalRequest::ResultText() const {
    std::lock_guard lock(mutex);
    return resultText;
}

LRESULT RunModal(const std::shared_ptr<ModalRequest>& request) {
    request->waiter = CurrentQueue();
    backend::StartModal(request);
    RunModalLoop([&] { return request->IsDone(); });
    return request->Result();
}

void SetModalResponder(ModalResponder value) {
    std::lock_guard lock(responderMutex);
    responder = std::move(value);
}

bool OfferToResponder(const std::shared_ptr<ModalRequest>& request) {
    ModalResponder current;
    {
        std::lock_guard lock(responderMutex);
        current = responder;
    }
    return current && current(request);
}

} // namespace platform

using namespace platform;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND hwnd, const RECT*) {
    auto request = std::make_shared<ModalRequest>();
    request->kind = ModalKind::PopupMenu;
    if (!SnapshotMenu(menu, &request->menu)) {
        return FALSE;
    }
    request->owner = hwnd;
    request->at = POINT{x, y};
    request->flags = flags;
    auto id = static_cast<UINT>(RunModal(request));
    if (flags & TPM_RETURNCMD) {
        return static_cast<BOOL>(id);
    }
    if (id != 0 && !(flags & TPM_NONOTIFY)) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    }
    return TRUE;
}

int MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type) {
    auto request = std::make_shared<ModalRequest>();
    request->kind = ModalKind::MessageBox;
    request->owner = IsWindow(hwnd) ? hwnd : nullptr;
    request->text = text ? text : L"";
    request->caption = caption ? caption : L"Error";
    request->type = type;
    switch (type & 0xF) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
        request->defaultResult = IDCANCEL;
        break;
    case MB_YESNO:
        request->defaultResult = IDNO;
        break;
    default:
        request->defaultResult = IDOK;
        break;
    }
    return static_cast<int>(RunModal(request));
}
