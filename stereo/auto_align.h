// Automatic alignment of a stereo pair: what the two eyes' views differ by besides depth
// (rotation, uniform scale, vertical shift), found from matched features, removed from the right
// eye by one resampling, and the stereo window and disparity range of the aligned pair.
//
// Window-free: plain W x H buffers of 0x00RRGGBB pixels in, a result out. Offsets are in eye
// terms: they are the overlap rule's offsetX and offsetY with the left eye in the place of view A
// and the right eye in the place of view B.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Fewer features than this agreeing on one alignment is no evidence: nothing is changed.
constexpr int AUTO_ALIGN_MIN_INLIERS = 20;
// Views smaller than this in either direction hold too little to match.
constexpr int AUTO_ALIGN_MIN_SIZE = 32;
// A pair that differs by more than this is not a stereo pair of one scene.
constexpr double AUTO_ALIGN_MAX_ROTATION_DEG = 10.0;
constexpr double AUTO_ALIGN_MIN_SCALE = 0.8;
constexpr double AUTO_ALIGN_MAX_SCALE = 1.25;
// After the window puts every feature at or behind the screen, the matcher finds the parallaxes
// only with the right eye as its reference image: the depth pass runs with this swapDepth.
constexpr int AUTO_ALIGN_SWAP_DEPTH = 1;
// Share of the inliers' raw parallaxes that must have a swapped pair's sign before it is said.
constexpr double AUTO_ALIGN_SWAPPED_SHARE = 0.95;
// The stereo window and the range come from these percentiles of the inliers' parallaxes, so a
// few mismatched features cannot move them; the range gets a margin for the scene between and
// beyond the features.
constexpr double AUTO_ALIGN_NEAR_PERCENTILE = 2.0;
constexpr double AUTO_ALIGN_FAR_PERCENTILE = 98.0;
constexpr int AUTO_ALIGN_RANGE_MARGIN = 8;
constexpr double AUTO_ALIGN_RANGE_MARGIN_SHARE = 0.1;

enum AutoAlignStatus {
    AUTO_ALIGN_OK = 0,
    AUTO_ALIGN_TOO_SMALL = 1,   // views below AUTO_ALIGN_MIN_SIZE, or null buffers
    AUTO_ALIGN_TOO_FEW = 2,     // fewer than AUTO_ALIGN_MIN_INLIERS features agree
    AUTO_ALIGN_IMPLAUSIBLE = 3, // the best fit is beyond what a stereo pair differs by
    AUTO_ALIGN_NO_MEMORY = 4,
};

// A feature seen in both eyes, in full-size pixel coordinates.
struct FeatureMatch {
    double leftX, leftY;
    double rightX, rightY;
};

// How the right eye's view differs from the left eye's besides depth: the right eye shows a
// left-eye point p at centre + scale * R(rotationDeg) * (p - centre) + (parallax, shiftY), where R
// turns clockwise on screen (image coordinates, y pointing down), centre is the view's centre and
// the parallax differs from feature to feature.
struct EyeDifference {
    double rotationDeg = 0;
    double scale = 1;
    double shiftY = 0;
};

struct AutoAlignResult {
    int status = AUTO_ALIGN_TOO_FEW;
    int features = 0; // features detected in the left eye
    int matches = 0;  // after the ratio test and the cross check
    int inliers = 0;  // matches that agree with the fit
    EyeDifference difference;
    double residualRms = 0; // the inliers' vertical error after the fit, full-size pixels
    // The resampling of the right eye: a right-eye point q lands at centre + m * (q - centre)
    // + (0, subShiftY), m = {{m00, m01}, {m10, m11}}.
    double m00 = 1, m01 = 0, m10 = 0, m11 = 1;
    double subShiftY = 0;
    bool resample = false; // false: the right eye is already turned and scaled right
    int offsetX = 0;       // the stereo window: the nearest features at zero parallax
    int offsetY = 0;       // the vertical shift left after the resampling
    int maxDisparity = 1;  // the aligned pair's parallax range plus margin, within the matcher's
    bool rangeClamped = false; // the range did not fit the matcher's limits
    bool looksSwapped = false; // almost all raw parallaxes have a swapped pair's sign
};

// Parallax of the aligned pair's features: where the right eye shows a feature minus where the
// left eye does, positive behind the screen. The window offset puts the near percentile at zero,
// the range covers up to the far percentile plus the margin, clamped to 1 ...
// MaxDisparityLimit of the overlap. parallaxes is the raw pair's (offsetX 0); it is reordered.
struct StereoWindow {
    int offsetX;
    int maxDisparity;
    bool clamped;
};
StereoWindow ChooseStereoWindow(std::vector<double>& parallaxes, int W);

// The fit of the right eye to the left from matches: rotation, uniform scale and vertical shift
// by a robust (RANSAC) fit of the vertical coordinates alone, then least squares on the inliers.
// Fills result but for features; returns result->status.
int FitEyeDifference(const std::vector<FeatureMatch>& matches, int W, int H, double inlierThreshold,
                     AutoAlignResult* result);

// Finds the alignment of the pair without changing it. Returns result->status.
int EstimateAutoAlignment(const std::uint32_t* leftEye, const std::uint32_t* rightEye, int W, int H,
                          AutoAlignResult* result);

// Resamples the right eye (bicubic: bilinear blurs the edges the matcher needs) by result's turn, scale and sub-pixel shift, into out (W x H,
// may not be rightEye). Pixels that come from outside the right eye are black.
void ResampleRightEye(const std::uint32_t* rightEye, int W, int H, const AutoAlignResult& result,
                      std::uint32_t* out);

// Estimate, then replace the right eye by its resampling when it needs one. On any status but
// AUTO_ALIGN_OK the right eye is untouched.
int AutoAlign(const std::uint32_t* leftEye, std::uint32_t* rightEye, int W, int H,
              AutoAlignResult* result);

// One line for batch mode: the values applied, or why nothing changed.
void AutoAlignSummary(const AutoAlignResult& result, char* text, std::size_t size);
// The same within the main window's status field: when the halves look swapped, the warning
// takes the place of the turn, scale and count.
void AutoAlignStatusText(const AutoAlignResult& result, char* text, std::size_t size);
