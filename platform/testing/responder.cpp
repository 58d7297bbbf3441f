// The modal-UI responder: answers menus, message boxes and the file, colour and font dialogs
// from a script and records them.
// A later dialog kind adds its record, its answer functions and a branch in Respond().
#include "platform/testing.h"
#include "platform/user/modal.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace platform::testing {
namespace {

enum class AnswerKind { MenuId, MenuText, MessageBoxButton, File, FileCancel, Color, Font, Hold };

struct Answer {
    AnswerKind kind;
    LRESULT value = 0;
    std::wstring text;
    DialogAnswer dialog;
    bool customGiven = false;
};

std::mutex responderMutex;
std::deque<Answer> script;
std::vector<std::shared_ptr<ModalRequest>> held;
std::vector<ShownMenu> shownMenus;
std::vector<ShownMessageBox> shownBoxes;
std::vector<ShownFileDialog> shownFileDialogs;
std::vector<ShownColorDialog> shownColorDialogs;
std::vector<ShownFontDialog> shownFontDialogs;

std::vector<MenuItemRecord> Record(const std::vector<MenuItemSnapshot>& items) {
    std::vector<MenuItemRecord> records;
    for (const MenuItemSnapshot& item : items) {
        MenuItemRecord r;
        r.text = item.text;
        r.id = item.id;
        r.separator = (item.type & MFT_SEPARATOR) != 0;
        r.grayed = (item.state & MFS_GRAYED) != 0;
        r.checked = (item.state & MFS_CHECKED) != 0;
        r.submenu = Record(item.submenu);
        records.push_back(std::move(r));
    }
    return records;
}

// The id of the enabled item with this text, searching sub-menus; 0 when there is none.
UINT FindItem(const std::vector<MenuItemSnapshot>& items, const std::wstring& text) {
    for (const MenuItemSnapshot& item : items) {
        if (item.state & MFS_GRAYED) {
            continue;
        }
        if (item.hasSubmenu) {
            if (UINT id = FindItem(item.submenu, text)) {
                return id;
            }
        } else if (!(item.type & MFT_SEPARATOR) && item.text == text) {
            return item.id;
        }
    }
    return 0;
}

bool Matches(AnswerKind answer, ModalKind request) {
    switch (answer) {
    case AnswerKind::MenuId:
    case AnswerKind::MenuText:
        return request == ModalKind::PopupMenu;
    case AnswerKind::MessageBoxButton:
        return request == ModalKind::MessageBox;
    case AnswerKind::File:
    case AnswerKind::FileCancel:
        return request == ModalKind::OpenFile || request == ModalKind::SaveFile;
    case AnswerKind::Color:
        return request == ModalKind::ChooseColor;
    case AnswerKind::Font:
        return request == ModalKind::ChooseFont;
    case AnswerKind::Hold:
        return true;
    }
    return false;
}

bool Respond(const std::shared_ptr<ModalRequest>& request) {
    std::unique_lock lock(responderMutex);
    Answer answer{AnswerKind::Hold, request->defaultResult, {}};
    bool scripted = false;
    for (auto it = script.begin(); it != script.end(); ++it) {
        if (Matches(it->kind, request->kind)) {
            answer = *it;
            script.erase(it);
            scripted = true;
            break;
        }
    }
    LRESULT result = request->defaultResult;
    std::wstring resultText;
    if (scripted && answer.kind == AnswerKind::MenuId) {
        result = answer.value;
    } else if (scripted && answer.kind == AnswerKind::MenuText) {
        result = FindItem(request->menu.items, answer.text);
    } else if (scripted && answer.kind == AnswerKind::MessageBoxButton) {
        result = answer.value;
    } else if (scripted && answer.kind == AnswerKind::File) {
        result = answer.value != 0 ? answer.value : request->file.filterIndex;
        resultText = answer.text;
    } else if (scripted && answer.kind == AnswerKind::FileCancel) {
        result = 0;
    }
    bool hold = scripted && answer.kind == AnswerKind::Hold;
    if (request->kind == ModalKind::ChooseColor || request->kind == ModalKind::ChooseFont) {
        if (request->kind == ModalKind::ChooseColor) {
            const ColorDialogRequest& c = request->color;
            shownColorDialogs.push_back(ShownColorDialog{
                request->owner, c.color, std::vector<COLORREF>(c.custom, c.custom + CUSTOM_COLORS),
                c.flags});
        } else {
            shownFontDialogs.push_back(
                ShownFontDialog{request->owner, request->font.font, request->font.flags});
        }
        if (hold) {
            held.push_back(request);
            return true;
        }
        DialogAnswer dialog = answer.dialog;
        if (!answer.customGiven) {
            std::copy_n(request->color.custom, CUSTOM_COLORS, dialog.custom);
        }
        lock.unlock();
        if (scripted) {
            request->Complete(answer.value, dialog);
        } else {
            request->Complete(request->defaultResult);
        }
        return true;
    }
    if (request->kind == ModalKind::PopupMenu) {
        shownMenus.push_back(ShownMenu{request->owner, request->at, Record(request->menu.items),
                                       hold ? 0u : static_cast<UINT>(result)});
    } else if (request->kind == ModalKind::OpenFile || request->kind == ModalKind::SaveFile) {
        const FileDialogRequest& f = request->file;
        shownFileDialogs.push_back(ShownFileDialog{request->kind == ModalKind::SaveFile,
                                                   request->owner, f.title, f.initialDir,
                                                   f.fileName, f.filters, f.filterIndex, f.flags});
    } else {
        shownBoxes.push_back(ShownMessageBox{request->owner, request->caption, request->text,
                                             request->type, hold ? 0 : static_cast<int>(result)});
    }
    if (hold) {
        held.push_back(request);
        return true;
    }
    lock.unlock();
    request->Complete(result, resultText);
    return true;
}

void Push(Answer answer) {
    std::lock_guard lock(responderMutex);
    script.push_back(std::move(answer));
}

void PushColorAnswer(LRESULT value, COLORREF color, const std::vector<COLORREF>& custom) {
    Answer answer{AnswerKind::Color, value, {}};
    answer.dialog.given = true;
    answer.dialog.color = color;
    answer.customGiven = custom.size() == CUSTOM_COLORS;
    if (answer.customGiven) {
        std::copy(custom.begin(), custom.end(), answer.dialog.custom);
    }
    Push(std::move(answer));
}

} // namespace

void InstallResponder() {
    ClearShown();
    SetModalResponder(Respond);
}

void RemoveResponder() {
    SetModalResponder(nullptr);
    std::vector<std::shared_ptr<ModalRequest>> open;
    {
        std::lock_guard lock(responderMutex);
        script.clear();
        open.swap(held);
    }
    for (const auto& request : open) {
        request->Complete(request->defaultResult);
    }
}

void AnswerMenuWithId(UINT id) {
    Push({AnswerKind::MenuId, static_cast<LRESULT>(id), {}});
}

void AnswerMenuWithText(const std::wstring& text) {
    Push({AnswerKind::MenuText, 0, text});
}

void AnswerMenuCancel() {
    Push({AnswerKind::MenuId, 0, {}});
}

void AnswerMessageBox(int button) {
    Push({AnswerKind::MessageBoxButton, button, {}});
}

void AnswerFileDialog(const std::wstring& path, int filterIndex) {
    Push({AnswerKind::File, filterIndex, path});
}

void AnswerFileDialogCancel() {
    Push({AnswerKind::FileCancel, 0, {}});
}

void AnswerColorDialog(COLORREF color, const std::vector<COLORREF>& custom) {
    PushColorAnswer(1, color, custom);
}

void AnswerColorDialogCancel(const std::vector<COLORREF>& custom) {
    PushColorAnswer(0, 0, custom);
}

void AnswerFontDialog(const LOGFONTW& font, int pointSize) {
    Answer answer{AnswerKind::Font, 1, {}};
    answer.dialog.given = true;
    answer.dialog.font = font;
    answer.dialog.pointSize = pointSize;
    Push(std::move(answer));
}

void AnswerFontDialogCancel() {
    Push({AnswerKind::Font, 0, {}});
}

void HoldNextModal() {
    Push({AnswerKind::Hold, 0, {}});
}

int HeldModalCount() {
    std::lock_guard lock(responderMutex);
    return static_cast<int>(held.size());
}

bool AnswerHeld(LRESULT result) {
    std::shared_ptr<ModalRequest> request;
    {
        std::lock_guard lock(responderMutex);
        if (held.empty()) {
            return false;
        }
        request = held.front();
        held.erase(held.begin());
    }
    request->Complete(result);
    return true;
}

std::vector<ShownMenu> ShownMenus() {
    std::lock_guard lock(responderMutex);
    return shownMenus;
}

std::vector<ShownMessageBox> ShownMessageBoxes() {
    std::lock_guard lock(responderMutex);
    return shownBoxes;
}

std::vector<ShownFileDialog> ShownFileDialogs() {
    std::lock_guard lock(responderMutex);
    return shownFileDialogs;
}

std::vector<ShownColorDialog> ShownColorDialogs() {
    std::lock_guard lock(responderMutex);
    return shownColorDialogs;
}

std::vector<ShownFontDialog> ShownFontDialogs() {
    std::lock_guard lock(responderMutex);
    return shownFontDialogs;
}

void ClearShown() {
    std::lock_guard lock(responderMutex);
    shownColorDialogs.clear();
    shownFontDialogs.clear();
    shownMenus.clear();
    shownBoxes.clear();
    shownFileDialogs.clear();
}

} // namespace platform::testing
