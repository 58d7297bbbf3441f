// Depth passes off the loop: a pass held up by the matcher lets the loop ask again, only the
// newest map request runs after it, a Save is never dropped, and results never go back in
// time. Also the map's picture for the display.
#include "stereo/depth_jobs.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
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

int GatedStereo(const CvArr*, const CvArr*, int, CvArr* depth, int maxDisparity, double, double,
                double, double, double) {
    Gate& gate = TheGate();
    std::unique_lock lock(gate.mutex);
    ++gate.entered;
    gate.maxDisparities.push_back(maxDisparity);
    gate.changed.notify_all();
    gate.changed.wait(lock, [&] { return gate.open; });
    cvSetZero(depth);
    return 0;
}

int NoWrite(const char*, ImageFileFormat, const std::uint32_t*, int, int, int, std::string*) {
    return 0;
}
int NoWriteGrey(const char*, const std::uint8_t*, int, int, int, std::string*) {
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
    {
        std::unique_lock lock(gate.mutex);
        gate.changed.wait(lock, [&] { return gate.entered == 1; });
    }
    // While pass 1 runs, the loop goes on asking.
    SubmitDepthJob(jobs, Request(2));
    SubmitDepthJob(jobs, Request(3, true));
    SubmitDepthJob(jobs, Request(4));
    SubmitDepthJob(jobs, Request(5));
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
            sequences.push_back(result.sequence);
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(sequences, (std::vector<long>{1, 3, 5}));
    EXPECT_EQ(gate.maxDisparities, (std::vector<int>{1, 3, 5}));
    EXPECT_TRUE(StopDepthJobs(jobs).empty());
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
