// The stereo application: split the side-by-side source in image window 0 into its two views,
// let the user align them with guide lines, arrow buttons and the input box's parameters, and
// preview, match and save the aligned pair.
#include "app/estimate_depth.h"
#include "app/layout.h"
#include "app/previews.h"
#include "app/save_sequence.h"
#include "app/stereo_program.h"
#include "app/stereo_state.h"
#include "app/view_buffers.h"
#include "platform/cv_window.h"
#include "runtime/qivlib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* NO_SOURCE_MESSAGE = "ステレオペア画像をドラッグして下さい";

enum Window { SOURCE = 0, VIEW_A = 1, VIEW_B = 2, PREVIEW = 3, WIGGLE_A = 4, WIGGLE_B = 5 };

enum Button {
    ANAGLYPH = 0,
    UP = 1,
    WIGGLE = 2,
    SAVE = 3,
    LEFT = 4,
    DOWN = 5,
    RIGHT = 6,
    QUIT = 7,
    SWAP_DEPTH = 8,
    DEFAULT1 = 9,
    DEFAULT2 = 10,
};

constexpr int BUTTON_COLUMNS = 4;
constexpr int BUTTON_ROWS = 3;
constexpr const char* BUTTON_CAPTIONS[] = {"Anaglyph",   "↑",        "Buruburu", "Save",
                                           "←",          "↓",        "→",        "Quit",
                                           "swap_depth", "default1", "default2"};
constexpr const char* PARAMETER_LABELS[STEREO_PARAMETER_COUNT] = {"param1", "param2", "param3",
                                                                  "param4", "param5"};
constexpr int INPUT_ITEMS = 1 + STEREO_PARAMETER_COUNT;
constexpr int VIEW_ZOOM = 30;
constexpr int WIGGLE_ZOOM = 10;
constexpr int FRAME_MS = 100;

// One run's state.
struct Run {
    StereoLayout layout;
    int W;
    int H;
    int sourceWidth;
    int leftLineX;
    int leftShownX;
    int rightLineX;
    int rightShownX;
    int leftHover = 0;
    int rightHover = 0;
    int offsetY = 0;
    int previewMode = 0; // 0 anaglyph, 1 wiggle
    int wigglePhase = 0;

    int CommittedOffsetX() const { return leftLineX - rightLineX + W; }
};

// Buffers of the run's windows, or null for a window the user closed (or reopened with
// another size): work on a missing window is skipped, never done past a buffer's end.
std::uint32_t* Buffer(const Run& run, int n) {
    if (n == SOURCE) {
        return ViewBuffer32(SOURCE, run.sourceWidth, run.H);
    }
    return ViewBuffer32(n, run.W, run.H);
}

void Refresh(int n) {
    if (IsImageWindowInUse(n)) {
        QIV_UpdateImage(n);
    }
}

void Depth(const Run& run, int offsetX, int offsetY) {
    EstimateDepth(offsetX, Buffer(run, VIEW_A), Buffer(run, VIEW_B), run.W, run.H, offsetY, 0);
}

void Preview(Run& run, int offsetX, int offsetY) {
    const std::uint32_t* a = Buffer(run, VIEW_A);
    const std::uint32_t* b = Buffer(run, VIEW_B);
    if (!a || !b) {
        return;
    }
    if (run.previewMode == 1) {
        MakeWiggleFrames(run.W, run.H, a, b, offsetX, offsetY);
    } else if (std::uint32_t* preview = Buffer(run, PREVIEW)) {
        MakeAnaglyph(run.W, run.H, a, b, preview, offsetX, offsetY);
    }
    Refresh(PREVIEW);
}

// Guide lines are inversions, so drawing one twice erases it. They go into the source only:
// with window 0 gone there is nothing to draw them on.
void DrawGuideLine(const Run& run, int x) {
    if (Buffer(run, SOURCE) && QIV_SelectImage(SOURCE) == 0) {
        QIV_XorLine(x, 0, x, run.H);
    }
}

void MoveLine(Run& run, int* shownX, int x) {
    DrawGuideLine(run, *shownX);
    DrawGuideLine(run, x);
    *shownX = x;
    Refresh(SOURCE);
}

void SelectIfPresent(int n) {
    if (IsImageWindowInUse(n)) {
        QIV_SelectImage(n);
    }
}

// The application owns windows 1 to 5 for the run: one the user left open under such a
// number, possibly of another size, is replaced.
bool CreateRunWindow(int n, const char* title, int x, int y, int zoom, const Run& run) {
    if (IsImageWindowInUse(n)) {
        QIV_DestroyImage(n);
    }
    return QIV_CreateImage(n, title, x, y, run.W, run.H, zoom) == 0 && Buffer(run, n);
}

void ShowParameters() {
    QIV_SetInputBoxTitle(0, "maxDisparity");
    QIV_SetInputBoxInt(0, maxDisparity);
    for (int i = 0; i < STEREO_PARAMETER_COUNT; ++i) {
        QIV_SetInputBoxTitle(i + 1, PARAMETER_LABELS[i]);
        QIV_SetInputBoxDouble(i + 1, *StereoParameter(i));
    }
}

void LoadParameterSet(const Run& run, const double (&values)[STEREO_PARAMETER_COUNT]) {
    for (int i = 0; i < STEREO_PARAMETER_COUNT; ++i) {
        *StereoParameter(i) = values[i];
        QIV_SetInputBoxDouble(i + 1, values[i]);
        *LastStereoParameter(i) = values[i];
    }
    Depth(run, run.CommittedOffsetX(), run.offsetY);
}

// Sets up windows, boxes and lines; false when the run cannot start (the reason is shown).
bool SetUp(Run& run) {
    if (QIV_GetStretchMode(SOURCE) == 0) {
        QIV_Pause(NO_SOURCE_MESSAGE);
        return false;
    }
    const ImageWindowRecord& source = qiv_image[SOURCE];
    run.sourceWidth = source.width;
    run.H = source.height;
    run.W = source.width / 2;
    if (source.bits != 32 || run.W < 1 || !Buffer(run, SOURCE)) {
        // A one-pixel-wide or 8-bit source has no pair of colour views to align.
        QIV_Pause(NO_SOURCE_MESSAGE);
        return false;
    }
    run.layout = ComputeLayout(GetSystemMetrics(SM_CXSCREEN), run.sourceWidth, run.H);

    if (!CreateRunWindow(VIEW_A, "Left side", 0, 0, VIEW_ZOOM, run) ||
        !CreateRunWindow(VIEW_B, "Right side", 0, 0, VIEW_ZOOM, run)) {
        QIV_SetStatus("The views do not fit on the screen");
        return false;
    }
    SplitSideBySide(run.sourceWidth, run.H, Buffer(run, SOURCE), Buffer(run, VIEW_A),
                    Buffer(run, VIEW_B));
    if (!CreateRunWindow(WIGGLE_A, "buruburuL", 0, 0, WIGGLE_ZOOM, run) ||
        !CreateRunWindow(WIGGLE_B, "buruburuR", 0, 0, WIGGLE_ZOOM, run) ||
        !CreateRunWindow(PREVIEW, "Preview", 0, run.layout.previewY, run.layout.previewZoom, run)) {
        QIV_SetStatus("The views do not fit on the screen");
        return false;
    }
    MakeAnaglyph(run.W, run.H, Buffer(run, VIEW_A), Buffer(run, VIEW_B), Buffer(run, PREVIEW), 0,
                 0);
    QIV_UpdateImage(qiv_target);

    QIV_OpenButtonBox(run.layout.boxesX, BUTTON_BOX_Y, BUTTON_COLUMNS, BUTTON_ROWS);
    for (int i = 0; i < static_cast<int>(std::size(BUTTON_CAPTIONS)); ++i) {
        QIV_SetButtonBoxTitle(i, BUTTON_CAPTIONS[i]);
    }
    QIV_SetZoom(SOURCE, run.layout.zoom);
    if (IsImageWindowInUse(SOURCE)) {
        SetWindowPos(qiv_image[SOURCE].hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        QIV_SelectImage(SOURCE);
        QIV_SetStretchMode(SOURCE, HALFTONE);
    }

    run.leftLineX = run.leftShownX = run.layout.leftLineX;
    run.rightLineX = run.rightShownX = run.layout.rightLineX;
    DrawGuideLine(run, run.leftShownX);
    DrawGuideLine(run, run.rightShownX);
    Refresh(SOURCE);

    cvNamedWindow(DEPTH_WINDOW_NAME, CV_WINDOW_AUTOSIZE);
    cvMoveWindow(DEPTH_WINDOW_NAME, run.layout.boxesX, DEPTH_WINDOW_Y);
    QIV_OpenInputBox(run.layout.boxesX, INPUT_BOX_Y, INPUT_ITEMS);
    ShowParameters();
    QIV_FocusInputBox();
    Depth(run, 0, 0);
    return true;
}

void FollowLeftLine(Run& run, bool near, int px, int lb) {
    if (near) {
        SelectIfPresent(SOURCE);
        run.leftHover = 1;
        if (lb) {
            run.leftLineX = px;
        }
        MoveLine(run, &run.leftShownX, px);
        Preview(run, px - run.rightLineX + run.W, run.offsetY);
    } else if (run.leftHover == 1) {
        SelectIfPresent(SOURCE);
        run.leftHover = 0;
        MoveLine(run, &run.leftShownX, run.leftLineX);
        Preview(run, run.CommittedOffsetX(), run.offsetY);
    }
}

void FollowRightLine(Run& run, bool near, int px, int lb) {
    if (near) {
        SelectIfPresent(SOURCE);
        run.rightHover = 1;
        if (lb) {
            run.rightLineX = px;
        }
        MoveLine(run, &run.rightShownX, px);
        Preview(run, run.leftLineX - px + run.W, run.offsetY);
        Depth(run, run.CommittedOffsetX(), run.offsetY);
    } else if (run.rightHover == 1) {
        SelectIfPresent(SOURCE);
        run.rightHover = 0;
        MoveLine(run, &run.rightShownX, run.rightLineX);
        Preview(run, run.CommittedOffsetX(), run.offsetY);
        Depth(run, run.CommittedOffsetX(), run.offsetY);
    }
}

void WiggleStep(Run& run) {
    if (run.previewMode != 1) {
        return;
    }
    const std::uint32_t* frame = Buffer(run, run.wigglePhase == 0 ? WIGGLE_B : WIGGLE_A);
    run.wigglePhase = run.wigglePhase == 0 ? 1 : 0;
    std::uint32_t* preview = Buffer(run, PREVIEW);
    if (frame && preview) {
        std::copy_n(frame, static_cast<std::size_t>(run.W) * run.H, preview);
    }
    Refresh(PREVIEW);
}

void NudgeLeftLine(Run& run, int step) {
    run.leftLineX += step;
    SelectIfPresent(SOURCE);
    MoveLine(run, &run.leftShownX, run.leftLineX);
    SelectIfPresent(PREVIEW);
    Preview(run, run.CommittedOffsetX(), run.offsetY);
    Depth(run, run.CommittedOffsetX(), run.offsetY);
}

// The buttons in their order of precedence; false when Quit ends the run.
bool PollButtons(Run& run) {
    if (!ButtonBoxWindow()) {
        return true;
    }
    if (QIV_CheckButton(ANAGLYPH)) {
        run.previewMode = 0;
        if (Buffer(run, VIEW_A) && Buffer(run, VIEW_B) && Buffer(run, PREVIEW)) {
            MakeAnaglyph(run.W, run.H, Buffer(run, VIEW_A), Buffer(run, VIEW_B),
                         Buffer(run, PREVIEW), run.CommittedOffsetX(), run.offsetY);
        }
        if (IsImageWindowInUse(PREVIEW)) {
            QIV_SelectImage(PREVIEW);
            QIV_UpdateImage(PREVIEW);
        }
    }
    if (QIV_CheckButton(WIGGLE)) {
        run.previewMode = 1;
        if (Buffer(run, VIEW_A) && Buffer(run, VIEW_B)) {
            MakeWiggleFrames(run.W, run.H, Buffer(run, VIEW_A), Buffer(run, VIEW_B),
                             run.CommittedOffsetX(), run.offsetY);
        }
        if (IsImageWindowInUse(PREVIEW)) {
            QIV_SelectImage(PREVIEW);
            QIV_UpdateImage(PREVIEW);
        }
    }
    if (QIV_CheckButton(UP) && run.offsetY < run.H) {
        ++run.offsetY;
        Preview(run, run.CommittedOffsetX(), run.offsetY);
        Depth(run, run.CommittedOffsetX(), run.offsetY);
    }
    if (QIV_CheckButton(DOWN) && run.offsetY > -run.H) {
        --run.offsetY;
        Preview(run, run.CommittedOffsetX(), run.offsetY);
        Depth(run, run.CommittedOffsetX(), run.offsetY);
    }
    if (QIV_CheckButton(LEFT)) {
        NudgeLeftLine(run, -1);
    }
    if (QIV_CheckButton(RIGHT)) {
        NudgeLeftLine(run, +1);
    }
    if (QIV_CheckButton(SAVE)) {
        SaveSequence(run.W, run.H, Buffer(run, VIEW_A), Buffer(run, VIEW_B), Buffer(run, PREVIEW),
                     run.CommittedOffsetX(), run.offsetY);
    }
    if (QIV_CheckButton(QUIT)) {
        return false;
    }
    if (QIV_CheckButton(SWAP_DEPTH)) {
        swapDepth = swapDepth == 0 ? 1 : 0;
        Depth(run, run.CommittedOffsetX(), run.offsetY);
    }
    if (QIV_CheckButton(DEFAULT1)) {
        LoadParameterSet(run, DEFAULT1_PARAMETERS);
    }
    if (QIV_CheckButton(DEFAULT2)) {
        LoadParameterSet(run, DEFAULT2_PARAMETERS);
    }
    return true;
}

void ReadBackParameters(const Run& run) {
    maxDisparity = QIV_GetInputBoxInt(0);
    if (maxDisparity != lastMaxDisparity) {
        Depth(run, run.CommittedOffsetX(), run.offsetY);
        lastMaxDisparity = maxDisparity;
    }
    for (int i = 0; i < STEREO_PARAMETER_COUNT; ++i) {
        *StereoParameter(i) = QIV_GetInputBoxDouble(i + 1);
        if (*StereoParameter(i) != *LastStereoParameter(i)) {
            Depth(run, run.CommittedOffsetX(), run.offsetY);
            *LastStereoParameter(i) = *StereoParameter(i);
        }
    }
}

// One iteration of the interaction loop; false when the run ends.
bool Iterate(Run& run) {
    const int px = PointerX;
    const int py = PointerY;
    const int wn = PointerWindow;
    const int lb = PointerLeft;
    const bool nearLeft = NearLeftLine(run.layout, run.leftShownX, wn, px, py);
    const bool nearRight = NearRightLine(run.layout, run.rightShownX, wn, px, py);
    FollowLeftLine(run, nearLeft, px, lb);
    FollowRightLine(run, nearRight, px, lb);
    WiggleStep(run);
    if (!PollButtons(run)) {
        return false;
    }
    ReadBackParameters(run);
    // Stop ends the run as Quit does: a user pressing Stop expects the program to stop.
    return WaitFrame() == 0;
}

void ShutDown() {
    QIV_DestroyButtonBox();
    for (int n = SOURCE; n <= WIGGLE_B; ++n) {
        if (IsImageWindowInUse(n)) {
            QIV_DestroyImage(n);
        }
    }
    cvDestroyWindow(DEPTH_WINDOW_NAME);
}

} // namespace

int WaitFrame() {
    return QIV_Wait(FRAME_MS);
}

void UserInit() {
    maxDisparity = lastMaxDisparity = INITIAL_MAX_DISPARITY;
    for (int i = 0; i < STEREO_PARAMETER_COUNT; ++i) {
        *StereoParameter(i) = *LastStereoParameter(i) = DEFAULT2_PARAMETERS[i];
    }
    PointerRecording = 1;
}

void UserMain() {
    Run run{};
    if (SetUp(run)) {
        while (Iterate(run)) {
        }
    }
    ShutDown();
}
