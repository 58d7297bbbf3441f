// Automatic alignment: ORB features matched between the eyes, a robust fit of the vertical
// coordinates, one resampling of the right eye, and the window and range from the parallaxes.
#include "stereo/auto_align.h"

#include "stereo/stereo_parameters.h"
#include "stereo/thread_split.h"

#include <opencv2/core.hpp>
#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <random>
#include <system_error>

namespace {

// Features are found on a copy no larger than this: a 3000 x 2000 photo gives as many good
// features at 1280 pixels, at a fifth of the cost, and the fit averages out the coarser grid.
constexpr int DETECTION_SIZE = 1280;
constexpr int ORB_FEATURES = 4000;
constexpr int ORB_FAST_THRESHOLD = 12;
constexpr float RATIO_TEST = 0.8f;
// Vertical distance, in pixels of the detection copy, within which a match agrees with a fit.
constexpr double INLIER_THRESHOLD = 1.5;
constexpr int RANSAC_ITERATIONS = 2000;
constexpr double RANSAC_CONFIDENCE = 0.999;
constexpr double PI = 3.14159265358979323846;
// Closer to identity than this the resampling would move no pixel by a tenth of a pixel.
constexpr double NO_TURN_RAD = 5e-5;
constexpr double NO_SCALE = 5e-5;
constexpr double NO_SUBSHIFT = 0.05;

struct VerticalModel {
    double a, b, e; // yL - cy = a (xR - cx) + b (yR - cy) + e
};

double Residual(const VerticalModel& m, const FeatureMatch& f, double cx, double cy) {
    return f.leftY - cy - (m.a * (f.rightX - cx) + m.b * (f.rightY - cy) + m.e);
}

// Least squares of the vertical model over the chosen matches; false when they are degenerate
// (all on one line).
bool SolveVertical(const std::vector<FeatureMatch>& matches, const std::vector<int>& chosen,
                   double cx, double cy, VerticalModel* model) {
    cv::Matx33d normal = cv::Matx33d::zeros();
    cv::Vec3d rhs(0, 0, 0);
    for (int i : chosen) {
        const FeatureMatch& f = matches[static_cast<std::size_t>(i)];
        const cv::Vec3d row(f.rightX - cx, f.rightY - cy, 1.0);
        normal += row * row.t();
        rhs += row * (f.leftY - cy);
    }
    cv::Vec3d x;
    if (std::abs(cv::determinant(normal)) < 1e-9 || !cv::solve(normal, rhs, x, cv::DECOMP_LU)) {
        return false;
    }
    *model = {x[0], x[1], x[2]};
    return true;
}

std::vector<int> Inliers(const std::vector<FeatureMatch>& matches, const VerticalModel& m,
                         double cx, double cy, double threshold) {
    std::vector<int> inliers;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (std::abs(Residual(m, matches[i], cx, cy)) < threshold) {
            inliers.push_back(static_cast<int>(i));
        }
    }
    return inliers;
}

// RANSAC over three-match samples, then least squares on the consensus until it settles.
bool RobustVerticalFit(const std::vector<FeatureMatch>& matches, double cx, double cy,
                       double threshold, VerticalModel* model, std::vector<int>* inliers) {
    const int n = static_cast<int>(matches.size());
    if (n < 3) {
        return false;
    }
    std::mt19937 random(12345); // the same pair always gives the same result
    std::uniform_int_distribution<int> pick(0, n - 1);
    std::vector<int> best;
    int iterations = RANSAC_ITERATIONS;
    for (int it = 0; it < iterations; ++it) {
        std::vector<int> sample = {pick(random), pick(random), pick(random)};
        if (sample[0] == sample[1] || sample[1] == sample[2] || sample[0] == sample[2]) {
            continue;
        }
        VerticalModel m;
        if (!SolveVertical(matches, sample, cx, cy, &m)) {
            continue;
        }
        std::vector<int> consensus = Inliers(matches, m, cx, cy, threshold);
        if (consensus.size() > best.size()) {
            best = std::move(consensus);
            const double share = static_cast<double>(best.size()) / n;
            const double miss = 1.0 - share * share * share;
            if (miss <= 1e-12) {
                break;
            }
            const double needed = std::log(1.0 - RANSAC_CONFIDENCE) / std::log(miss);
            iterations = std::min(iterations, static_cast<int>(std::ceil(needed)) + it + 1);
        }
    }
    if (best.size() < 3 || !SolveVertical(matches, best, cx, cy, model)) {
        return false;
    }
    for (int round = 0; round < 3; ++round) {
        std::vector<int> refined = Inliers(matches, *model, cx, cy, threshold);
        if (refined.size() < 3 || !SolveVertical(matches, refined, cx, cy, model)) {
            break;
        }
        if (refined == best) {
            break;
        }
        best = std::move(refined);
    }
    *inliers = Inliers(matches, *model, cx, cy, threshold);
    return true;
}

double Percentile(std::vector<double>& values, double percent) {
    const double rank = percent / 100.0 * static_cast<double>(values.size() - 1);
    const auto k = static_cast<std::size_t>(std::lround(rank));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

cv::Mat DetectionGrey(const std::uint32_t* pixels, int W, int H, double factor) {
    const cv::Mat bgra(H, W, CV_8UC4, const_cast<std::uint32_t*>(pixels));
    cv::Mat grey;
    cv::cvtColor(bgra, grey, cv::COLOR_BGRA2GRAY);
    if (factor > 1.0) {
        cv::Mat small;
        const cv::Size size(std::max(1, static_cast<int>(std::lround(W / factor))),
                            std::max(1, static_cast<int>(std::lround(H / factor))));
        cv::resize(grey, small, size, 0, 0, cv::INTER_AREA);
        return small;
    }
    return grey;
}

// For each descriptor of one set (rows of 32 bytes), the nearest and second-nearest of the other
// set by Hamming distance, ties to the lower index; and for each of the other set its nearest of
// the first. One pass over all pairs, split by rows of the first set over the worker threads.
struct NearestMatches {
    std::vector<int> best, bestDistance, secondDistance; // per left descriptor
    std::vector<int> backBest;                           // per right descriptor
};

[[gnu::always_inline]] inline int Hamming(const std::uint64_t* a, const std::uint64_t* b) {
    return __builtin_popcountll(a[0] ^ b[0]) + __builtin_popcountll(a[1] ^ b[1]) +
           __builtin_popcountll(a[2] ^ b[2]) + __builtin_popcountll(a[3] ^ b[3]);
}

// Rows [first, last) of the left descriptors against all right ones; backBest keeps the right
// descriptors' nearest of these rows, packed as distance << 32 | left index so that the smallest
// value is the nearest with the lowest index.
[[gnu::always_inline]] inline void ScanRowsBody(const cv::Mat& left, const cv::Mat& right,
                                                int first, int last, int* best, int* bestDistance,
                                                int* secondDistance, std::uint64_t* backBest) {
    const int nr = right.rows;
    for (int i = first; i < last; ++i) {
        const auto* l = reinterpret_cast<const std::uint64_t*>(left.ptr<std::uint8_t>(i));
        int nearest = -1, d1 = INT_MAX, d2 = INT_MAX;
        for (int j = 0; j < nr; ++j) {
            const int d =
                Hamming(l, reinterpret_cast<const std::uint64_t*>(right.ptr<std::uint8_t>(j)));
            if (d < d1) {
                d2 = d1;
                d1 = d;
                nearest = j;
            } else if (d < d2) {
                d2 = d;
            }
            backBest[j] = std::min(backBest[j], std::uint64_t(d) << 32 | std::uint32_t(i));
        }
        best[i] = nearest;
        bestDistance[i] = d1;
        secondDistance[i] = d2;
    }
}

void ScanRowsPortable(const cv::Mat& left, const cv::Mat& right, int first, int last, int* best,
                      int* bestDistance, int* secondDistance, std::uint64_t* backBest) {
    ScanRowsBody(left, right, first, last, best, bestDistance, secondDistance, backBest);
}

// Built for the popcount instruction where the processor has it: without, each distance is four
// library calls. Chosen at run time by a plain test rather than an ifunc, whose resolver would
// run before the sanitizers' run-times are ready.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("popcnt")]] void ScanRowsPopcount(const cv::Mat& left, const cv::Mat& right,
                                                int first, int last, int* best, int* bestDistance,
                                                int* secondDistance, std::uint64_t* backBest) {
    ScanRowsBody(left, right, first, last, best, bestDistance, secondDistance, backBest);
}
#endif

void ScanRows(const cv::Mat& left, const cv::Mat& right, int first, int last, int* best,
              int* bestDistance, int* secondDistance, std::uint64_t* backBest) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool popcount = __builtin_cpu_supports("popcnt");
    if (popcount) {
        ScanRowsPopcount(left, right, first, last, best, bestDistance, secondDistance, backBest);
        return;
    }
#endif
    ScanRowsPortable(left, right, first, last, best, bestDistance, secondDistance, backBest);
}

// The work of one call goes to this thread and one more; a second thread that cannot be had is
// reported like memory that cannot be had.
template <typename Work>
void OnTwoThreads(int count, const Work& work) {
    stereo::ForEachTask(2, count, stereo::ThreadShortage::FAIL, work);
}

NearestMatches FindNearest(const cv::Mat& left, const cv::Mat& right) {
    const int nl = left.rows, nr = right.rows;
    NearestMatches m;
    m.best.assign(static_cast<std::size_t>(nl), -1);
    m.bestDistance.assign(static_cast<std::size_t>(nl), INT_MAX);
    m.secondDistance.assign(static_cast<std::size_t>(nl), INT_MAX);
    constexpr int BLOCKS = 8; // each with its own nearest of the right descriptors, merged after
    std::vector<std::uint64_t> back(static_cast<std::size_t>(BLOCKS) * nr, UINT64_MAX);
    OnTwoThreads(BLOCKS, [&](int b) {
        ScanRows(left, right, nl * b / BLOCKS, nl * (b + 1) / BLOCKS, m.best.data(),
                 m.bestDistance.data(), m.secondDistance.data(),
                 back.data() + static_cast<std::size_t>(b) * nr);
    });
    m.backBest.assign(static_cast<std::size_t>(nr), -1);
    for (int j = 0; j < nr; ++j) {
        std::uint64_t nearest = UINT64_MAX;
        for (int b = 0; b < BLOCKS; ++b) {
            nearest = std::min(nearest, back[static_cast<std::size_t>(b) * nr + j]);
        }
        m.backBest[static_cast<std::size_t>(j)] =
            nearest == UINT64_MAX ? -1 : static_cast<int>(nearest & 0xFFFFFFFFu);
    }
    return m;
}

struct Features {
    std::vector<cv::KeyPoint> keys;
    cv::Mat descriptors;
};

// Matches that pass the ratio test and are each other's best match both ways, in full-size
// coordinates.
std::vector<FeatureMatch> MatchFeatures(const Features& left, const Features& right,
                                        double factor) {
    std::vector<FeatureMatch> matches;
    if (left.keys.size() < 2 || right.keys.size() < 2) {
        return matches;
    }
    // ORB's descriptors: 32 bytes, read as four 64-bit words.
    for (const cv::Mat* d : {&left.descriptors, &right.descriptors}) {
        if (d->type() != CV_8UC1 || d->cols != 32 || !d->isContinuous()) {
            return matches;
        }
    }
    const NearestMatches nearest = FindNearest(left.descriptors, right.descriptors);
    // Keypoint positions are pixel centres of the copy; scale them to the full-size views.
    const auto full = [factor](float v) { return (static_cast<double>(v) + 0.5) * factor - 0.5; };
    for (std::size_t i = 0; i < left.keys.size(); ++i) {
        const int j = nearest.best[i];
        if (j < 0 || nearest.bestDistance[i] >= RATIO_TEST * nearest.secondDistance[i] ||
            nearest.backBest[static_cast<std::size_t>(j)] != static_cast<int>(i)) {
            continue;
        }
        const cv::Point2f& l = left.keys[i].pt;
        const cv::Point2f& r = right.keys[static_cast<std::size_t>(j)].pt;
        matches.push_back({full(l.x), full(l.y), full(r.x), full(r.y)});
    }
    return matches;
}

int Estimate(const std::uint32_t* leftEye, const std::uint32_t* rightEye, int W, int H,
             AutoAlignResult* result) {
    const double factor = std::max(1.0, static_cast<double>(std::max(W, H)) / DETECTION_SIZE);
    // The two eyes' copies and features are independent: one eye per worker thread.
    Features features[2];
    OnTwoThreads(2, [&](int e) {
        const cv::Mat grey = DetectionGrey(e == 0 ? leftEye : rightEye, W, H, factor);
        cv::Ptr<cv::ORB> orb = cv::ORB::create(ORB_FEATURES, 1.2f, 8, 31, 0, 2,
                                               cv::ORB::HARRIS_SCORE, 31, ORB_FAST_THRESHOLD);
        orb->detectAndCompute(grey, cv::noArray(), features[e].keys, features[e].descriptors);
    });
    const std::vector<FeatureMatch> matches = MatchFeatures(features[0], features[1], factor);
    const int status = FitEyeDifference(matches, W, H, INLIER_THRESHOLD * factor, result);
    result->features = static_cast<int>(features[0].keys.size());
    return status;
}

} // namespace

StereoWindow ChooseStereoWindow(std::vector<double>& parallaxes, int W) {
    if (parallaxes.empty()) {
        return {0, 1, true};
    }
    const double nearest = Percentile(parallaxes, AUTO_ALIGN_NEAR_PERCENTILE);
    const double farthest = Percentile(parallaxes, AUTO_ALIGN_FAR_PERCENTILE);
    // Rounded so that the nearest features end at or just behind the screen, never in front.
    const int offsetX = static_cast<int>(std::ceil(-nearest - 1e-9));
    const double depth = std::max(0.0, farthest + offsetX);
    const double margin = std::max(static_cast<double>(AUTO_ALIGN_RANGE_MARGIN),
                                   depth * AUTO_ALIGN_RANGE_MARGIN_SHARE);
    const int wanted = static_cast<int>(std::ceil(depth + margin));
    const int limit = MaxDisparityLimit(W - std::abs(offsetX));
    const int range = std::clamp(wanted, 1, std::max(1, limit));
    return {offsetX, range, range != wanted};
}

int FitEyeDifference(const std::vector<FeatureMatch>& matches, int W, int H, double inlierThreshold,
                     AutoAlignResult* result) {
    AutoAlignResult r;
    r.matches = static_cast<int>(matches.size());
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
    VerticalModel model{};
    std::vector<int> inliers;
    if (!RobustVerticalFit(matches, cx, cy, inlierThreshold, &model, &inliers) ||
        static_cast<int>(inliers.size()) < AUTO_ALIGN_MIN_INLIERS) {
        r.inliers = static_cast<int>(inliers.size());
        r.status = AUTO_ALIGN_TOO_FEW;
        *result = r;
        return r.status;
    }
    r.inliers = static_cast<int>(inliers.size());
    double squares = 0;
    for (int i : inliers) {
        const double e = Residual(model, matches[static_cast<std::size_t>(i)], cx, cy);
        squares += e * e;
    }
    r.residualRms = std::sqrt(squares / r.inliers);

    // The fit maps the right eye onto the left: m = s' R(turn'), the inverse of the difference.
    const double fitScale = std::hypot(model.a, model.b);
    const double fitTurn = std::atan2(model.a, model.b);
    r.difference.rotationDeg = -fitTurn * 180.0 / PI;
    r.difference.scale = fitScale > 0 ? 1.0 / fitScale : 0;
    r.difference.shiftY = -model.e * r.difference.scale / std::cos(fitTurn);
    r.m00 = model.b;
    r.m01 = -model.a;
    r.m10 = model.a;
    r.m11 = model.b;
    if (std::abs(r.difference.rotationDeg) > AUTO_ALIGN_MAX_ROTATION_DEG ||
        r.difference.scale < AUTO_ALIGN_MIN_SCALE || r.difference.scale > AUTO_ALIGN_MAX_SCALE ||
        std::abs(model.e) > H / 4.0) {
        r.status = AUTO_ALIGN_IMPLAUSIBLE;
        *result = r;
        return r.status;
    }
    r.offsetY = static_cast<int>(std::lround(model.e));
    r.subShiftY = model.e - r.offsetY;
    r.resample = std::abs(fitTurn) > NO_TURN_RAD || std::abs(fitScale - 1.0) > NO_SCALE ||
                 std::abs(r.subShiftY) > NO_SUBSHIFT;
    if (!r.resample) {
        r.subShiftY = 0;
    }

    // Parallax of each inlier once the right eye is resampled, before any window offset.
    std::vector<double> parallaxes;
    parallaxes.reserve(inliers.size());
    int swappedSign = 0;
    for (int i : inliers) {
        const FeatureMatch& f = matches[static_cast<std::size_t>(i)];
        const double rightX =
            r.resample ? cx + r.m00 * (f.rightX - cx) + r.m01 * (f.rightY - cy) : f.rightX;
        const double parallax = rightX - f.leftX;
        parallaxes.push_back(parallax);
        // Cameras side by side see every point with the left eye's image right of the right
        // eye's: a pair whose parallaxes are almost all the other way round was put together
        // the other way round.
        if (parallax > 0.5) {
            ++swappedSign;
        }
    }
    r.looksSwapped = swappedSign >= AUTO_ALIGN_SWAPPED_SHARE * r.inliers;
    const StereoWindow window = ChooseStereoWindow(parallaxes, W);
    if (W - std::abs(window.offsetX) < 3) {
        r.status = AUTO_ALIGN_IMPLAUSIBLE;
        *result = r;
        return r.status;
    }
    r.offsetX = window.offsetX;
    r.maxDisparity = window.maxDisparity;
    r.rangeClamped = window.clamped;
    r.status = AUTO_ALIGN_OK;
    *result = r;
    return r.status;
}

int EstimateAutoAlignment(const std::uint32_t* leftEye, const std::uint32_t* rightEye, int W, int H,
                          AutoAlignResult* result) {
    *result = {};
    if (!leftEye || !rightEye || W < AUTO_ALIGN_MIN_SIZE || H < AUTO_ALIGN_MIN_SIZE) {
        result->status = AUTO_ALIGN_TOO_SMALL;
        return result->status;
    }
    try {
        return Estimate(leftEye, rightEye, W, H, result);
    } catch (const cv::Exception&) {
    } catch (const std::bad_alloc&) {
    } catch (const std::system_error&) { // no second thread to be had
    }
    *result = {};
    result->status = AUTO_ALIGN_NO_MEMORY;
    return result->status;
}

void ResampleRightEye(const std::uint32_t* rightEye, int W, int H, const AutoAlignResult& result,
                      std::uint32_t* out) {
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
    // Forward map of right-eye points: q -> centre + m (q - centre) + (0, subShiftY).
    const cv::Matx23d forward(result.m00, result.m01, cx - result.m00 * cx - result.m01 * cy,
                              result.m10, result.m11,
                              cy + result.subShiftY - result.m10 * cx - result.m11 * cy);
    const cv::Mat src(H, W, CV_8UC4, const_cast<std::uint32_t*>(rightEye));
    cv::Mat dst(H, W, CV_8UC4, out);
    cv::warpAffine(src, dst, forward, dst.size(), cv::INTER_CUBIC, cv::BORDER_CONSTANT,
                   cv::Scalar::all(0));
}

int AutoAlign(const std::uint32_t* leftEye, std::uint32_t* rightEye, int W, int H,
              AutoAlignResult* result) {
    if (EstimateAutoAlignment(leftEye, rightEye, W, H, result) != AUTO_ALIGN_OK ||
        !result->resample) {
        return result->status;
    }
    try {
        // Every pixel is written by the resampling: no need to clear the buffer first.
        const std::size_t pixels = static_cast<std::size_t>(W) * static_cast<std::size_t>(H);
        const std::unique_ptr<std::uint32_t[]> resampled(new std::uint32_t[pixels]);
        ResampleRightEye(rightEye, W, H, *result, resampled.get());
        std::copy(resampled.get(), resampled.get() + pixels, rightEye);
    } catch (const cv::Exception&) {
        result->status = AUTO_ALIGN_NO_MEMORY;
    } catch (const std::bad_alloc&) {
        result->status = AUTO_ALIGN_NO_MEMORY;
    }
    return result->status;
}

namespace {

// The values applied, short enough for the main window's status field (63 bytes) in all but
// extreme cases.
int FormatValues(const AutoAlignResult& r, char* text, std::size_t size) {
    return std::snprintf(text, size,
                         "auto: %.2f\u00b0 \u00d7%.3f dy %d window %d range %d%s %d inliers",
                         r.difference.rotationDeg, r.difference.scale, r.offsetY, r.offsetX,
                         r.maxDisparity, r.rangeClamped ? " (max)" : "", r.inliers);
}

} // namespace

void AutoAlignSummary(const AutoAlignResult& r, char* text, std::size_t size) {
    if (size == 0) {
        return;
    }
    switch (r.status) {
    case AUTO_ALIGN_OK: {
        const int n = std::max(0, FormatValues(r, text, size));
        if (static_cast<std::size_t>(n) < size) {
            std::snprintf(text + n, size - static_cast<std::size_t>(n), ", swap_depth %d%s",
                          AUTO_ALIGN_SWAP_DEPTH,
                          r.looksSwapped ? "; halves look swapped: cross layout?" : "");
        }
        break;
    }
    case AUTO_ALIGN_TOO_SMALL:
        std::snprintf(text, size, "auto: views too small (at least %d x %d); nothing changed",
                      AUTO_ALIGN_MIN_SIZE, AUTO_ALIGN_MIN_SIZE);
        break;
    case AUTO_ALIGN_TOO_FEW:
        std::snprintf(text, size, "auto: %d of %d matches agree, %d needed; nothing changed",
                      r.inliers, r.matches, AUTO_ALIGN_MIN_INLIERS);
        break;
    case AUTO_ALIGN_IMPLAUSIBLE:
        std::snprintf(text, size,
                      "auto: not a stereo pair (%.1f\u00b0 \u00d7%.2f); nothing changed",
                      r.difference.rotationDeg, r.difference.scale);
        break;
    default:
        std::snprintf(text, size, "auto: not enough memory; nothing changed");
        break;
    }
}

void AutoAlignStatusText(const AutoAlignResult& r, char* text, std::size_t size) {
    if (r.status == AUTO_ALIGN_OK && r.looksSwapped && size > 0) {
        // The warning matters more than the turn and scale, which a swap does not change.
        std::snprintf(text, size, "auto: halves look swapped: cross layout? dy %d window %d",
                      r.offsetY, r.offsetX);
    } else if (r.status == AUTO_ALIGN_OK && size > 0) {
        FormatValues(r, text, size);
    } else {
        AutoAlignSummary(r, text, size);
    }
}
