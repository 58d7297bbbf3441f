// Which half of a side-by-side source is which eye, and the aligned pair in eye terms. Every
// composition that cares about eyes (anaglyph, wiggle frames, the matcher, the view files)
// takes its left- and right-eye buffers from EyesOf, so the mapping lives here alone.
#pragma once

#include <cstdint>

// How a side-by-side source stores its eyes.
enum SideBySideLayout {
    LAYOUT_PARALLEL = 0, // left eye in the left half (the default)
    LAYOUT_CROSS = 1,    // right eye in the left half, as .jps files store it
};

// The two views of a source as eyes, with the alignment offset restated for them: the
// overlap rule applied to (left, right, offsetX, offsetY) pairs the same pixels as applied to
// (view A, view B) at the source's offset.
struct EyePair {
    const std::uint32_t* left;
    const std::uint32_t* right;
    int offsetX;
    int offsetY;
};

// viewA is the source's left half, viewB its right half; (offsetX, offsetY) is the offset of
// view A against view B. The mapping is its own inverse for offsets: EyesOf of an eye pair's
// offset gives back the views' offset.
EyePair EyesOf(const std::uint32_t* viewA, const std::uint32_t* viewB, int offsetX, int offsetY,
               SideBySideLayout layout);

// The layout a file's name implies: cross for ".jps" (any case), parallel otherwise.
SideBySideLayout LayoutOfFileName(const char* name);

// "parallel" or "cross"; false for anything else.
bool ParseLayoutName(const char* text, SideBySideLayout* layout);
