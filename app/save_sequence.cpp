// The Save button's sequence. The side-by-side pair is written from a plain buffer rather than
// through image window 6; the file is the same.
#include "app/save_sequence.h"

#include "app/estimate_depth.h"
#include "app/image_files_cv.h"
#include "app/previews.h"
#include "app/save_results.h"
#include "runtime/qivlib.h"

namespace {

char baseName[BASE_NAME_SIZE] = "";

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
    ImageWriter writer = {WriteColourFileCv, WriteGreyPng};
    SaveNames names = MakeSaveNames("", baseName);
    // The pair keeps the source's arrangement of its halves.
    int saved =
        SaveAdjustedPair(H, bufferA, bufferB, W, offsetX, offsetY, names.adjusted.c_str(), writer);
    if (saved == SAVE_NO_OVERLAP) {
        QIV_SetStatus("Nothing to save");
        return;
    }
    EstimateDepthAndSave(offsetX, offsetY, baseName, saved == SAVE_OK);
}
