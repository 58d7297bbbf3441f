// A deadline for a test that waits on other threads: if the test is still running when the
// deadline passes, the whole test program fails at once instead of hanging.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::snprintf(name_, sizeof name_, "%s.%s", info ? info->test_suite_name() : "?",
                      info ? info->name() : "?");
        thread_ = std::thread([this, limit] {
            std::unique_lock lock(mutex_);
            if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
                std::fprintf(stderr, "watchdog: %s still running after %lld s\n", name_,
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(3);
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    char name_[256];
    std::thread thread_;
};

// Fixture giving every test of a suite a deadline generous enough for sanitizer builds.
class DeadlineTest : public testing::Test {
protected:
    Watchdog watchdog_{std::chrono::seconds(120)};
};
