// The stereo application in the running program: a source in image window 0, Start, the
// layout it builds, its buttons through the real button box, Save and Quit. What the worker
// draws is read only once the loop has counted the frames that drew it (FrameCount), and never
// while it may still draw; values it rewrites every frame are read after Quit.
#include "app/estimate_depth.h"
#include "app/save_sequence.h"
#include "app/stereo_program.h"
#include "app/stereo_state.h"
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "photoio/photo_io.h"
#include "platform/cv_window.h"
#include "platform/testing.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/worker.h"
#include "stereo/previews.h"
#include "tests/support/stereo_pairs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace platform::testing;

namespace {

// The finished files of the current directory: a file being written is a temporary (.part)
// until it is renamed into place.
std::vector<std::string> FinishedFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".part")) {
            names.push_back(name);
        }
    }
    return names;
}

char instanceTag;

constexpr int SOURCE_WIDTH = 2000;
constexpr int SOURCE_HEIGHT = 750;

std::uint32_t SourcePixel(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF) << 16 |
           static_cast<std::uint32_t>((x ^ y) & 0xFF) << 8 | static_cast<std::uint32_t>(y & 0xFF);
}

class StereoSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        setenv("XDG_RUNTIME_DIR", folder->path.c_str(), 1);
        // Saved files go to a folder of their own, apart from the runtime's and the source's.
        workDir = folder->Path("saved");
        std::filesystem::create_directory(workDir);
        StartTestApplication();
    }

    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    void SetUp() override {
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(120));
        ASSERT_EQ(StartProgram(reinterpret_cast<HINSTANCE>(&instanceTag)), 0);
        std::filesystem::current_path(workDir);
    }

    void TearDown() override {
        if (MainWindow) {
            PostMessageW(MainWindow, WM_COMMAND, CMD_EXIT, 0);
            RunMessageLoop();
            ShutDownProgram();
        }
        watchdog.reset();
    }

    // Window 0 with the test's source (SourcePixel unless pixels are given), made and filled
    // from a file by the worker, as a user's requests would: only the worker writes its pixels.
    void MakeSource(int width, int height, const char* title = "000 pair.jpg",
                    const std::vector<std::uint32_t>& pixels = {}) {
        ASSERT_EQ(RequestCreateImage(0, title, width, height, 32), 0);
        std::vector<std::uint8_t> rgb;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = pixels.empty()
                                            ? SourcePixel(x, y)
                                            : pixels[static_cast<std::size_t>(y) * width + x];
                rgb.insert(rgb.end(),
                           {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                            static_cast<std::uint8_t>(p)});
            }
        }
        const std::string path = folder->Path("source.png");
        const PhotoPixels photo{rgb.data(), width, height, 3, static_cast<std::size_t>(width) * 3};
        ASSERT_EQ(WritePhoto(path.c_str(), PHOTO_PNG, photo, 0, PHOTO_REPLACE), PHOTO_OK);
        ASSERT_EQ(RequestLoadImage(0, path.c_str()), 0);
    }

    // Pumps until the loop has finished `count` more frames: a press or a pointer move made
    // before has been polled and acted on, and what those frames drew may be read here.
    static void WaitFrames(long count = 4) {
        const long target = FrameCount() + count;
        ASSERT_TRUE(PumpUntil([&] { return FrameCount() >= target; }, std::chrono::seconds(60)));
    }

    // Start, until set-up has run its first depth pass and the loop runs; the boxes it made are
    // looked at only once the loop has published them.
    void Start() {
        long before = DepthPassCount();
        PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
        ASSERT_TRUE(PumpUntil([&] { return Running.load() == 1 && DepthPassCount() > before; },
                              std::chrono::seconds(60)));
        WaitFrames();
        ASSERT_NE(ButtonBoxWindow(), nullptr);
        ASSERT_NE(InputBoxWindow(), nullptr);
    }

    void Press(int button) {
        HWND hwnd = qiv_buttonBox.button[button];
        ASSERT_NE(hwnd, nullptr);
        Click(hwnd, Button::Left, 3, 3);
    }

    // Presses a button whose action runs a depth pass, and waits for that pass.
    void PressAndWait(int button) {
        long before = DepthPassCount();
        Press(button);
        EXPECT_TRUE(PumpUntil([&] { return DepthPassCount() > before; }, std::chrono::seconds(60)));
        WaitFrames();
    }

    // Presses a button whose action is expected to run no depth pass, and checks that none was
    // asked for by the time the loop has polled the press.
    void PressWithoutPass(int button) {
        long before = DepthRequestCount();
        Press(button);
        WaitFrames();
        EXPECT_EQ(DepthRequestCount(), before) << "button " << button;
    }

    // Edits input box item i as a user would: click into the field, put the new text in, and
    // click into the field given next, which takes the value on losing the focus.
    void Edit(int item, const wchar_t* text, int next) {
        HWND field = qiv_inputBox.edit[item];
        ASSERT_NE(field, nullptr);
        Click(field, Button::Left, 4, 4);
        WaitFrames(2);
        SetWindowTextW(field, text);
        Click(qiv_inputBox.edit[next], Button::Left, 4, 4);
    }

    void Quit() {
        Press(7);
        ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(30)));
    }

    static TempFolder* folder; // lives as long as the program's windows may use it
    static std::string workDir;
    std::unique_ptr<Watchdog> watchdog;
};

TempFolder* StereoSession::folder = nullptr;
std::string StereoSession::workDir;

RECT FrameOf(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(StereoSession, LaysOutTheWindowsForTheScreenAndDrawsTheGuideLines) {
    MakeSource(SOURCE_WIDTH, SOURCE_HEIGHT);
    Start();

    // W = 1000, m = (1280 * 100 / 2000) / 2 = 32.
    EXPECT_EQ(qiv_image[0].zoom, 32);
    EXPECT_EQ(FrameOf(qiv_image[0].hwnd).left, 0);
    EXPECT_EQ(FrameOf(qiv_image[0].hwnd).top, 0);
    for (int n : {1, 2, 3, 4, 5}) {
        ASSERT_TRUE(IsImageWindowInUse(n)) << n;
        EXPECT_EQ(qiv_image[n].width, 1000) << n;
        EXPECT_EQ(qiv_image[n].height, 750) << n;
    }
    EXPECT_EQ(qiv_image[1].zoom, 30);
    EXPECT_EQ(qiv_image[3].zoom, 64);
    EXPECT_EQ(FrameOf(qiv_image[3].hwnd).top, 240);
    EXPECT_EQ(QIV_GetStretchMode(0), HALFTONE);
    EXPECT_EQ(FrameOf(ButtonBoxWindow()).left, 640);
    EXPECT_EQ(FrameOf(ButtonBoxWindow()).top, 0);
    EXPECT_EQ(FrameOf(InputBoxWindow()).left, 640);
    EXPECT_EQ(FrameOf(InputBoxWindow()).top, 100);
    HWND depth = FindWindowW(L"qiv_cvwin", L"CV depth");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(FrameOf(depth).left, 640);

    // The depth window below the input box, never over the main window.
    RECT box = FrameOf(InputBoxWindow()), mainWindow = FrameOf(MainWindow), cv = FrameOf(depth);
    EXPECT_GE(cv.top, box.bottom);
    EXPECT_TRUE(cv.bottom <= mainWindow.top || cv.left >= mainWindow.right)
        << cv.left << "," << cv.top << "-" << cv.right << "," << cv.bottom;

    // The split, and the guide lines inverted into the source at 500 and 1500, 7 source
    // pixels wide so that a screen pixel of the 32 % window is wholly inverted.
    EXPECT_EQ(qiv_pixels32[1][10 * 1000 + 20], SourcePixel(20, 10));
    EXPECT_EQ(qiv_pixels32[2][10 * 1000 + 20], SourcePixel(1020, 10));
    for (int x : {497, 500, 503, 1497, 1500, 1503}) {
        EXPECT_EQ(qiv_pixels32[0][300 * SOURCE_WIDTH + x], SourcePixel(x, 300) ^ 0xFFFFFFu) << x;
    }
    EXPECT_EQ(qiv_pixels32[0][300 * SOURCE_WIDTH + 504], SourcePixel(504, 300));
    EXPECT_EQ(qiv_pixels32[0][300 * SOURCE_WIDTH + 496], SourcePixel(496, 300));

    Quit();
    for (int n = 0; n <= 5; ++n) {
        EXPECT_FALSE(IsImageWindowInUse(n)) << "closed on the way out: " << n;
    }
    EXPECT_EQ(FindWindowW(L"qiv_cvwin", L"CV depth"), nullptr);
    EXPECT_EQ(ButtonBoxWindow(), nullptr);
    EXPECT_NE(InputBoxWindow(), nullptr) << "the input box stays with its values";
}

TEST_F(StereoSession, ArrowsMoveTheAlignmentAndSaveWritesTheSixFiles) {
    MakeSource(400, 300);
    Start();
    // Up twice, left once: offsetY = 2 and leftLineX = 99, so offsetX = -1.
    PressAndWait(1);
    PressAndWait(1);
    PressAndWait(4);
    const std::uint32_t* source = qiv_pixels32[0];
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source[50 * 400 + 99], SourcePixel(99, 50) ^ 0xFFFFFFu) << "left line at 99";
    EXPECT_EQ(source[50 * 400 + 100], SourcePixel(100, 50)) << "and no longer at 100";

    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::filesystem::remove(entry.path());
    }
    Press(3);
    // Save runs a depth pass and writes six files; slow builds need their time.
    std::vector<std::string> names;
    PumpUntil(
        [&] {
            names = FinishedFiles();
            return names.size() >= 6;
        },
        std::chrono::seconds(60));
    ASSERT_EQ(names.size(), 6u);
    WaitFrames(1); // the name the worker chose is read once a frame has published it
    std::string base = SaveBaseName();
    for (const char* suffix :
         {"_adjst.jpg", "_Right.png", "_Left.png", "_depth.png", "_wiggle.gif", "_dubois.png"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << base + suffix;
    }
    // A second Save, often in the same second, adds six files under a new name.
    Press(3);
    PumpUntil([&] { return FinishedFiles().size() >= 12; }, std::chrono::seconds(60));
    EXPECT_EQ(FinishedFiles().size(), 12u);
    WaitFrames(1);
    EXPECT_NE(SaveBaseName(), base);
    Quit();
}

TEST_F(StereoSession, ParametersAndSwapDepthOutliveARun) {
    MakeSource(400, 300);
    Start();
    PressAndWait(9); // default1
    PressAndWait(8); // swap_depth
    EXPECT_EQ(QIV_GetInputBoxDouble(1), 25.0);
    Quit();
    // The loop rewrites the parameters every frame: they are read while it does not run.
    EXPECT_EQ(param1, 25.0);
    EXPECT_EQ(swapDepth, 1);

    MakeSource(400, 300);
    Start();
    EXPECT_EQ(QIV_GetInputBoxDouble(1), 25.0) << "a second Start keeps the parameters";
    EXPECT_EQ(swapDepth, 1);
    PressAndWait(10); // default2
    PressAndWait(8);
    Quit();
    EXPECT_EQ(param1, 15.0);
    EXPECT_EQ(swapDepth, 0);
}

TEST_F(StereoSession, DepthPassesRunOnlyForChanges) {
    MakeSource(400, 300);
    Start();
    // No pointer over the source and no button: idle iterations ask for no pass.
    long idle = DepthRequestCount();
    WaitFrames();
    EXPECT_EQ(DepthRequestCount(), idle);

    // "default1" rewrites the values and asks for one pass; the read-back then sees no change.
    long before = DepthRequestCount();
    PressAndWait(9);
    EXPECT_EQ(DepthRequestCount(), before + 1);
    PressAndWait(9);
    EXPECT_EQ(DepthRequestCount(), before + 2) << "same values again: one more pass";

    Quit();
}

TEST_F(StereoSession, StopEndsTheRunAndNoSourceOnlyAsksForOne) {
    MakeSource(400, 300);
    Start();
    PostMessageW(MainWindow, WM_COMMAND, CMD_STOP, 0);
    ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(30)));
    EXPECT_FALSE(IsImageWindowInUse(1));

    InstallResponder();
    PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
    ASSERT_TRUE(PumpUntil([] { return !ShownMessageBoxes().empty(); }, std::chrono::seconds(30)));
    ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(30)));
    EXPECT_EQ(ShownMessageBoxes()[0].caption, L"Pause");
    EXPECT_FALSE(IsImageWindowInUse(1));
    RemoveResponder();
}

// The preview the anaglyph of the present views at the given offsets would be.
std::vector<std::uint32_t> ExpectedAnaglyph(int W, int H, int offsetX, int offsetY) {
    std::vector<std::uint32_t> preview(static_cast<std::size_t>(W) * H, 0x12345678u);
    MakeAnaglyph(W, H, qiv_pixels32[1], qiv_pixels32[2], preview.data(), offsetX, offsetY);
    return preview;
}

bool PreviewIs(const std::vector<std::uint32_t>& expected) {
    return qiv_pixels32[3] && std::equal(expected.begin(), expected.end(), qiv_pixels32[3]);
}

TEST_F(StereoSession, VerticalOffsetStopsAtTheViewHeight) {
    // Views of 30 × 4: ↑ raises offsetY to 4 and no further, ↓ lowers it to -4 and no further.
    constexpr int W = 30, H = 4;
    MakeSource(2 * W, H);
    Start();
    for (int i = 0; i < H; ++i) {
        PressAndWait(1);
    }
    PressWithoutPass(1);
    PressAndWait(5);
    EXPECT_TRUE(PreviewIs(ExpectedAnaglyph(W, H, 0, H - 1))) << "one row of overlap left";

    for (int i = 0; i < 2 * H - 1; ++i) {
        PressAndWait(5);
    }
    PressWithoutPass(5);
    PressAndWait(1);
    EXPECT_TRUE(PreviewIs(ExpectedAnaglyph(W, H, 0, -(H - 1))));
    Quit();
}

TEST_F(StereoSession, SaveAndQuitPressedTogetherSaveFirst) {
    MakeSource(400, 300);
    Start();
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::filesystem::remove(entry.path());
    }
    // Both presses land in the same frame: Save is polled before Quit.
    Click(qiv_buttonBox.button[3], Button::Left, 3, 3);
    Click(qiv_buttonBox.button[7], Button::Left, 3, 3);
    ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(60)));
    std::string base = SaveBaseName();
    for (const char* suffix : {"_adjst.jpg", "_Right.png", "_Left.png", "_depth.png"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << base + suffix;
    }
}

TEST_F(StereoSession, EachEditedParameterRunsItsOwnDepthPass) {
    MakeSource(400, 300);
    Start();
    // Two fields changed before one read-back: a request for each changed item (the
    // background keeps only the newest).
    long before = DepthRequestCount();
    Edit(1, L"21", 3);
    Edit(3, L"0.5", 0);
    EXPECT_TRUE(
        PumpUntil([&] { return DepthRequestCount() >= before + 2; }, std::chrono::seconds(60)));
    WaitFrames();
    EXPECT_EQ(DepthRequestCount(), before + 2);

    // maxDisparity is read back as an integer: a new value runs one pass.
    Edit(0, L"24", 1);
    EXPECT_TRUE(
        PumpUntil([&] { return DepthRequestCount() >= before + 3; }, std::chrono::seconds(60)));
    Quit();
    EXPECT_EQ(param1, 21.0);
    EXPECT_EQ(param3, 0.5);
    EXPECT_EQ(maxDisparity, 24);
}

// The colour shown at the middle of a window's client surface, which the desktop reads under
// the surface's lock while the worker goes on drawing.
std::uint32_t ShownMiddle(HWND hwnd) {
    Capture capture;
    if (!CaptureClientSurface(hwnd, &capture) || capture.width == 0 || capture.height == 0) {
        return 0xFFFFFFFFu;
    }
    return capture.At(capture.width / 2, capture.height / 2) & 0xFFFFFFu;
}

TEST_F(StereoSession, WiggleShowsTheFramesInTurnStartingWithTheSecond) {
    // Plain eyes, so that each frame (and the anaglyph) has one colour wherever it is scaled.
    constexpr std::uint32_t LEFT = 0xC04020u, RIGHT = 0x2060A0u;
    std::vector<std::uint32_t> source(400u * 300u);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = i % 400 < 200 ? LEFT : RIGHT;
    }
    MakeSource(400, 300, "000 pair.jpg", source);
    Start();
    const HWND preview = qiv_image[3].hwnd;
    const std::uint32_t anaglyph = ShownMiddle(preview);
    ASSERT_NE(anaglyph, LEFT);
    ASSERT_NE(anaglyph, RIGHT);
    Press(2);

    // Sample the preview and keep each change of frame: 4 the left eye's, 5 the right eye's.
    std::vector<int> shown;
    PumpUntil(
        [&] {
            const std::uint32_t middle = ShownMiddle(preview);
            int now = middle == LEFT ? 4 : middle == RIGHT ? 5 : 0;
            if (now != 0 && (shown.empty() || shown.back() != now)) {
                shown.push_back(now);
            }
            return shown.size() >= 5;
        },
        std::chrono::seconds(20));
    EXPECT_EQ(shown, (std::vector<int>{5, 4, 5, 4, 5}));

    // Anaglyph stops the animation and shows the anaglyph again, frame after frame.
    Press(0);
    WaitFrames();
    EXPECT_EQ(ShownMiddle(preview), anaglyph);
    EXPECT_TRUE(PreviewIs(ExpectedAnaglyph(200, 300, 0, 0)));
    WaitFrames();
    EXPECT_EQ(ShownMiddle(preview), anaglyph);
    Quit();
}

std::string StatusText() {
    wchar_t text[128] = {};
    GetWindowTextW(StatusLine, text, 128);
    std::string narrow;
    for (const wchar_t* c = text; *c; ++c) {
        narrow += static_cast<char>(*c);
    }
    return narrow;
}

TEST_F(StereoSession, StatusSaysWhyThereIsNoMapAndSaveConfirmsWhatItWrote) {
    MakeSource(400, 300);
    Start();
    // Views 200 wide: maxDisparity 250 cannot be matched.
    Edit(0, L"250", 1);
    ASSERT_TRUE(
        PumpUntil([] { return StatusText().find("maxDisparity: 1-199") != std::string::npos; },
                  std::chrono::seconds(60)))
        << StatusText();
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::filesystem::remove(entry.path());
    }
    Press(3);
    ASSERT_TRUE(PumpUntil(
        [] {
            return StatusText().find(" (5 files), no map: maxDisparity: 1-199") !=
                   std::string::npos;
        },
        std::chrono::seconds(60)))
        << StatusText();
    const std::string base = SaveBaseName();
    EXPECT_NE(StatusText().find("Saved " + base), std::string::npos) << StatusText();
    for (const char* suffix : {"_adjst.jpg", "_Right.png", "_Left.png"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << base + suffix;
    }
    EXPECT_FALSE(std::filesystem::exists(base + "_depth.png"));

    // Back in range: Save writes all six.
    long passes = DepthPassCount();
    Edit(0, L"16", 1);
    ASSERT_TRUE(PumpUntil([&] { return DepthPassCount() > passes; }, std::chrono::seconds(60)));
    Press(3);
    // The Save's name is read once the status confirms it: the worker chose it before.
    ASSERT_TRUE(PumpUntil(
        [] {
            const std::string status = StatusText();
            return status.find("Saved ") != std::string::npos &&
                   status.find(" (6 files)") != std::string::npos;
        },
        std::chrono::seconds(60)))
        << StatusText();
    EXPECT_NE(StatusText().find(std::string("Saved ") + SaveBaseName()), std::string::npos)
        << StatusText();
    EXPECT_TRUE(std::filesystem::exists(std::string(SaveBaseName()) + "_depth.png"));

    // A complaint goes with the next map.
    Edit(0, L"250", 1);
    ASSERT_TRUE(PumpUntil([] { return StatusText().find("maxDisparity") != std::string::npos; },
                          std::chrono::seconds(60)));
    Edit(0, L"16", 1);
    EXPECT_TRUE(PumpUntil([] { return StatusText().find_first_not_of(' ') == std::string::npos; },
                          std::chrono::seconds(60)))
        << StatusText();
    Quit();
}

// Stop just after a camera-size pass has started calls the pass off rather than waiting for
// it, which is what lets Exit (a Stop with a grace period) end the program at once.
TEST_F(StereoSession, StopDuringACameraSizeDepthPassCallsItOff) {
    MakeSource(6000, 2600);
    maxDisparity = lastMaxDisparity = 255; // the longest pass this size allows
    const long passes = DepthPassCount();
    const long requests = DepthRequestCount();
    PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
    ASSERT_TRUE(
        PumpUntil([&] { return DepthRequestCount() > requests; }, std::chrono::seconds(60)));
    PostMessageW(MainWindow, WM_COMMAND, CMD_STOP, 0);
    ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(60)));
    EXPECT_EQ(DepthPassCount(), passes) << "the pass ran to its end";
    maxDisparity = lastMaxDisparity = INITIAL_MAX_DISPARITY;
}

TEST_F(StereoSession, TheRightLineFollowsOnlyWhileThePointerIsOverTheSource) {
    MakeSource(400, 300);
    Start();
    HWND source = qiv_image[0].hwnd;
    const int zoom = qiv_image[0].zoom;
    auto inverted = [](int x) {
        return qiv_pixels32[0][150 * 400 + x] == (SourcePixel(x, 150) ^ 0xFFFFFFu);
    };
    ASSERT_TRUE(inverted(300));
    MouseMove(source, 320 * zoom / 100 + 1, 150 * zoom / 100 + 1);
    WaitFrames();
    const int followed = PointerX;
    EXPECT_NE(followed, 300);
    EXPECT_TRUE(inverted(followed) && !inverted(300)) << "the line follows the pointer";
    // Onto the button box: the recorded state still says (320, 150) over window 0.
    long requests = DepthRequestCount();
    MouseMove(qiv_buttonBox.button[11], 3, 3);
    WaitFrames();
    EXPECT_TRUE(inverted(300) && !inverted(followed))
        << "the line went back to where it was committed";
    WaitFrames();
    EXPECT_EQ(DepthRequestCount(), requests) << "a pointer on the buttons asks for no maps";
    // Straight onto the bare desktop, where no window of the program reports the pointer.
    MouseMove(source, 320 * zoom / 100 + 1, 150 * zoom / 100 + 1);
    WaitFrames();
    ASSERT_TRUE(inverted(followed) && !inverted(300)) << "the line follows the pointer again";
    RECT frame{};
    GetWindowRect(source, &frame);
    PointerToDesktop(source, frame.left - 40, frame.bottom + 40);
    WaitFrames();
    EXPECT_TRUE(inverted(300) && !inverted(followed))
        << "the line went back when the pointer left for the desktop";
    Quit();
}

TEST_F(StereoSession, AJpsSourceIsCrossSoTheRedComesFromItsRightHalf) {
    MakeSource(400, 300, "000 pair.jps");
    Start();
    std::vector<std::uint32_t> expected(200 * 300);
    MakeAnaglyph(200, 300, qiv_pixels32[2], qiv_pixels32[1], expected.data(), 0, 0);
    EXPECT_TRUE(PreviewIs(expected));
    Quit();
}

} // namespace

namespace {

std::wstring TextOf(HWND hwnd) {
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

} // namespace

// The "auto" button on a pair whose right eye is turned and lower, then on a flat grey source.
TEST_F(StereoSession, AutoAlignsTheRightEyeAndRefusesAFlatPair) {
    const int W = 480, H = 360;
    scene::Layer back{-W, 0, 2 * W, H};
    back.disparity = 4;
    back.texture = scene::Texture::BLOCKS;
    back.blockWidth = back.blockHeight = 3;
    scene::Layer front{120, 80, 300, 260};
    front.disparity = 20;
    front.texture = scene::Texture::NOISE;
    const stereo_pairs::Eyes eyes =
        stereo_pairs::FromScene(scene::RenderLayers(W, H, {back, front}));
    const std::vector<std::uint32_t> right = stereo_pairs::Perturbed(eyes.right, W, H, 1.0, 1.0, 6);
    std::vector<std::uint32_t> pair(2u * W * H);
    for (int y = 0; y < H; ++y) {
        std::copy_n(&eyes.left[static_cast<std::size_t>(y) * W], W, &pair[y * 2 * W]);
        std::copy_n(&right[static_cast<std::size_t>(y) * W], W, &pair[y * 2 * W + W]);
    }
    MakeSource(2 * W, H, "000 pair.jpg", pair);
    swapDepth = 0;
    Start();
    EXPECT_EQ(TextOf(qiv_buttonBox.button[11]), L"auto");
    PressAndWait(11);
    // The right eye's content sits 6 rows lower: view A's rows start 6 higher.
    EXPECT_NE(StatusText().find(" dy -6 "), std::string::npos) << StatusText().size();
    EXPECT_EQ(swapDepth, 1);
    EXPECT_NE(qiv_pixels32[2][200 * W + 200], right[200 * W + 200]) << "the right eye resampled";
    const std::wstring shownRange = TextOf(qiv_inputBox.edit[0]);
    Quit();
    // The nearest layer, 20 in front, comes to the screen: the range covers the 16 behind it.
    EXPECT_GE(maxDisparity, 16);
    EXPECT_EQ(shownRange, std::to_wstring(maxDisparity));

    MakeSource(2 * W, H, "000 pair.jpg", std::vector<std::uint32_t>(2u * W * H, 0x808080u));
    Start();
    const std::wstring range = TextOf(qiv_inputBox.edit[0]);
    PressWithoutPass(11);
    EXPECT_NE(StatusText().find("nothing changed"), std::string::npos);
    EXPECT_EQ(TextOf(qiv_inputBox.edit[0]), range);
    Quit();
}
