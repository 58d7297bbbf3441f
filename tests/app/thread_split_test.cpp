// The work split shared by the matcher and the automatic alignment: every task once, every
// thread index once, and a task's exception at the caller.
#include "stereo/thread_split.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

class ThreadSplit : public DeadlineTest {};

TEST_F(ThreadSplit, EveryTaskAndThreadOnce) {
    for (int threads : {1, 2, 4}) {
        for (int count : {0, 1, 7, 1000}) {
            const auto runs = std::make_unique<std::atomic<int>[]>(size_t(count) + 1);
            stereo::ForEachTask(threads, count, stereo::ThreadShortage::SHARE,
                                [&](int i) { ++runs[size_t(i)]; });
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(runs[size_t(i)], 1) << threads << " threads, task " << i << "/" << count;
            }
        }
        std::atomic<int> seen[4] = {};
        std::atomic<bool> zeroIsCaller{false};
        const std::thread::id caller = std::this_thread::get_id();
        stereo::RunOnThreads(threads, stereo::ThreadShortage::FAIL, [&](int t) {
            ++seen[t];
            if (t == 0) {
                zeroIsCaller = std::this_thread::get_id() == caller;
            }
        });
        for (int t = 0; t < threads; ++t) {
            EXPECT_EQ(seen[t], 1) << threads << " threads, index " << t;
        }
        EXPECT_TRUE(zeroIsCaller);
    }
}

// A throwing task stops the handing out and its exception reaches the caller from whichever
// thread ran it.
TEST_F(ThreadSplit, TaskExceptionReachesTheCaller) {
    std::atomic<int> started{0};
    EXPECT_THROW(stereo::ForEachTask(1, 10, stereo::ThreadShortage::SHARE,
                                     [&](int) {
                                         ++started;
                                         throw std::runtime_error("task");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(started, 1);
    for (int thrower : {0, 1}) {
        EXPECT_THROW(stereo::RunOnThreads(2, stereo::ThreadShortage::FAIL,
                                          [&](int t) {
                                              if (t == thrower) {
                                                  throw std::runtime_error("thread");
                                              }
                                          }),
                     std::runtime_error)
            << "thrown on thread " << thrower;
    }
}

} // namespace
