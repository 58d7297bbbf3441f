// Internal interfaces of the disparity matcher, shared by its parts, the tests and the benchmarks.
#pragma once

#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>

namespace stereo {

// Rows matched together, one per SIMD lane of 32-bit sums: LANES by the AVX2 and portable
// kernels, WIDE_LANES by the AVX-512 one.
constexpr int LANES = 8;
constexpr int WIDE_LANES = 32;
// The "unreachable" sum of the dynamic programme's border cells.
constexpr int BIG = INT_MAX / 4;

// Steps of the dynamic programme, as stored per cell.
enum Step : uint8_t { STEP_LEFT = 0, STEP_UP = 1, STEP_DIAG = 2 };

// Edge flag bits of a pixel.
constexpr uint8_t EDGE_LEFT = 1;     // left-image intensity change just before x: UP allowed
constexpr uint8_t EDGE_RIGHT = 2;    // right-image intensity change just after x: DIAG allowed
constexpr uint8_t EDGE_VERTICAL = 4; // vertical intensity change: blocks vertical propagation

struct MatchParams {
    int maxDisparity = 0;
    int occlusionPenalty = 0;   // P1
    int matchReward = 0;        // P2
    int highlyReliable = 0;     // P3
    int moderatelyReliable = 0; // P4
    int slightlyReliable = 0;   // P5
};

enum class Kernel { AUTO, GENERIC, AVX2, AVX512 };

struct MatchOptions {
    Kernel kernel = Kernel::AUTO;
    int threads = 0; // 0: one per hardware thread
    // Once true, the call gives up between row groups or post-processing blocks.
    const std::atomic<bool>* cancel = nullptr;
};

// Rounds and checks the five raw parameters for an image of the given width; returns STEREO_OK
// or STEREO_ERR_PARAMETER. maxDisparity is checked by the caller.
int ResolveParameters(int width, int maxDisparity, const double raw[5], MatchParams* out);

// The matcher on plain buffers (rows of `step` bytes). Sizes and parameters must already be
// valid. depth may alias left or right. Returns STEREO_OK, STEREO_ERR_MEMORY or STEREO_CANCELLED
// (depth untouched).
int MatchGrey(const uint8_t* left, size_t leftStep, const uint8_t* right, size_t rightStep,
              uint8_t* depth, size_t depthStep, int width, int height, const MatchParams& params,
              const MatchOptions& options = {});

bool Avx2Supported();
// AVX-512 F, BW and VL, as the wide kernel needs them.
bool Avx512Supported();

// ---- Parts of the fast path ----

// Bounds of the sampling-insensitive dissimilarity for one right-image row.
void RightBounds(const uint8_t* right, int width, uint8_t* rmin, uint8_t* rmax);
// Edge flags EDGE_LEFT and EDGE_RIGHT of one row pair, borders included.
void EdgeFlags(const uint8_t* left, const uint8_t* right, int width, uint8_t* edges);

// dst[c * dstStride + r] = src[r * srcStride + c] for rows r < rows and columns c < cols: the
// scanlines of a row group into lanes, the map's columns for the vertical propagation and back.
void TransposeBytes(const uint8_t* src, size_t srcStride, int rows, int cols, uint8_t* dst,
                    size_t dstStride);

// Up to `lanes` (LANES or WIDE_LANES) scanlines, interleaved by column: element
// [x * lanes + lane], widened to 32 bits and 64-byte aligned so that a column of all lanes is one
// vector load.
struct RowGroupInput {
    int lanes = LANES;
    int width = 0;
    int maxDisparity = 0;
    int occlusionPenalty = 0;
    int matchReward = 0;
    const int32_t* left = nullptr;
    const int32_t* rminPlusP1 = nullptr;  // right-image lower bound + occlusionPenalty
    const int32_t* rmaxMinusP1 = nullptr; // right-image upper bound - occlusionPenalty
    const int32_t* upAllowed = nullptr;   // -1 where the pixel has EDGE_LEFT, else 0
    const int32_t* diagAllowed = nullptr; // -1 where the pixel has EDGE_RIGHT, else 0
    // The wide kernel's inputs: the gates as bit masks (bit lane % 16 of [2 * x + lane / 16])
    // and the pixels and bounds as bytes ([x * lanes + lane]), a quarter of the memory of the
    // widened ones.
    const uint16_t* upBits = nullptr;
    const uint16_t* diagBits = nullptr;
    const uint8_t* leftBytes = nullptr;
    const uint8_t* rminBytes = nullptr;
    const uint8_t* rmaxBytes = nullptr;
};

// Scratch of one row group, 64-byte aligned. sums and upMasks: (maxDisparity + 3) * lanes;
// steps: width * (maxDisparity + 2) pairs of lane masks of lanes / 8 bytes each: at
// [2 * (x * (maxDisparity + 2) + k) * lanes / 8] the lanes whose step is UP, then the lanes where
// DIAG beat LEFT (DIAG unless UP). Bit `lane` of a mask is bit lane % 8 of its byte lane / 8.
struct RowGroupTables {
    int lanes = LANES;
    int32_t* sums = nullptr;
    int32_t* upMasks = nullptr;
    uint8_t* steps = nullptr;
};

// The dynamic programme over all columns; afterwards sums[k * lanes + lane] holds the path sum of
// disparity k - 1 at the last column plus the occlusion penalty, and steps the choice of every
// computed cell.
void RunRowGroupGeneric(const RowGroupInput& in, const RowGroupTables& tables);
void RunRowGroupAvx2(const RowGroupInput& in, const RowGroupTables& tables);
void RunRowGroupAvx512(const RowGroupInput& in, const RowGroupTables& tables);

// Backtracks one lane of a finished row group into a row of width disparities.
void Backtrack(const RowGroupTables& tables, int width, int maxDisparity, int lane, uint8_t* out);

// Post-processing of the whole map. Columns [first, last) of the vertical steps, and rows
// [first, last) of the horizontal steps; both work in place on map (rows of width bytes).
void PostProcessColumns(uint8_t* map, const uint8_t* left, size_t leftStep, int width, int height,
                        const MatchParams& params, int first, int last);
void PostProcessRows(uint8_t* map, const uint8_t* left, size_t leftStep, const uint8_t* right,
                     size_t rightStep, int width, int height, const MatchParams& params, int first,
                     int last);

} // namespace stereo
