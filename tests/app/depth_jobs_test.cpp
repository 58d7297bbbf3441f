// Depth passes off the loop: a newer request calls off the map pass under way, only the newest
// map request runs after it, a Save is never dropped, results never go back in time, and Stop
// calls off a Save at once. Also the map's picture for the display.
#include "stereo/depth_jobs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

// A matcher that waits at a gate, so the test decides when a pass may end.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int entered = 0;
    std::vector<int> maxDisparities; // of the calls, in order
};

Gate& TheGate() {
    static Gate gate;
    return gate;
}

// Stays in the matcher until the gate opens or the pass is called off, as the matcher would.
int GatedStereo(const CvArr*, const CvArr*, int, CvArr* depth, int maxDisparity, double, double,
                double, double, double, const std::atomic<bool>* cancel) {
    Gate& gate = TheGate();
    std::unique_lock lock(gate.mutex);
    ++gate.entered;
    gate.maxDisparities.push_back(maxDisparity);
    gate.changed.notify_all();
    // The flag comes with no notification: it is looked at every few milliseconds.
    while (!gate.open && !*cancel) {
        gate.changed.wait_for(lock, std::chrono::milliseconds(2));
    }
    if (!gate.open) {
        return 9;
    }
    cvSetZero(depth);
    return 0;
}

void WaitUntilEntered(int count) {
    Gate& gate = TheGate();
    std::unique_lock lock(gate.mutex);
    gate.changed.wait(lock, [&] { return gate.entered == count; });
}

int writes = 0;

int NoWrite(const char*, ImageFileFormat, const std::uint32_t*, int, int, int, std::string*) {
    ++writes;
    return 0;
}
int NoWriteGrey(const char*, const std::uint8_t*, int, int, int, std::string*) {
    ++writes;
    return 0;
}

DepthRequest Request(int maxDisparity, bool save = false) {
    DepthRequest request;
    request.parameters.maxDisparity = maxDisparity;
    request.save = save;
    request.names = MakeSaveNames("", "B");
    return request;
}

TEST(DepthJobs, OnlyTheNewestMapRequestRunsAndSavesAreKept) {
    Watchdog watchdog(std::chrono::seconds(60));
    const int W = 16, H = 4;
    DepthJobs* jobs = StartDepthJobs(std::vector<std::uint32_t>(W * H, 0x808080),
                                     std::vector<std::uint32_t>(W * H, 0x808080), W, H, GatedStereo,
                                     ImageWriter{NoWrite, NoWriteGrey});
    Gate& gate = TheGate();
    EXPECT_EQ(SubmitDepthJob(jobs, Request(1)), 1);
    WaitUntilEntered(1);
    {
        // Pass 1 stays in the matcher while the loop goes on asking; the first request calls
        // it off.
        std::lock_guard lock(gate.mutex);
        SubmitDepthJob(jobs, Request(2));
        SubmitDepthJob(jobs, Request(3, true));
        SubmitDepthJob(jobs, Request(4));
        SubmitDepthJob(jobs, Request(5));
    }
    WaitUntilEntered(2); // the Save's pass, which newer map requests do not call off
    {
        std::lock_guard lock(gate.mutex);
        gate.open = true;
    }
    gate.changed.notify_all();

    std::vector<long> sequences;
    while (sequences.empty() || sequences.back() != 5) {
        for (const DepthResult& result : TakeDepthResults(jobs)) {
            EXPECT_TRUE(sequences.empty() || result.sequence > sequences.back())
                << "a result older than one already taken";
            EXPECT_EQ(result.save, result.sequence == 3);
            EXPECT_EQ(result.status, result.sequence == 1 ? DEPTH_CANCELLED : DEPTH_DONE);
            sequences.push_back(result.sequence);
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(sequences, (std::vector<long>{1, 3, 5}));
    EXPECT_EQ(gate.maxDisparities, (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(StopDepthJobs(jobs).empty());
}

TEST(DepthJobs, StopCallsOffTheSaveUnderWayAndThoseWaiting) {
    Watchdog watchdog(std::chrono::seconds(60));
    const int W = 16, H = 4;
    Gate& gate = TheGate();
    gate.open = false;
    gate.entered = 0;
    writes = 0;
    DepthJobs* jobs = StartDepthJobs(std::vector<std::uint32_t>(W * H, 0x808080),
                                     std::vector<std::uint32_t>(W * H, 0x808080), W, H, GatedStereo,
                                     ImageWriter{NoWrite, NoWriteGrey});
    SubmitDepthJob(jobs, Request(1, true));
    WaitUntilEntered(1);
    SubmitDepthJob(jobs, Request(2, true));
    // The gate never opens: only calling the pass off ends it.
    const std::vector<DepthResult> rest = StopDepthJobs(jobs, DEPTH_CALL_OFF);
    ASSERT_EQ(rest.size(), 2u) << "every Save reports";
    for (const DepthResult& result : rest) {
        EXPECT_TRUE(result.cancelled);
        EXPECT_EQ(result.written, 0u);
    }
    EXPECT_EQ(writes, 0) << "a file after the pass called off";
    EXPECT_EQ(gate.entered, 1) << "the waiting Save never reached the matcher";
}

int FlatStereo(const CvArr*, const CvArr*, int, CvArr* depth, int, double, double, double, double,
               double, const std::atomic<bool>*) {
    cvSetZero(depth);
    return 0;
}

int FailLeft(const char* path, ImageFileFormat, const std::uint32_t*, int, int, int,
             std::string* reason) {
    if (std::string(path).ends_with("_Left.png")) {
        *reason = "disk full";
        return IMAGE_IO_WRITE_FAILED;
    }
    return IMAGE_IO_OK;
}

// A Save's wiggle GIF and anaglyph are written on the jobs thread with its views and map, and
// its result counts each file and keeps the first failure.
TEST(DepthJobs, ASaveCountsItsExtraFilesAndItsFailures) {
    Watchdog watchdog(std::chrono::seconds(60));
    TempFolder folder;
    const int W = 40, H = 30;
    std::vector<std::uint32_t> view(W * H);
    for (int i = 0; i < W * H; ++i) {
        view[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    }
    DepthJobs* jobs =
        StartDepthJobs(view, view, W, H, FlatStereo, ImageWriter{FailLeft, NoWriteGrey});
    DepthRequest request = Request(8, true);
    request.extras = true;
    request.names = MakeSaveNames(folder.path.c_str(), "B");
    SubmitDepthJob(jobs, request);
    const std::vector<DepthResult> results = StopDepthJobs(jobs);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].cancelled);
    EXPECT_EQ(results[0].status, DEPTH_DONE);
    EXPECT_EQ(results[0].written, unsigned(DEPTH_FILE_RIGHT | DEPTH_FILE_MAP));
    EXPECT_EQ(results[0].failure, "disk full");
    EXPECT_EQ(results[0].extrasWritten, 2);
    EXPECT_TRUE(std::filesystem::exists(folder.Path("B_wiggle.gif")));
}

TEST(DepthMapPicture, FitsTheSpaceAndSpansTheGreyRange) {
    std::vector<std::uint8_t> map(3000 * 2600, 50);
    map[0] = 100;
    std::vector<std::uint8_t> shown;
    int w = 0, h = 0;
    FitDepthMap(map.data(), 3000, 2600, 100, 600, 500, &shown, &w, &h);
    EXPECT_LE(w, 600);
    EXPECT_LE(h, 500);
    EXPECT_GE(h, 498) << "the height limits, and is used";
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(w) * h);
    EXPECT_EQ(shown[w * h / 2], 127) << "half of maxDisparity is mid-grey";

    const std::uint8_t small[] = {0, 10, 20, 30};
    FitDepthMap(small, 2, 2, 20, 600, 500, &shown, &w, &h);
    EXPECT_EQ(w, 2) << "a small map keeps its size";
    EXPECT_EQ(shown, (std::vector<std::uint8_t>{0, 127, 255, 255}));
}

} // namespace
