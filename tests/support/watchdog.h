// A deadline for a test that waits on other threads or pumps: if it is not destroyed in time,
// the whole test program fails at once with a message, instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class Watchdog {
public:
    // what names the test in the message; by default the running test's name.
    explicit Watchdog(std::chrono::milliseconds limit, std::string what = {}) {
        if (what.empty()) {
            const auto* info = testing::UnitTest::GetInstance()->current_test_info();
            what = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
        }
        thread_ = std::thread([this, limit, what] {
            std::unique_lock lock(mutex_);
            if (!disarmed_.wait_for(lock, limit, [this] { return done_; })) {
                std::fprintf(stderr, "watchdog: %s did not finish within %lld ms\n", what.c_str(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::abort();
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        disarmed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable disarmed_;
    bool done_ = false;
    std::thread thread_;
};

// A fixture giving every test of a suite a deadline generous enough for sanitizer builds.
class DeadlineTest : public testing::Test {
protected:
    Watchdog watchdog_{std::chrono::seconds(120)};
};
