// One depth pass: overlaps, OpenCV colour and grey images, the stereo call.
#include "stereo/depth_pass.h"

#include "stereo/stereo_matcher.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc/imgproc_c.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// The workspace's image of that size and channel count, created when it has none or another.
IplImage* Reuse(IplImageHandle& image, CvSize size, int channels) {
    if (!image || image->width != size.width || image->height != size.height ||
        image->nChannels != channels) {
        image.reset();
        image.reset(cvCreateImage(size, IPL_DEPTH_8U, channels));
    }
    return image.get();
}

std::size_t Bytes(const IplImage* image) {
    return image->imageSize > 0 ? static_cast<std::size_t>(image->imageSize) : 0;
}

bool Cancelled(const DepthInput& input) {
    return input.cancel != nullptr && input.cancel->load();
}

// Colour images, grey images and the stereo call on the overlap buffers already in pass.
template <typename Stereo>
int Match(const DepthInput& input, const Stereo& stereo, DepthPass* pass) {
    const Overlap& o = pass->overlap;
    DepthWorkspace& w = pass->workspace;
    IplImage* scratch = Reuse(w.scratch, cvSize(input.W, input.H), 3);
    IplImage* colour1 = Reuse(w.colour1, cvSize(o.cols, o.rows), 3);
    IplImage* colour2 = Reuse(w.colour2, cvGetSize(colour1), 3);
    // Each step on a camera-size pair takes tens of milliseconds: the flag is looked at between.
    if (Cancelled(input)) {
        return DEPTH_CANCELLED;
    }
    if (FillColourImage(pass->left.data(), input.W, input.H, scratch, colour1) != 0) {
        return DEPTH_NO_MEMORY;
    }
    if (Cancelled(input)) {
        return DEPTH_CANCELLED;
    }
    if (FillColourImage(pass->right.data(), input.W, input.H, scratch, colour2) != 0) {
        return DEPTH_NO_MEMORY;
    }
    IplImage* grey1 = Reuse(w.grey1, cvGetSize(colour1), 1);
    IplImage* grey2 = Reuse(w.grey2, cvGetSize(colour2), 1);
    IplImage* depth = Reuse(w.depth, cvGetSize(colour2), 1);
    cvCvtColor(colour1, grey1, CV_BGR2GRAY);
    cvCvtColor(colour2, grey2, CV_BGR2GRAY);

    if (Cancelled(input)) {
        return DEPTH_CANCELLED;
    }
    pass->stereoResult = stereo(grey1, grey2, depth);
    if (pass->stereoResult != 0) {
        // A result forced by the flag is no fault of the pair or parameters.
        return Cancelled(input) ? DEPTH_CANCELLED : DEPTH_STEREO_FAILED;
    }
    // The map leaves OpenCV's padded rows for unpadded ones, so that callers need no OpenCV.
    pass->map.resize(static_cast<std::size_t>(o.cols) * static_cast<std::size_t>(o.rows));
    for (int y = 0; y < o.rows; ++y) {
        const char* row = depth->imageData + static_cast<std::size_t>(y) * depth->widthStep;
        std::memcpy(pass->map.data() + static_cast<std::size_t>(y) * o.cols, row,
                    static_cast<std::size_t>(o.cols));
    }
    return DEPTH_DONE;
}

// The matcher's refusals that can reach a pass, in a few words.
const char* StereoFailureText(int result) {
    switch (result) {
    case STEREO_ERR_PARAMETER:
        return "Param out of range";
    case STEREO_ERR_MEMORY:
        return "Out of memory";
    case STEREO_ERR_MAX_DISPARITY:
        return "Bad maxDisparity";
    case STEREO_ERR_TOO_SMALL:
        return "Views too small";
    default:
        return "Matcher refused";
    }
}

} // namespace

const std::uint32_t* AlignedLeftEye(const DepthPass& pass) {
    const std::vector<std::uint32_t>& buffer = pass.swapDepth ? pass.right : pass.left;
    return buffer.empty() ? nullptr : buffer.data();
}

const std::uint32_t* AlignedRightEye(const DepthPass& pass) {
    const std::vector<std::uint32_t>& buffer = pass.swapDepth ? pass.left : pass.right;
    return buffer.empty() ? nullptr : buffer.data();
}

int FillColourImage(const std::uint32_t* window, int W, int H, IplImage* scratch,
                    IplImage* colour) {
    const std::size_t pixels = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
    const std::size_t rowBytes = static_cast<std::size_t>(colour->width) * 3;
    if (W <= 0 || H <= 0 || Bytes(scratch) < pixels * 3 || colour->nChannels != 3 ||
        colour->width > W || colour->height > H ||
        static_cast<std::size_t>(colour->widthStep) < rowBytes) {
        return 1;
    }
    // Rows below the colour image's are never copied out of the scratch image, so they are not
    // packed either.
    const std::size_t packedPixels = static_cast<std::size_t>(W) * colour->height;
    auto* packed = reinterpret_cast<std::uint8_t*>(scratch->imageData);
    for (std::size_t i = 0; i < packedPixels; ++i) {
        const std::uint32_t pixel = window[i];
        packed[3 * i] = static_cast<std::uint8_t>(pixel);
        packed[3 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        packed[3 * i + 2] = static_cast<std::uint8_t>(pixel >> 16);
    }
    // Only the pixel bytes of each row are taken from the scratch image: the bytes beyond them
    // would be the next row's pixels, or past the packed data on the last row.
    const std::size_t step = static_cast<std::size_t>(colour->widthStep);
    for (int r = 0; r < colour->height; ++r) {
        auto* to = reinterpret_cast<std::uint8_t*>(colour->imageData) + r * step;
        std::memcpy(to, packed + static_cast<std::size_t>(r) * 3 * W, rowBytes);
        std::memset(to + rowBytes, 0, step - rowBytes);
    }
    return 0;
}

namespace {

template <typename Stereo>
int Run(const DepthInput& input, bool haveStereo, const Stereo& stereo, DepthPass* pass) {
    // The buffers keep their capacity, so a caller that reuses its DepthPass saves the
    // allocation and page faults of two W x H buffers per pass.
    pass->status = DEPTH_NO_OVERLAP;
    pass->stereoResult = 0;
    pass->left.clear();
    pass->right.clear();
    pass->map.clear();
    pass->W = input.W;
    pass->H = input.H;
    pass->swapDepth = input.swapDepth != 0 ? 1 : 0;
    pass->maxDisparity = input.parameters.maxDisparity;
    pass->overlap = ComputeOverlap(input.W, input.H, input.offsetX, input.offsetY);
    const Overlap& o = pass->overlap;
    if (input.leftEye == nullptr || input.rightEye == nullptr || IsEmptyOverlap(o)) {
        pass->status = DEPTH_NO_OVERLAP;
        return pass->status;
    }
    try {
        const std::size_t pixels =
            static_cast<std::size_t>(input.W) * static_cast<std::size_t>(input.H);
        pass->left.assign(pixels, 0);
        pass->right.assign(pixels, 0);
        const auto stride = static_cast<std::size_t>(input.W);
        std::uint32_t* toLeft = pass->swapDepth ? pass->right.data() : pass->left.data();
        std::uint32_t* toRight = pass->swapDepth ? pass->left.data() : pass->right.data();
        CopyOverlap(input.leftEye, input.W, o.ax, o.ay, o, toLeft, stride);
        CopyOverlap(input.rightEye, input.W, o.bx, o.by, o, toRight, stride);

        const int maxDisparity = input.parameters.maxDisparity;
        if (o.cols < 3) {
            pass->status = DEPTH_TOO_NARROW;
        } else if (maxDisparity < 1 || maxDisparity > MaxDisparityLimit(o.cols)) {
            pass->status = DEPTH_BAD_MAX_DISPARITY;
        } else if (!haveStereo) {
            pass->status = DEPTH_STEREO_FAILED;
        } else {
            pass->status = Match(input, stereo, pass);
        }
    } catch (const std::bad_alloc&) {
        pass->status = DEPTH_NO_MEMORY;
    } catch (const cv::Exception&) {
        // cvCreateImage reports an allocation failure or a size overflow by raising.
        pass->status = DEPTH_NO_MEMORY;
    }
    if (pass->status == DEPTH_NO_MEMORY) {
        pass->left = {};
        pass->right = {};
        pass->map = {};
        pass->workspace = {};
    }
    return pass->status;
}

} // namespace

int RunDepthPass(const DepthInput& input, StereoFunction stereo, DepthPass* pass) {
    const StereoParameters& p = input.parameters;
    return Run(
        input, stereo != nullptr,
        [&](IplImage* left, IplImage* right, IplImage* depth) {
            return stereo(left, right, STEREO_MODE_BIRCHFIELD, depth, p.maxDisparity, p.param[0],
                          p.param[1], p.param[2], p.param[3], p.param[4]);
        },
        pass);
}

int RunDepthPass(const DepthInput& input, CancellableStereoFunction stereo, DepthPass* pass) {
    const StereoParameters& p = input.parameters;
    return Run(
        input, stereo != nullptr,
        [&](IplImage* left, IplImage* right, IplImage* depth) {
            return stereo(left, right, STEREO_MODE_BIRCHFIELD, depth, p.maxDisparity, p.param[0],
                          p.param[1], p.param[2], p.param[3], p.param[4], input.cancel);
        },
        pass);
}

void DepthStatusText(const DepthPass& pass, char* text, std::size_t size) {
    if (size == 0) {
        return;
    }
    // Short enough for the main window's status line, which centres its text with spaces.
    const Overlap& o = pass.overlap;
    switch (pass.status) {
    case DEPTH_DONE:
        text[0] = '\0';
        break;
    case DEPTH_NO_OVERLAP:
        std::snprintf(text, size, "Views don't overlap");
        break;
    case DEPTH_TOO_NARROW:
        std::snprintf(text, size, "Overlap too narrow");
        break;
    case DEPTH_BAD_MAX_DISPARITY:
        std::snprintf(text, size, "maxDisparity: 1-%d", MaxDisparityLimit(o.cols));
        break;
    case DEPTH_STEREO_FAILED:
        std::snprintf(text, size, "%s", StereoFailureText(pass.stereoResult));
        break;
    case DEPTH_CANCELLED:
        std::snprintf(text, size, "Depth pass called off");
        break;
    default:
        std::snprintf(text, size, "Out of memory");
        break;
    }
}
