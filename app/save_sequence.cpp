// The Save button's sequence. The side-by-side pair is written from a plain buffer rather than
// through image window 6; the file is the same.
#include "app/save_sequence.h"

#include "app/estimate_depth.h"
#include "runtime/qivlib.h"
#include "stereo/photo_files.h"
#include "stereo/previews.h"
#include "stereo/save_results.h"

#include <cstdio>
#include <string>

namespace {

char baseName[BASE_NAME_SIZE] = "";
SaveNames lastNames;

void KeepBaseName() {
    const std::string base = CountedBase(lastNames);
    std::snprintf(baseName, sizeof baseName, "%s", base.c_str());
}

} // namespace

const char* SaveBaseName() {
    return baseName;
}

void SaveSequence(int W, int H, const std::uint32_t* bufferA, const std::uint32_t* bufferB,
                  std::uint32_t* preview, int offsetX, int offsetY, SideBySideLayout layout) {
    CurrentBaseName(baseName, sizeof baseName);
    if (preview) {
        const EyePair eyes = EyesOf(bufferA, bufferB, offsetX, offsetY, layout);
        MakeAnaglyph(W, H, eyes.left, eyes.right, preview, eyes.offsetX, eyes.offsetY);
        QIV_UpdateImage(3);
    }
    lastNames = MakeSaveNames("", baseName);
    std::string reason;
    const int saved = WriteUnderFreeName(&lastNames, &SaveNames::adjusted, [&](const char* path) {
        const int result = SaveAdjustedPair(H, bufferA, bufferB, W, offsetX, offsetY, path,
                                            PHOTO_FILE_WRITER, &reason);
        return result == SAVE_NAME_TAKEN ? IMAGE_IO_EXISTS : result;
    });
    KeepBaseName();
    if (saved == SAVE_NO_OVERLAP) {
        QIV_SetStatus("Nothing to save");
        return;
    }
    if (saved != SAVE_OK) {
        if (reason.empty()) {
            reason = saved == SAVE_NO_MEMORY ? "no memory" : "cannot write";
        }
        const std::string text = "Save failed: " + reason;
        QIV_SetStatus(text.c_str());
    }
    // The wiggle GIF and the least-squares anaglyph join the set under its base, written with
    // the view and map files off the loop.
    EstimateDepthAndSave(offsetX, offsetY, lastNames, saved == SAVE_OK, reason, saved == SAVE_OK);
}
