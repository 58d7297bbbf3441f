// ChooseColorW and ChooseFontW: the structure becomes a modal request that the backend shows as
// the desktop's colour or font dialog (or the test responder answers).
#include "platform/user/modal.h"
#include "platform/win32.h"

#include <algorithm>

using namespace platform;

BOOL ChooseColorW(LPCHOOSECOLORW cc) {
    if (cc == nullptr || cc->lStructSize < sizeof(CHOOSECOLORW)) {
        return FALSE;
    }
    auto request = std::make_shared<ModalRequest>();
    request->kind = ModalKind::ChooseColor;
    request->owner = IsWindow(cc->hwndOwner) ? cc->hwndOwner : nullptr;
    request->defaultResult = 0;
    request->color.color = (cc->Flags & CC_RGBINIT) != 0 ? cc->rgbResult : 0;
    request->color.flags = cc->Flags;
    if (cc->lpCustColors != nullptr) {
        std::copy_n(cc->lpCustColors, CUSTOM_COLORS, request->color.custom);
    }
    const LRESULT chosen = RunModal(request);
    const DialogAnswer answer = request->Answer();
    if (answer.given && cc->lpCustColors != nullptr) {
        std::copy_n(answer.custom, CUSTOM_COLORS, cc->lpCustColors);
    }
    if (chosen == 0 || !answer.given) {
        return FALSE;
    }
    cc->rgbResult = answer.color & 0x00FFFFFF;
    return TRUE;
}

BOOL ChooseFontW(LPCHOOSEFONTW cf) {
    if (cf == nullptr || cf->lStructSize < sizeof(CHOOSEFONTW) || cf->lpLogFont == nullptr) {
        return FALSE;
    }
    auto request = std::make_shared<ModalRequest>();
    request->kind = ModalKind::ChooseFont;
    request->owner = IsWindow(cf->hwndOwner) ? cf->hwndOwner : nullptr;
    request->defaultResult = 0;
    if ((cf->Flags & CF_INITTOLOGFONTSTRUCT) != 0) {
        request->font.font = *cf->lpLogFont;
    }
    request->font.color = cf->rgbColors;
    request->font.flags = cf->Flags;
    const LRESULT chosen = RunModal(request);
    const DialogAnswer answer = request->Answer();
    if (chosen == 0 || !answer.given) {
        return FALSE;
    }
    *cf->lpLogFont = answer.font;
    cf->lpLogFont->lfFaceName[LF_FACESIZE - 1] = 0;
    cf->iPointSize = answer.pointSize;
    if ((cf->Flags & CF_EFFECTS) != 0) {
        cf->rgbColors = answer.color & 0x00FFFFFF;
    }
    cf->nFontType = SCREEN_FONTTYPE;
    return TRUE;
}
