// The whole program started in the test process: the real start-up, main window and worker,
// with a test user program whose body each test chooses. The test thread is the main thread.
#pragma once

#include "platform/testing.h"
#include "platform/win32.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace qivtest {

// What the test user program has done.
struct UserProgramLog {
    std::atomic<int> initCalls{0};
    std::atomic<int> mainCalls{0};
    std::atomic<int> mainReturns{0};
    std::atomic<int> stopSeenAtStart{-1};
    std::atomic<int> runningSeenAtStart{-1};
};
UserProgramLog& UserLog();
void ResetUserLog();

// The body UserMain runs (on the worker); set before Start.
void SetUserBody(std::function<void()> body);

// A body that pumps the worker's messages until Stop is chosen (at most ten seconds).
void PumpUntilStopped();

// Starts the program (StartProgram) and checks it runs; false if it did not.
bool StartTestProgram();
// Exit through the main window and the message loop, then shutdown; the program is gone
// afterwards.
void EndTestProgram();
// Starts body as the user program (Start from the main window) and returns at once.
void StartUserProgram(std::function<void()> body);
// Pumps the main thread until the user program has returned and the worker idles again.
bool WaitUserProgram(std::chrono::milliseconds limit = std::chrono::seconds(30));
// Both: body runs on the worker while the main thread pumps.
bool RunUserProgram(std::function<void()> body);
// Pumps the main thread until done() or the limit; the worker keeps running meanwhile.
bool PumpMainUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(5));

// A suite sharing one running program, started before its first test and ended after its last;
// each test runs under a watchdog of the given limit.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(std::chrono::seconds limit = std::chrono::seconds(20)) : limit(limit) {}
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

private:
    std::chrono::seconds limit;
    std::unique_ptr<Watchdog> watchdog;
};

// Every runtime test runs on a private per-process directory of window classes, so that
// programs of other test runs on the machine do not change the instance numbers seen here.
void IsolateInstances();

} // namespace qivtest
