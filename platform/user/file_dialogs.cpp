// GetOpenFileNameW and GetSaveFileNameW: the structure becomes a modal request that the
// backend shows as the desktop's file dialog (or the test responder answers).
#include "platform/user/modal.h"
#include "platform/user/text.h"
#include "platform/win32.h"

#include <atomic>
#include <cwchar>

using namespace platform;

namespace {

thread_local DWORD lastDialogError = 0;

// Reads the (description, pattern) pairs of a double-terminated filter list.
std::vector<std::pair<std::wstring, std::wstring>> ParseFilters(LPCWSTR list) {
    std::vector<std::pair<std::wstring, std::wstring>> filters;
    if (list == nullptr) {
        return filters;
    }
    while (*list != 0) {
        std::wstring description = list;
        list += description.size() + 1;
        if (*list == 0) {
            break; // a description without its pattern
        }
        std::wstring pattern = list;
        list += pattern.size() + 1;
        filters.emplace_back(std::move(description), std::move(pattern));
    }
    return filters;
}

BOOL RunFileDialog(LPOPENFILENAMEW ofn, ModalKind kind) {
    lastDialogError = 0;
    if (ofn == nullptr || ofn->lStructSize < sizeof(OPENFILENAMEW)) {
        lastDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
        lastDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    auto request = std::make_shared<ModalRequest>();
    request->kind = kind;
    request->owner = IsWindow(ofn->hwndOwner) ? ofn->hwndOwner : nullptr;
    request->defaultResult = 0;
    FileDialogRequest& file = request->file;
    file.title = SafeWide(ofn->lpstrTitle);
    if (file.title.empty()) {
        file.title = kind == ModalKind::OpenFile ? L"Open" : L"Save As";
    }
    file.initialDir = SafeWide(ofn->lpstrInitialDir);
    file.fileName.assign(ofn->lpstrFile, wcsnlen(ofn->lpstrFile, ofn->nMaxFile));
    file.defaultExt = SafeWide(ofn->lpstrDefExt);
    file.filters = ParseFilters(ofn->lpstrFilter);
    file.filterIndex = static_cast<int>(ofn->nFilterIndex);
    if (file.filterIndex < 1 || file.filterIndex > static_cast<int>(file.filters.size())) {
        file.filterIndex = 1;
    }
    file.flags = ofn->Flags;
    const LRESULT chosenFilter = RunModal(request);
    if (chosenFilter == 0) {
        return FALSE;
    }
    const std::wstring path = request->ResultText();
    if (path.empty()) {
        return FALSE;
    }
    if (path.size() + 1 > ofn->nMaxFile) {
        // As the desktop does: the first two units give the length that would be needed.
        if (ofn->nMaxFile >= 2) {
            ofn->lpstrFile[0] = static_cast<WCHAR>((path.size() + 1) & 0xFFFF);
            ofn->lpstrFile[1] = 0;
        }
        lastDialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::wmemcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    if (chosenFilter >= 1 && chosenFilter <= static_cast<LRESULT>(file.filters.size())) {
        ofn->nFilterIndex = static_cast<DWORD>(chosenFilter);
    }
    const std::size_t slash = path.find_last_of(L'/');
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of(L'.');
    ofn->nFileOffset = static_cast<WORD>(nameStart);
    ofn->nFileExtension =
        dot != std::wstring::npos && dot >= nameStart ? static_cast<WORD>(dot + 1) : 0;
    if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0) {
        const std::wstring title = path.substr(nameStart);
        const std::size_t n = std::min<std::size_t>(title.size(), ofn->nMaxFileTitle - 1);
        std::wmemcpy(ofn->lpstrFileTitle, title.c_str(), n);
        ofn->lpstrFileTitle[n] = 0;
    }
    return TRUE;
}

} // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) {
    return RunFileDialog(ofn, ModalKind::OpenFile);
}

BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn) {
    return RunFileDialog(ofn, ModalKind::SaveFile);
}

DWORD CommDlgExtendedError() {
    return lastDialogError;
}
