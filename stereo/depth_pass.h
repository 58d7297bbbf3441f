// The data path of one depth pass: the aligned overlaps of the two views, their OpenCV colour
// and grey images, and the disparity map the stereo call returns (unscaled). The pass keeps
// its own buffers, so no window the user opened is ever written or read past its end.
#pragma once

#include "stereo/overlap.h"
#include "stereo/stereo_parameters.h"

#include <opencv2/core/core_c.h>
#include <opencv2/core/types_c.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The stereo call, with the arguments of cvFindStereoCorrespondence: left and right 8-bit grey
// images, mode, the 8-bit map to fill, maxDisparity and param1 ... param5; 0 when the map was
// computed.
using StereoFunction = int (*)(const CvArr* left, const CvArr* right, int mode, CvArr* depth,
                               int maxDisparity, double param1, double param2, double param3,
                               double param4, double param5);
// The same with a flag: once it turns true the call gives up soon, non-zero, the map untouched.
using CancellableStereoFunction = int (*)(const CvArr* left, const CvArr* right, int mode,
                                          CvArr* depth, int maxDisparity, double param1,
                                          double param2, double param3, double param4,
                                          double param5, const std::atomic<bool>* cancel);

// Mode argument of the stereo call: Birchfield-Tomasi pixel-to-pixel matching.
constexpr int STEREO_MODE_BIRCHFIELD = 0;

// What became of a pass. Only DEPTH_DONE produces a map; the skips never call OpenCV or the
// matcher.
enum DepthStatus {
    DEPTH_DONE = 0,
    DEPTH_NO_OVERLAP = 1,        // the offset leaves the views nothing in common
    DEPTH_TOO_NARROW = 2,        // the overlap is narrower than the 3 columns matching needs
    DEPTH_BAD_MAX_DISPARITY = 3, // maxDisparity outside 1 ... MaxDisparityLimit(cols)
    DEPTH_STEREO_FAILED = 4,     // the stereo call returned a non-zero result
    DEPTH_NO_MEMORY = 5,         // the working images could not be allocated
    DEPTH_CANCELLED = 6,         // called off through DepthInput::cancel: no map, no fault
};

// The pair in eye terms (EyesOf): the offset is the left eye's against the right.
struct DepthInput {
    const std::uint32_t* leftEye;  // W x H pixels 0x00RRGGBB
    const std::uint32_t* rightEye; // W x H
    int W;
    int H;
    int offsetX;
    int offsetY;
    int swapDepth; // 1: the right eye is the left image of the stereo call
    StereoParameters parameters;
    // Set by another thread to call the pass off; it is checked before and by the stereo call.
    const std::atomic<bool>* cancel = nullptr;
};

struct IplImageReleaser {
    void operator()(IplImage* image) const { cvReleaseImage(&image); }
};
using IplImageHandle = std::unique_ptr<IplImage, IplImageReleaser>;

// OpenCV's working images of a pass. They are kept from one pass to the next while their sizes
// stay the same: allocating some 10 MB afresh for every pass of a 1000 x 750 pair costs more
// in page faults than the copies themselves.
struct DepthWorkspace {
    IplImageHandle scratch; // W x H, 3 channels
    IplImageHandle colour1; // cols x rows, 3 channels
    IplImageHandle colour2;
    IplImageHandle grey1; // cols x rows, 1 channel
    IplImageHandle grey2;
    IplImageHandle depth;
};

struct DepthPass {
    int status = DEPTH_NO_OVERLAP;
    int stereoResult = 0; // the stereo call's result when status is DEPTH_STEREO_FAILED
    Overlap overlap{};
    int W = 0;
    int H = 0;
    // The left and right images of the stereo call as W x H buffers with the aligned overlap
    // in their top-left corner, the rest black; empty when there is no overlap.
    std::vector<std::uint32_t> left;
    std::vector<std::uint32_t> right;
    int swapDepth = 0;
    int maxDisparity = 0;
    // The disparity map, overlap.cols x overlap.rows bytes in unpadded rows, when DEPTH_DONE.
    std::vector<std::uint8_t> map;
    DepthWorkspace workspace;
};

// The aligned left eye's overlap in pass, in a buffer with rows of pass.W pixels. Null when
// the pass has no overlap.
const std::uint32_t* AlignedLeftEye(const DepthPass& pass);
const std::uint32_t* AlignedRightEye(const DepthPass& pass);

// Bytes in one row of an 8-bit, 3-channel OpenCV image cols pixels wide: cols x 3 rounded up
// to a multiple of 4.
constexpr std::size_t ColourRowBytes(int cols) {
    return (static_cast<std::size_t>(cols) * 3 + 3) / 4 * 4;
}

// Fills colour (an 8-bit 3-channel image of at most W x H) from the top-left corner of the
// W x H buffer window: window's pixels go into scratch (at least W x H x 3 bytes) packed as
// blue, green, red bytes, rows of exactly 3W, then each of colour's rows is copied from there.
// Row padding of colour is zeroed. 0; 1 when the images are too small for that (nothing is
// written).
int FillColourImage(const std::uint32_t* window, int W, int H, IplImage* scratch, IplImage* colour);

// Runs one pass: copies the overlaps (the left eye into the stereo call's left image unless
// swapDepth), converts them to grey through OpenCV's C
// images, and calls stereo. Returns pass->status. Reusing one DepthPass for successive passes
// reuses its buffers and working images. The overlap buffers are kept whenever the
// overlap is not empty, so the aligned views can be written even when matching was skipped.
int RunDepthPass(const DepthInput& input, StereoFunction stereo, DepthPass* pass);
// The same with a stereo call that input.cancel can end early (DEPTH_CANCELLED).
int RunDepthPass(const DepthInput& input, CancellableStereoFunction stereo, DepthPass* pass);

// A line for the main window's status line saying why a pass made no map ("" for a map).
void DepthStatusText(const DepthPass& pass, char* text, std::size_t size);
