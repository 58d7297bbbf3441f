// Named display windows: what they show, how they size and move, and who closes them.
#include "platform/cv_window.h"
#include "tests/support/window_fixture.h"

#include <opencv2/core/core_c.h>

#include <atomic>

using namespace qivtest;
using namespace platform::testing;

namespace {

struct ImageDeleter {
    void operator()(IplImage* image) const { cvReleaseImage(&image); }
};
using Image = std::unique_ptr<IplImage, ImageDeleter>;

Image MakeImage(int width, int height, int depth, int channels) {
    return Image(cvCreateImage(cvSize(width, height), depth, channels));
}

HWND WindowNamed(const wchar_t* title) {
    return FindWindowW(L"qiv_cvwin", title);
}

class CvWindowTest : public WindowTest {
protected:
    void TearDown() override {
        cvDestroyAllWindows();
        PumpAll();
        WindowTest::TearDown();
    }

    // The client area as the desktop shows it, after the window's thread painted.
    Capture Shown(HWND hwnd) {
        PumpAll();
        ProcessDesktopEvents();
        Capture shown;
        EXPECT_TRUE(GrabShownClient(hwnd, &shown));
        return shown;
    }
};

TEST_F(CvWindowTest, AutoSizedWindowShowsGreyAndColourImagesOneToOne) {
    ASSERT_EQ(cvNamedWindow("CV depth", CV_WINDOW_AUTOSIZE), 1);
    cvMoveWindow("CV depth", 300, 250);
    HWND hwnd = WindowNamed(L"CV depth");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "hidden until it has something to show";

    Image grey = MakeImage(40, 30, IPL_DEPTH_8U, 1);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            CV_IMAGE_ELEM(grey.get(), uchar, y, x) = static_cast<uchar>(x * 5 + y);
        }
    }
    cvShowImage("CV depth", grey.get());
    grey.reset(); // the window keeps its own copy

    Capture shown = Shown(hwnd);
    ASSERT_EQ(shown.width, 40);
    ASSERT_EQ(shown.height, 30);
    EXPECT_EQ(shown.At(0, 0), 0x000000u);
    EXPECT_EQ(shown.At(39, 29), 0x010101u * (39 * 5 + 29));
    EXPECT_EQ(shown.At(10, 3), 0x010101u * 53);
    RECT frame;
    GetWindowRect(hwnd, &frame);
    EXPECT_EQ(frame.left, 300);
    EXPECT_EQ(frame.top, 250);

    // A colour image of another size resizes the window; channels are blue, green, red.
    Image colour = MakeImage(7, 5, IPL_DEPTH_8U, 3);
    cvSet(colour.get(), cvScalar(0x30, 0x20, 0x10));
    CV_IMAGE_ELEM(colour.get(), uchar, 4, 6 * 3 + 2) = 0xFF;
    cvShowImage("CV depth", colour.get());
    shown = Shown(hwnd);
    ASSERT_EQ(shown.width, 7);
    ASSERT_EQ(shown.height, 5);
    EXPECT_EQ(shown.At(0, 0), 0x102030u);
    EXPECT_EQ(shown.At(6, 4), 0xFF2030u);
    GetWindowRect(hwnd, &frame);
    EXPECT_EQ(frame.left, 300) << "resizing keeps the position";
}

TEST_F(CvWindowTest, WideAndFloatingPointImagesAreScaledToBytes) {
    Image wide = MakeImage(2, 1, IPL_DEPTH_16U, 1);
    CV_IMAGE_ELEM(wide.get(), ushort, 0, 0) = 0x1234;
    CV_IMAGE_ELEM(wide.get(), ushort, 0, 1) = 0xFFFF;
    cvShowImage("wide", wide.get());
    HWND hwnd = WindowNamed(L"wide");
    ASSERT_NE(hwnd, nullptr) << "showing under an unknown name opens a window";
    Capture shown = Shown(hwnd);
    ASSERT_EQ(shown.width, 2);
    EXPECT_EQ(shown.At(0, 0), 0x121212u);
    EXPECT_EQ(shown.At(1, 0), 0xFFFFFFu);

    Image real = MakeImage(4, 1, IPL_DEPTH_32F, 1);
    CV_IMAGE_ELEM(real.get(), float, 0, 0) = -1.0f;
    CV_IMAGE_ELEM(real.get(), float, 0, 1) = 0.5f;
    CV_IMAGE_ELEM(real.get(), float, 0, 2) = 7.0f;
    CV_IMAGE_ELEM(real.get(), float, 0, 3) = std::numeric_limits<float>::quiet_NaN();
    cvShowImage("wide", real.get());
    shown = Shown(hwnd);
    ASSERT_EQ(shown.width, 4);
    EXPECT_EQ(shown.At(0, 0), 0u);
    EXPECT_EQ(shown.At(1, 0), 0x808080u);
    EXPECT_EQ(shown.At(2, 0), 0xFFFFFFu);
    EXPECT_EQ(shown.At(3, 0), 0u);
}

TEST_F(CvWindowTest, UnusableArgumentsChangeNothing) {
    EXPECT_EQ(cvNamedWindow("", CV_WINDOW_AUTOSIZE), 0);
    EXPECT_EQ(cvNamedWindow(nullptr, CV_WINDOW_AUTOSIZE), 0);
    cvMoveWindow("nobody", 1, 1);
    cvDestroyWindow("nobody");
    cvShowImage("nothing", nullptr);
    EXPECT_EQ(WindowNamed(L"nothing"), nullptr) << "no image, no window";

    ASSERT_EQ(cvNamedWindow("keep", CV_WINDOW_AUTOSIZE), 1);
    Image first = MakeImage(3, 2, IPL_DEPTH_8U, 1);
    cvSet(first.get(), cvScalar(200));
    cvShowImage("keep", first.get());
    Image twoChannels = MakeImage(5, 5, IPL_DEPTH_8U, 2);
    cvShowImage("keep", twoChannels.get());
    int notAnArray[16] = {};
    cvShowImage("keep", notAnArray);
    Capture shown = Shown(WindowNamed(L"keep"));
    ASSERT_EQ(shown.width, 3);
    EXPECT_EQ(shown.At(2, 1), 0xC8C8C8u);
}

TEST_F(CvWindowTest, ClosedWindowsFreeTheirNames) {
    ASSERT_EQ(cvNamedWindow("twice", CV_WINDOW_AUTOSIZE), 1);
    HWND first = WindowNamed(L"twice");
    ASSERT_EQ(cvNamedWindow("twice", CV_WINDOW_AUTOSIZE), 1);
    EXPECT_EQ(WindowNamed(L"twice"), first) << "a second call finds the same window";

    cvDestroyWindow("twice");
    EXPECT_FALSE(IsWindow(first));

    Image image = MakeImage(4, 4, IPL_DEPTH_8U, 3);
    cvSet(image.get(), cvScalar(0, 0, 0));
    cvShowImage("twice", image.get());
    HWND second = WindowNamed(L"twice");
    ASSERT_NE(second, nullptr);
    PumpAll();

    // The user closes it from the desktop; showing again opens a new one.
    CloseFromDesktop(second);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(second); }));
    cvShowImage("twice", image.get());
    EXPECT_NE(WindowNamed(L"twice"), nullptr);
}

TEST_F(CvWindowTest, WindowOfAWorkerPaintsOnlyWhenTheWorkerPumps) {
    Worker worker;
    HWND hwnd = nullptr;
    worker.Call([&] {
        cvNamedWindow("worker's", CV_WINDOW_AUTOSIZE);
        Image image = MakeImage(6, 4, IPL_DEPTH_8U, 1);
        cvSet(image.get(), cvScalar(0x44));
        cvShowImage("worker's", image.get());
        hwnd = WindowNamed(L"worker's");
    });
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), worker.ThreadId());
    ProcessDesktopEvents();
    Capture before;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &before));
    ASSERT_EQ(before.width, 6);
    EXPECT_NE(before.At(0, 0), 0x444444u) << "painted before the worker pumped";

    worker.Call([] { PumpAll(); });
    Capture after;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &after));
    EXPECT_EQ(after.At(5, 3), 0x444444u);

    // Closing from another thread leaves the window to its owner's next pump.
    cvDestroyWindow("worker's");
    EXPECT_TRUE(IsWindow(hwnd));
    worker.Call([] { PumpAll(); });
    EXPECT_FALSE(IsWindow(hwnd));
}

} // namespace
