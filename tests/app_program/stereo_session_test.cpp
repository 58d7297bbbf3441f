// The stereo application in the running program: a source in image window 0, Start, the
// layout it builds, its buttons through the real button box, Save and Quit.
#include "app/estimate_depth.h"
#include "app/save_sequence.h"
#include "app/stereo_state.h"
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "platform/cv_window.h"
#include "platform/testing.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/worker.h"
#include "stereo/previews.h"
#include "tests/support/stereo_pairs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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
        char pattern[] = "/tmp/qiv-app-test-XXXXXX";
        if (char* dir = mkdtemp(pattern)) {
            setenv("XDG_RUNTIME_DIR", dir, 1);
            // Saved files go to a folder of their own, apart from the runtime's.
            workDir = std::string(dir) + "/saved";
            std::filesystem::create_directory(workDir);
        }
        StartTestApplication();
    }

    void SetUp() override {
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(120), "stereo session");
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

    // Window 0 with the test's source, made by the worker as a user's request would.
    void MakeSource(int width, int height, const char* title = "000 pair.jpg") {
        ASSERT_EQ(RequestCreateImage(0, title, width, height, 32), 0);
        std::uint32_t* pixels = qiv_pixels32[0];
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                pixels[static_cast<std::size_t>(y) * width + x] = SourcePixel(x, y);
            }
        }
    }

    // Start, until set-up has run its first depth pass and the loop runs.
    void Start() {
        long before = DepthPassCount();
        PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
        ASSERT_TRUE(PumpUntil(
            [&] {
                return Running.load() == 1 && ButtonBoxWindow() && InputBoxWindow() &&
                       DepthPassCount() > before;
            },
            std::chrono::seconds(60)));
        PumpFor(std::chrono::milliseconds(300));
    }

    void Press(int button) {
        HWND hwnd = qiv_buttonBox.button[button];
        ASSERT_NE(hwnd, nullptr);
        Click(hwnd, Button::Left, 3, 3);
        PumpFor(std::chrono::milliseconds(50));
    }

    // Presses a button whose action runs a depth pass, and waits for that pass.
    void PressAndWait(int button) {
        long before = DepthPassCount();
        Press(button);
        EXPECT_TRUE(PumpUntil([&] { return DepthPassCount() > before; }, std::chrono::seconds(60)));
        PumpFor(std::chrono::milliseconds(150));
    }

    // Presses a button whose action is expected to run no depth pass, and checks none ran.
    void PressWithoutPass(int button) {
        long before = DepthRequestCount();
        Press(button);
        PumpFor(std::chrono::milliseconds(400));
        EXPECT_EQ(DepthRequestCount(), before) << "button " << button;
    }

    // Edits input box item i as a user would: click into the field, put the new text in, and
    // click into the field given next, which takes the value on losing the focus.
    void Edit(int item, const wchar_t* text, int next) {
        HWND field = qiv_inputBox.edit[item];
        ASSERT_NE(field, nullptr);
        Click(field, Button::Left, 4, 4);
        PumpFor(std::chrono::milliseconds(50));
        SetWindowTextW(field, text);
        Click(qiv_inputBox.edit[next], Button::Left, 4, 4);
    }

    void Quit() {
        Press(7);
        ASSERT_TRUE(PumpUntil([] { return Running.load() == 0; }, std::chrono::seconds(30)));
    }

    static std::string workDir;
    std::unique_ptr<Watchdog> watchdog;
};

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
    std::string base = SaveBaseName();
    for (const char* suffix : {"_adjst.jpg", "_Right.png", "_Left.png", "_depth.png",
                               "_wiggle.gif", "_dubois.png"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << base + suffix;
    }
    // A second Save, often in the same second, adds six files under a new name.
    Press(3);
    PumpUntil([&] { return FinishedFiles().size() >= 12; }, std::chrono::seconds(60));
    EXPECT_EQ(FinishedFiles().size(), 12u);
    EXPECT_NE(SaveBaseName(), base);
    Quit();
}

TEST_F(StereoSession, ParametersAndSwapDepthOutliveARun) {
    MakeSource(400, 300);
    Start();
    PressAndWait(9); // default1
    PressAndWait(8); // swap_depth
    EXPECT_EQ(param1, 25.0);
    EXPECT_EQ(QIV_GetInputBoxDouble(1), 25.0);
    EXPECT_EQ(swapDepth, 1);
    Quit();

    MakeSource(400, 300);
    Start();
    EXPECT_EQ(param1, 25.0) << "a second Start keeps the parameters";
    EXPECT_EQ(swapDepth, 1);
    PressAndWait(10); // default2
    PressAndWait(8);
    EXPECT_EQ(param1, 15.0);
    EXPECT_EQ(swapDepth, 0);
    Quit();
}

TEST_F(StereoSession, DepthPassesRunOnlyForChanges) {
    MakeSource(400, 300);
    Start();
    // No pointer over the source and no button: idle iterations ask for no pass.
    long idle = DepthRequestCount();
    PumpFor(std::chrono::milliseconds(400));
    EXPECT_EQ(DepthRequestCount(), idle);

    // "default1" rewrites the values and asks for one pass; the read-back then sees no change.
    long before = DepthRequestCount();
    PressAndWait(9);
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(DepthRequestCount(), before + 1);
    PressAndWait(9);
    PumpFor(std::chrono::milliseconds(300));
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
    PumpFor(std::chrono::milliseconds(400));
    EXPECT_EQ(DepthRequestCount(), before + 2);
    EXPECT_EQ(param1, 21.0);
    EXPECT_EQ(param3, 0.5);

    // maxDisparity is read back as an integer: a new value runs one pass.
    Edit(0, L"24", 1);
    EXPECT_TRUE(
        PumpUntil([&] { return DepthRequestCount() >= before + 3; }, std::chrono::seconds(60)));
    EXPECT_EQ(maxDisparity, 24);
    Quit();
}

TEST_F(StereoSession, WiggleShowsTheFramesInTurnStartingWithTheSecond) {
    MakeSource(400, 300);
    Start();
    PressAndWait(4); // offsetX = -1: the two frames differ from each other and the anaglyph
    Press(2);
    ASSERT_TRUE(PumpUntil([] { return IsImageWindowInUse(4) && IsImageWindowInUse(5); }));
    const std::size_t size = 200u * 300u;
    std::vector<std::uint32_t> frameA(size), frameB(size);
    ComposeWiggleFrames(200, 300, qiv_pixels32[1], qiv_pixels32[2], frameA.data(), frameB.data(),
                        -1, 0);
    ASSERT_NE(frameA, frameB);

    // Sample the preview and keep each change of frame.
    std::vector<int> shown;
    PumpUntil(
        [&] {
            int now = PreviewIs(frameA) ? 4 : PreviewIs(frameB) ? 5 : 0;
            if (now != 0 && (shown.empty() || shown.back() != now)) {
                shown.push_back(now);
            }
            return shown.size() >= 5;
        },
        std::chrono::seconds(20));
    EXPECT_EQ(shown, (std::vector<int>{5, 4, 5, 4, 5}));

    // Anaglyph stops the animation and shows the anaglyph again.
    Press(0);
    const std::vector<std::uint32_t> anaglyph = ExpectedAnaglyph(200, 300, -1, 0);
    EXPECT_TRUE(PumpUntil([&] { return PreviewIs(anaglyph); }));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(PreviewIs(anaglyph));
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
            return StatusText().find(std::string("Saved ") + SaveBaseName() +
                                     " (5 files), no map: maxDisparity: 1-199") !=
                   std::string::npos;
        },
        std::chrono::seconds(60)))
        << StatusText();
    const std::string base = SaveBaseName();
    for (const char* suffix : {"_adjst.jpg", "_Right.png", "_Left.png"}) {
        EXPECT_TRUE(std::filesystem::exists(base + suffix)) << base + suffix;
    }
    EXPECT_FALSE(std::filesystem::exists(base + "_depth.png"));

    // Back in range: Save writes all six.
    long passes = DepthPassCount();
    Edit(0, L"16", 1);
    ASSERT_TRUE(PumpUntil([&] { return DepthPassCount() > passes; }, std::chrono::seconds(60)));
    Press(3);
    ASSERT_TRUE(PumpUntil(
        [] {
            return StatusText().find(std::string("Saved ") + SaveBaseName() + " (6 files)") !=
                   std::string::npos;
        },
        std::chrono::seconds(60)))
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
    ASSERT_TRUE(PumpUntil([&] { return PointerX != 300 && inverted(PointerX) && !inverted(300); }))
        << "the line follows the pointer";
    const int followed = PointerX;
    // Onto the button box: the recorded state still says (320, 150) over window 0.
    MouseMove(qiv_buttonBox.button[11], 3, 3);
    EXPECT_TRUE(PumpUntil([&] { return inverted(300) && !inverted(followed); }))
        << "the line went back to where it was committed";
    long requests = DepthRequestCount();
    PumpFor(std::chrono::milliseconds(400));
    EXPECT_EQ(DepthRequestCount(), requests) << "a pointer on the buttons asks for no maps";
    // Straight onto the bare desktop, where no window of the program reports the pointer.
    MouseMove(source, 320 * zoom / 100 + 1, 150 * zoom / 100 + 1);
    ASSERT_TRUE(PumpUntil([&] { return inverted(followed) && !inverted(300); }));
    RECT frame{};
    GetWindowRect(source, &frame);
    PointerToDesktop(source, frame.left - 40, frame.bottom + 40);
    EXPECT_TRUE(PumpUntil([&] { return inverted(300) && !inverted(followed); }))
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
    MakeSource(2 * W, H);
    for (int y = 0; y < H; ++y) {
        std::copy_n(&eyes.left[static_cast<std::size_t>(y) * W], W, &qiv_pixels32[0][y * 2 * W]);
        std::copy_n(&right[static_cast<std::size_t>(y) * W], W, &qiv_pixels32[0][y * 2 * W + W]);
    }
    swapDepth = 0;
    Start();
    EXPECT_EQ(TextOf(qiv_buttonBox.button[11]), L"auto");
    PressAndWait(11);
    // The right eye's content sits 6 rows lower: view A's rows start 6 higher.
    EXPECT_NE(StatusText().find(" dy -6 "), std::string::npos) << StatusText().size();
    EXPECT_EQ(swapDepth, 1);
    // The nearest layer, 20 in front, comes to the screen: the range covers the 16 behind it.
    EXPECT_GE(maxDisparity, 16);
    EXPECT_EQ(TextOf(qiv_inputBox.edit[0]), std::to_wstring(maxDisparity));
    EXPECT_NE(qiv_pixels32[2][200 * W + 200], right[200 * W + 200]) << "the right eye resampled";
    Quit();

    MakeSource(2 * W, H);
    std::fill_n(qiv_pixels32[0], 2 * W * H, 0x808080u);
    Start();
    const int range = maxDisparity;
    PressWithoutPass(11);
    EXPECT_NE(StatusText().find("nothing changed"), std::string::npos);
    EXPECT_EQ(maxDisparity, range);
    Quit();
}
