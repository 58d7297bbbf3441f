// Logical fonts. A font is only its LOGFONTW until text is measured or drawn with it; then
// the text backend resolves it to an installed face (text_calls.cpp).
#include "platform/gdi/gdi_objects.h"

#include <cwchar>

using platform::gdi::Font;

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
    if (!logFont) {
        return nullptr;
    }
    auto font = std::make_shared<Font>();
    font->logFont = *logFont;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return static_cast<HFONT>(platform::gdi::AddObject(std::move(font)));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) {
        std::wcsncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectW(&lf);
}
