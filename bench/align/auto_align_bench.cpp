// The automatic alignment against the generator's ground truth. Quality: 50 random perturbations
// of the right eye (turn -3 ... 3 degrees, scale 0.97 ... 1.03, shift -20 ... 20 pixels) of two
// scenes, the garden and textured planes; the share of cases recovered within 0.05 degrees,
// 0.002 and 0.5 pixels, and the matcher's share of bad pixels (off by more than 1) after the
// alignment beside the unperturbed pair's, over all pixels of known truth and over the textured
// ones. Cases worse than the unperturbed pair by more than a point on textured pixels are listed.
// Speed: the whole alignment of a 2 x 3000 x 2000 pair.
//
// The textured figure is the one that judges the alignment. In the garden's textureless sky (a
// quarter of its pixels) every disparity fits; the map there carries, in every case, the value
// propagated up from the hills below, one whole pixel off the sky's truth. Whether that counts
// as "off by more than 1" depends only on the sub-pixel part of the parallax that the
// whole-pixel window leaves (0.01 pixel tips the whole sky), so the all-pixel figure swings by
// a quarter while the map stays the same.
#include "stereo/auto_align.h"
#include "stereo/depth_pass.h"
#include "stereo/stereo_matcher.h"
#include "tests/support/stereo_pairs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

using stereo_pairs::Eyes;

constexpr int CASES = 50;

struct Perturbation {
    double degrees = 0, scale = 1, shiftY = 0;
};

// Right-eye pixels with texture around them (grey range of at least 8 over 3 x 3): elsewhere, as
// in the garden's sky, every disparity matches equally well and the matcher's answer is a guess.
std::vector<std::uint8_t> Textured(const Eyes& eyes) {
    std::vector<std::uint8_t> textured(eyes.right.size(), 0);
    for (int y = 1; y + 1 < eyes.H; ++y) {
        for (int x = 1; x + 1 < eyes.W; ++x) {
            int lo = 255, hi = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int g = static_cast<int>(
                        (eyes.right[static_cast<std::size_t>(y + dy) * eyes.W + x + dx] >> 8) &
                        0xFF);
                    lo = std::min(lo, g);
                    hi = std::max(hi, g);
                }
            }
            textured[static_cast<std::size_t>(y) * eyes.W + x] = hi - lo >= 8;
        }
    }
    return textured;
}

// The truth seen from the right eye: the disparity of the left-eye point each right-eye pixel
// shows, the nearest where several land on one pixel; -1 where none is known.
std::vector<float> RightTruth(const Eyes& eyes) {
    std::vector<float> truth(eyes.disparity.size(), -1.0f);
    for (int y = 0; y < eyes.H; ++y) {
        for (int x = 0; x < eyes.W; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * eyes.W + x;
            if (!eyes.visible[i]) {
                continue;
            }
            const float d = eyes.disparity[i];
            const int xr = static_cast<int>(std::lround(x - d));
            if (xr >= 0 && xr < eyes.W) {
                float& t = truth[static_cast<std::size_t>(y) * eyes.W + xr];
                t = std::max(t, d);
            }
        }
    }
    return truth;
}

struct Case {
    AutoAlignResult result;
    double badShare = 1;         // of the matcher's pixels with a known truth, off by more than 1
    double texturedBadShare = 1; // the same over textured pixels only
};

// Aligns a copy of the pair with the right eye perturbed as given, runs the depth pass as the
// program does after the alignment, and counts the matcher's bad pixels against the truth.
Case Run(const Eyes& eyes, const std::vector<float>& rightTruth,
         const std::vector<std::uint8_t>& textured, const Perturbation& p) {
    const int W = eyes.W, H = eyes.H;
    std::vector<std::uint32_t> right =
        p.degrees == 0 && p.scale == 1 && p.shiftY == 0
            ? eyes.right
            : stereo_pairs::Perturbed(eyes.right, W, H, p.degrees, p.scale, p.shiftY);
    Case c;
    if (AutoAlign(eyes.left.data(), right.data(), W, H, &c.result) != AUTO_ALIGN_OK) {
        return c;
    }
    const AutoAlignResult& r = c.result;
    DepthInput input{
        eyes.left.data(),         right.data(), W, H, r.offsetX, r.offsetY, AUTO_ALIGN_SWAP_DEPTH,
        INITIAL_STEREO_PARAMETERS};
    input.parameters.maxDisparity = r.maxDisparity;
    DepthPass pass;
    if (RunDepthPass(input, cvFindStereoCorrespondence, &pass) != DEPTH_DONE) {
        return c;
    }
    // The aligned right eye's pixel (x, y) shows the true right eye's (x + bx - h, y + ay): the
    // tilt's shift has a horizontal part h that the alignment leaves in the parallax.
    const double t = p.degrees * CV_PI / 180;
    const double h = p.shiftY * std::sin(t) / p.scale;
    const double cx = (W - 1) / 2.0, cy = (H - 1) / 2.0;
    const Overlap& o = pass.overlap;
    long known = 0, bad = 0, knownTextured = 0, badTextured = 0;
    for (int y = 0; y < o.rows; ++y) {
        for (int x = 0; x < o.cols; ++x) {
            // Skip what the resampling brought in from outside the perturbed eye.
            const double qx = x + o.bx, qy = y + o.by - r.subShiftY;
            const double ux =
                cx + (r.m11 * (qx - cx) - r.m01 * (qy - cy)) / (r.m00 * r.m11 - r.m01 * r.m10);
            const double uy =
                cy + (-r.m10 * (qx - cx) + r.m00 * (qy - cy)) / (r.m00 * r.m11 - r.m01 * r.m10);
            if (ux < 1 || uy < 1 || ux > W - 2 || uy > H - 2) {
                continue;
            }
            const int xr = static_cast<int>(std::lround(x + o.bx - h));
            const int yr = y + o.ay;
            if (xr < 0 || xr >= W || yr < 0 || yr >= H) {
                continue;
            }
            const float d = rightTruth[static_cast<std::size_t>(yr) * W + xr];
            if (d < 0) {
                continue;
            }
            const double expected = r.offsetX + h - d;
            const int got = pass.map[static_cast<std::size_t>(y) * o.cols + x];
            const int wrong = std::abs(got - expected) > 1.0 ? 1 : 0;
            ++known;
            bad += wrong;
            if (textured[static_cast<std::size_t>(yr) * W + xr]) {
                ++knownTextured;
                badTextured += wrong;
            }
        }
    }
    c.badShare = known ? static_cast<double>(bad) / known : 1;
    c.texturedBadShare = knownTextured ? static_cast<double>(badTextured) / knownTextured : 1;
    return c;
}

double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(std::lround(q * (v.size() - 1)))];
}

void Quality(benchmark::State& state, const Eyes& eyes, const char* name) {
    const std::vector<float> truth = RightTruth(eyes);
    const std::vector<std::uint8_t> textured = Textured(eyes);
    for (auto _ : state) {
        const Case before = Run(eyes, truth, textured, {});
        std::fprintf(stderr,
                     "%s unperturbed: window %d dy %d range %d, resampled %d; bad %.2f %%, "
                     "textured %.2f %%\n",
                     name, before.result.offsetX, before.result.offsetY, before.result.maxDisparity,
                     before.result.resample ? 1 : 0, before.badShare * 100,
                     before.texturedBadShare * 100);
        std::mt19937 random(2024);
        std::uniform_real_distribution<double> turn(-3, 3), zoom(0.97, 1.03), shift(-20, 20);
        std::vector<double> turnError, scaleError, shiftError, badAfter, texturedAfter;
        int within = 0, refused = 0;
        for (int i = 0; i < CASES; ++i) {
            const Perturbation p{turn(random), zoom(random), shift(random)};
            const Case c = Run(eyes, truth, textured, p);
            if (c.result.status != AUTO_ALIGN_OK) {
                ++refused;
            }
            const EyeDifference& d = c.result.difference;
            turnError.push_back(std::abs(d.rotationDeg - p.degrees));
            scaleError.push_back(std::abs(d.scale - p.scale));
            shiftError.push_back(std::abs(d.shiftY - p.shiftY));
            badAfter.push_back(c.badShare);
            texturedAfter.push_back(c.texturedBadShare);
            if (c.texturedBadShare > before.texturedBadShare + 0.01) {
                std::fprintf(stderr,
                             "  worse: %.2f deg x%.4f dy %.1f -> window %d dy %d range %d: bad "
                             "%.2f %%, textured %.2f %%\n",
                             p.degrees, p.scale, p.shiftY, c.result.offsetX, c.result.offsetY,
                             c.result.maxDisparity, c.badShare * 100, c.texturedBadShare * 100);
            }
            within += c.result.status == AUTO_ALIGN_OK && turnError.back() <= 0.05 &&
                      scaleError.back() <= 0.002 && shiftError.back() <= 0.5;
        }
        const double worseBy = (Quantile(badAfter, 0.95) - before.badShare) * 100;
        const double texturedWorseBy =
            (Quantile(texturedAfter, 0.95) - before.texturedBadShare) * 100;
        std::fprintf(
            stderr,
            "%s %dx%d: %d of %d cases within 0.05 deg, 0.002, 0.5 px (%d refused); "
            "95th-percentile errors %.4f deg, %.5f, %.3f px; max %.4f deg, %.5f, "
            "%.3f px; matcher bad pixels: unperturbed %.2f %%, aligned median %.2f %%, "
            "95th percentile %.2f %% (%+.2f points); textured pixels: unperturbed %.2f %%, "
            "aligned median %.2f %%, 95th percentile %.2f %% (%+.2f points)\n",
            name, eyes.W, eyes.H, within, CASES, refused, Quantile(turnError, 0.95),
            Quantile(scaleError, 0.95), Quantile(shiftError, 0.95), Quantile(turnError, 1),
            Quantile(scaleError, 1), Quantile(shiftError, 1), before.badShare * 100,
            Quantile(badAfter, 0.5) * 100, Quantile(badAfter, 0.95) * 100, worseBy,
            before.texturedBadShare * 100, Quantile(texturedAfter, 0.5) * 100,
            Quantile(texturedAfter, 0.95) * 100, texturedWorseBy);
        state.counters["within_bar_%"] = 100.0 * within / CASES;
        state.counters["turn_err_p95_deg"] = Quantile(turnError, 0.95);
        state.counters["scale_err_p95"] = Quantile(scaleError, 0.95);
        state.counters["shift_err_p95_px"] = Quantile(shiftError, 0.95);
        state.counters["bad_unperturbed_%"] = before.badShare * 100;
        state.counters["bad_aligned_p95_%"] = Quantile(badAfter, 0.95) * 100;
        state.counters["textured_bad_unperturbed_%"] = before.texturedBadShare * 100;
        state.counters["textured_bad_aligned_p95_%"] = Quantile(texturedAfter, 0.95) * 100;
    }
}

void GardenQuality(benchmark::State& state) {
    static const Eyes eyes = stereo_pairs::Garden(1000, 750, 100);
    Quality(state, eyes, "garden");
}

void PlanesQuality(benchmark::State& state) {
    static const Eyes eyes = stereo_pairs::FromScene(
        scene::RenderLayers(1000, 750, scene::RandomLayers(1000, 750, 64, 3)));
    Quality(state, eyes, "planes");
}

// A camera-size pair: textured planes, right eye turned by 1.2 degrees, zoomed by 1.01 and
// shifted by 7 pixels, aligned from scratch in every iteration.
void Speed3000x2000(benchmark::State& state) {
    static const Eyes eyes = stereo_pairs::FromScene(
        scene::RenderLayers(3000, 2000, scene::RandomLayers(3000, 2000, 120, 5)));
    static const std::vector<std::uint32_t> perturbed =
        stereo_pairs::Perturbed(eyes.right, eyes.W, eyes.H, 1.2, 1.01, 7);
    std::vector<std::uint32_t> right;
    AutoAlignResult r;
    for (auto _ : state) {
        state.PauseTiming();
        right = perturbed;
        state.ResumeTiming();
        AutoAlign(eyes.left.data(), right.data(), eyes.W, eyes.H, &r);
    }
    if (r.status != AUTO_ALIGN_OK) {
        state.SkipWithError("the alignment refused the pair");
    }
    state.counters["inliers"] = r.inliers;
}

} // namespace

BENCHMARK(GardenQuality)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(PlanesQuality)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(Speed3000x2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
