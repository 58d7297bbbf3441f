// The stereo application: split the side-by-side source in image window 0 into its two views,
// let the user align them with guide lines, arrow buttons and the input box's parameters, and
// preview, match and save the aligned pair.
#include "app/estimate_depth.h"
#include "app/save_sequence.h"
#include "app/stereo_program.h"
#include "app/stereo_state.h"
#include "app/window_buffers.h"
#include "platform/cv_window.h"
#include "runtime/qivlib.h"
#include "stereo/alignment_eyes.h"
#include "stereo/auto_align.h"
#include "stereo/eyes.h"
#include "stereo/layout.h"
#include "stereo/previews.h"
#include "stereo/view_buffers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* NO_SOURCE_MESSAGE = "ステレオペア画像をドラッグして下さい";

// The frame windows' numbers come from where the wiggle frames are written into them.
enum Window {
    SOURCE = 0,
    VIEW_A = 1,
    VIEW_B = 2,
    PREVIEW = 3,
    WIGGLE_A = WIGGLE_WINDOW_A,
    WIGGLE_B = WIGGLE_WINDOW_B
};

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
    AUTO = 11,
};

constexpr int BUTTON_COLUMNS = 4;
constexpr int BUTTON_ROWS = 3;
constexpr const char* BUTTON_CAPTIONS[] = {"Anaglyph",   "↑",        "Buruburu", "Save",
                                           "←",          "↓",        "→",        "Quit",
                                           "swap_depth", "default1", "default2", "auto"};
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
    SideBySideLayout eyes = LAYOUT_PARALLEL;
    int guideWidth = 1;         // source pixels, so that a line shows at the source's zoom
    int depthOffsetX = INT_MIN; // the offset of the last depth request
    int depthOffsetY = INT_MIN;
    DepthPlacement depth = {0, 0, 0, 0}; // where "CV depth" stands and how large its map may be
    bool stopped = false;                // Stop or Exit ended the run, not Quit

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

void Depth(Run& run, int offsetX, int offsetY) {
    run.depthOffsetX = offsetX;
    run.depthOffsetY = offsetY;
    EstimateDepth(offsetX, offsetY);
}

// The aligned pair as eyes, from the views' buffers; both null when a view window is gone.
EyePair Eyes(const Run& run, int offsetX, int offsetY) {
    const std::uint32_t* a = Buffer(run, VIEW_A);
    const std::uint32_t* b = Buffer(run, VIEW_B);
    if (!a || !b) {
        return {nullptr, nullptr, offsetX, offsetY};
    }
    return EyesOf(a, b, offsetX, offsetY, run.eyes);
}

void ComposeAnaglyph(const Run& run, int offsetX, int offsetY) {
    const EyePair eyes = Eyes(run, offsetX, offsetY);
    std::uint32_t* preview = Buffer(run, PREVIEW);
    if (eyes.left && preview) {
        MakeAnaglyph(run.W, run.H, eyes.left, eyes.right, preview, eyes.offsetX, eyes.offsetY);
    }
}

void ComposeWiggle(const Run& run, int offsetX, int offsetY) {
    const EyePair eyes = Eyes(run, offsetX, offsetY);
    if (eyes.left) {
        MakeWiggleFrames(run.W, run.H, eyes.left, eyes.right, eyes.offsetX, eyes.offsetY);
    }
}

void Preview(Run& run, int offsetX, int offsetY) {
    if (run.previewMode == 1) {
        ComposeWiggle(run, offsetX, offsetY);
    } else {
        ComposeAnaglyph(run, offsetX, offsetY);
    }
    Refresh(PREVIEW);
}

// Guide lines are inversions, so drawing one twice erases it; a line is a band of columns
// wide enough to survive the source window's scaling. They go into the source only: with
// window 0 gone there is nothing to draw them on.
void DrawGuideLine(const Run& run, int x) {
    if (Buffer(run, SOURCE) && QIV_SelectImage(SOURCE) == 0) {
        const int half = run.guideWidth / 2;
        for (int dx = -half; dx <= half; ++dx) {
            QIV_XorLine(x + dx, 0, x + dx, run.H);
        }
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

void LoadParameterSet(Run& run, const double (&values)[STEREO_PARAMETER_COUNT]) {
    for (int i = 0; i < STEREO_PARAMETER_COUNT; ++i) {
        *StereoParameter(i) = values[i];
        QIV_SetInputBoxDouble(i + 1, values[i]);
        *LastStereoParameter(i) = values[i];
    }
    Depth(run, run.CommittedOffsetX(), run.offsetY);
}

// The size a window's frame adds to its client area.
SIZE FrameSize(HWND hwnd) {
    RECT frame = {}, client = {};
    if (!hwnd || !GetWindowRect(hwnd, &frame) || !GetClientRect(hwnd, &client)) {
        return {0, GetSystemMetrics(SM_CYCAPTION)};
    }
    return {(frame.right - frame.left) - (client.right - client.left),
            (frame.bottom - frame.top) - (client.bottom - client.top)};
}

// "CV depth" right of the source and below the input box (at its usual y when that is lower),
// clear of the main window with its buttons and status line.
DepthPlacement PlaceDepth(const Run& run) {
    ScreenRect area = {run.layout.boxesX, DEPTH_WINDOW_Y, GetSystemMetrics(SM_CXSCREEN),
                       GetSystemMetrics(SM_CYSCREEN)};
    RECT r = {};
    if (InputBoxWindow() && GetWindowRect(InputBoxWindow(), &r)) {
        area.top = std::max(area.top, static_cast<int>(r.bottom));
    }
    // The boxes are owned by the main window, as every framework window is.
    ScreenRect avoid = {0, 0, 0, 0};
    HWND mainWindow = InputBoxWindow() ? GetParent(InputBoxWindow()) : nullptr;
    if (mainWindow && GetWindowRect(mainWindow, &r)) {
        avoid = {r.left, r.top, r.right, r.bottom};
    }
    const SIZE frame = FrameSize(FindWindowW(L"qiv_cvwin", L"CV depth"));
    return PlaceDepthWindow(area, avoid, frame.cx, frame.cy, run.W, run.H);
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
    run.eyes = LayoutOfFileName(source.title);
    run.layout = ComputeLayout(GetSystemMetrics(SM_CXSCREEN), run.sourceWidth, run.H);

    if (!CreateRunWindow(VIEW_A, "Left side", 0, 0, VIEW_ZOOM, run) ||
        !CreateRunWindow(VIEW_B, "Right side", 0, 0, VIEW_ZOOM, run)) {
        QIV_SetStatus("Views too large for screen");
        return false;
    }
    FitLayoutToHeight(&run.layout, GetSystemMetrics(SM_CYSCREEN),
                      FrameSize(qiv_image[VIEW_A].hwnd).cy);
    run.guideWidth = GuideLineWidth(run.layout.zoom);
    SplitSideBySide(run.sourceWidth, run.H, Buffer(run, SOURCE), Buffer(run, VIEW_A),
                    Buffer(run, VIEW_B));
    if (!CreateRunWindow(WIGGLE_A, "buruburuL", 0, 0, WIGGLE_ZOOM, run) ||
        !CreateRunWindow(WIGGLE_B, "buruburuR", 0, 0, WIGGLE_ZOOM, run) ||
        !CreateRunWindow(PREVIEW, "Preview", 0, run.layout.previewY, run.layout.previewZoom, run)) {
        QIV_SetStatus("Views too large for screen");
        return false;
    }
    ComposeAnaglyph(run, 0, 0);
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

    // The input box first: the depth window goes below it.
    QIV_OpenInputBox(run.layout.boxesX, INPUT_BOX_Y, INPUT_ITEMS);
    ShowParameters();
    cvNamedWindow(DEPTH_WINDOW_NAME, CV_WINDOW_AUTOSIZE);
    run.depth = PlaceDepth(run);
    cvMoveWindow(DEPTH_WINDOW_NAME, run.depth.x, run.depth.y);
    QIV_FocusInputBox();
    StartDepthWork(Buffer(run, VIEW_A), Buffer(run, VIEW_B), run.W, run.H, run.eyes,
                   run.depth.maxWidth, run.depth.maxHeight);
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

// The right line's map, unless the last request was for this very alignment: a pointer
// resting near the line, or leaving it uncommitted, would only ask for the map it has. Every
// parameter change asks for its own pass, so the last request always has the current values.
void DepthIfMoved(Run& run) {
    if (run.CommittedOffsetX() != run.depthOffsetX || run.offsetY != run.depthOffsetY) {
        Depth(run, run.CommittedOffsetX(), run.offsetY);
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
        DepthIfMoved(run);
    } else if (run.rightHover == 1) {
        SelectIfPresent(SOURCE);
        run.rightHover = 0;
        MoveLine(run, &run.rightShownX, run.rightLineX);
        Preview(run, run.CommittedOffsetX(), run.offsetY);
        DepthIfMoved(run);
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

// The automatic alignment: the right eye's view is resampled in its window, and the offsets,
// maxDisparity and swap_depth take the alignment's values, so the arrows and guide lines go on
// from there. A refused pair changes nothing; the status line says why.
void AutoAlignViews(Run& run) {
    std::uint32_t* a = Buffer(run, VIEW_A);
    std::uint32_t* b = Buffer(run, VIEW_B);
    if (!a || !b) {
        return;
    }
    const AlignmentEyes eyes = EyesOfViews(a, b, run.eyes);
    AutoAlignResult result;
    AutoAlign(eyes.leftEye, eyes.rightEye, run.W, run.H, &result);
    char text[128];
    AutoAlignStatusText(result, text, sizeof text);
    if (result.status != AUTO_ALIGN_OK) {
        QIV_SetStatus(text);
        return;
    }
    Refresh(VIEW_A);
    Refresh(VIEW_B);
    // The depth work runs on copies of the views: it must see the resampled eye.
    StartDepthWork(a, b, run.W, run.H, run.eyes, run.depth.maxWidth, run.depth.maxHeight);
    int offsetX = 0;
    ViewOffsets(eyes, result.offsetX, result.offsetY, &offsetX, &run.offsetY);
    // offsetX is where the right line stands from the left one; both stay over their halves.
    int left = run.leftLineX;
    if (left + run.W - offsetX < run.W || left + run.W - offsetX >= 2 * run.W) {
        left = run.W / 2 + offsetX / 2;
    }
    run.leftLineX = left;
    run.rightLineX = left + run.W - offsetX;
    SelectIfPresent(SOURCE);
    MoveLine(run, &run.leftShownX, run.leftLineX);
    MoveLine(run, &run.rightShownX, run.rightLineX);
    maxDisparity = lastMaxDisparity = result.maxDisparity;
    QIV_SetInputBoxInt(0, maxDisparity);
    swapDepth = AUTO_ALIGN_SWAP_DEPTH;
    SelectIfPresent(PREVIEW);
    Preview(run, run.CommittedOffsetX(), run.offsetY);
    Depth(run, run.CommittedOffsetX(), run.offsetY);
    // After the depth pass, which may report on the status line itself.
    QIV_SetStatus(text);
}

// The buttons in their order of precedence; false when Quit ends the run.
bool PollButtons(Run& run) {
    if (!ButtonBoxWindow()) {
        return true;
    }
    if (QIV_CheckButton(ANAGLYPH)) {
        run.previewMode = 0;
        ComposeAnaglyph(run, run.CommittedOffsetX(), run.offsetY);
        if (IsImageWindowInUse(PREVIEW)) {
            QIV_SelectImage(PREVIEW);
            QIV_UpdateImage(PREVIEW);
        }
    }
    if (QIV_CheckButton(WIGGLE)) {
        run.previewMode = 1;
        ComposeWiggle(run, run.CommittedOffsetX(), run.offsetY);
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
                     run.CommittedOffsetX(), run.offsetY, run.eyes);
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
    if (QIV_CheckButton(AUTO)) {
        AutoAlignViews(run);
    }
    return true;
}

void ReadBackParameters(Run& run) {
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

// The pointer is over the source's client area now. The recorded pointer state keeps the last
// position inside a window after the pointer has left it.
bool PointerOverSource() {
    POINT p = {};
    RECT client = {};
    if (!IsImageWindowInUse(SOURCE) || !GetCursorPos(&p)) {
        return false;
    }
    HWND hwnd = qiv_image[SOURCE].hwnd;
    return ScreenToClient(hwnd, &p) && GetClientRect(hwnd, &client) && p.x >= client.left &&
           p.x < client.right && p.y >= client.top && p.y < client.bottom;
}

// One iteration of the interaction loop; false when the run ends.
bool Iterate(Run& run) {
    ShowFinishedDepth();
    const int px = PointerX;
    const int py = PointerY;
    const int wn = PointerOverSource() ? PointerWindow : -1;
    const int lb = PointerLeft;
    const bool nearLeft = NearLeftLine(run.layout, run.leftShownX, wn, px, py) ||
                          (run.leftHover && lb && DraggingLeftLine(run.layout, wn, px, py));
    const bool nearRight = NearRightLine(run.layout, run.rightShownX, wn, px, py) ||
                           (run.rightHover && lb && DraggingRightLine(run.layout, wn, px, py));
    FollowLeftLine(run, nearLeft, px, lb);
    FollowRightLine(run, nearRight, px, lb);
    WiggleStep(run);
    if (!PollButtons(run)) {
        return false;
    }
    ReadBackParameters(run);
    // Stop ends the run as Quit does: a user pressing Stop expects the program to stop.
    run.stopped = WaitFrame() != 0;
    return !run.stopped;
}

// After Stop or Exit the depth work is called off rather than waited for, so the program ends
// at once; after Quit a Save still finishes.
void ShutDown(const Run& run) {
    StopDepthWork(run.stopped);
    QIV_DestroyButtonBox();
    for (int n = SOURCE; n <= WIGGLE_B; ++n) {
        if (IsImageWindowInUse(n)) {
            QIV_DestroyImage(n);
        }
    }
    cvDestroyWindow(DEPTH_WINDOW_NAME);
}

} // namespace

namespace {

std::atomic<long> frames{0};

} // namespace

int WaitFrame() {
    // Counted before the wait: what the frame drew is published with the count.
    frames.fetch_add(1, std::memory_order_release);
    return QIV_Wait(FRAME_MS);
}

long FrameCount() {
    return frames.load(std::memory_order_acquire);
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
    ShutDown(run);
}
