#include "tests/support/program_fixture.h"

#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/worker.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace qivtest {
namespace {

std::mutex bodyMutex;
std::function<void()> userBody;

char instanceTag;

} // namespace

UserProgramLog& UserLog() {
    static UserProgramLog log;
    return log;
}

void ResetUserLog() {
    UserLog().initCalls = 0;
    UserLog().mainCalls = 0;
    UserLog().mainReturns = 0;
    UserLog().stopSeenAtStart = -1;
    UserLog().runningSeenAtStart = -1;
    SetUserBody(nullptr);
}

void SetUserBody(std::function<void()> body) {
    std::lock_guard lock(bodyMutex);
    userBody = std::move(body);
}

void PumpUntilStopped() {
    std::uint32_t t0 = QIV_GetTime();
    while (StopRequested.load() == 0 && QIV_GetTime() - t0 < 10000) {
        QIV_PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

namespace {
int returnsAwaited = 0;
} // namespace

void StartUserProgram(std::function<void()> body) {
    returnsAwaited = UserLog().mainReturns.load() + 1;
    SetUserBody(std::move(body));
    PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
}

bool WaitUserProgram(std::chrono::milliseconds limit) {
    return PumpMainUntil(
        [] { return UserLog().mainReturns.load() >= returnsAwaited && Running.load() == 0; },
        limit);
}

bool RunUserProgram(std::function<void()> body) {
    StartUserProgram(std::move(body));
    return WaitUserProgram();
}

void IsolateInstances() {
    static TempFolder folder("qiv-runtime-test");
    setenv("XDG_RUNTIME_DIR", folder.path.c_str(), 1);
}

bool StartTestProgram() {
    IsolateInstances();
    platform::testing::StartTestApplication();
    if (StartProgram(reinterpret_cast<HINSTANCE>(&instanceTag)) != 0) {
        return false;
    }
    // The worker has run UserInit once it idles.
    return PumpMainUntil([] { return UserLog().initCalls.load() > 0; });
}

bool PumpMainUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return platform::testing::PumpUntil(done, limit);
}

void ProgramTest::SetUpTestSuite() {
    Watchdog startWatch(std::chrono::seconds(20), "program start");
    ASSERT_TRUE(StartTestProgram());
}

void ProgramTest::TearDownTestSuite() {
    Watchdog endWatch(std::chrono::seconds(20), "program end");
    EndTestProgram();
}

void ProgramTest::SetUp() {
    ASSERT_NE(MainWindow, nullptr);
    watchdog = std::make_unique<Watchdog>(limit);
}

void ProgramTest::TearDown() {
    watchdog.reset();
}

void EndTestProgram() {
    if (!MainWindow) {
        return;
    }
    PostMessageW(MainWindow, WM_COMMAND, CMD_EXIT, 0);
    RunMessageLoop();
    ShutDownProgram();
}

} // namespace qivtest

void UserInit() {
    ++qivtest::UserLog().initCalls;
}

void UserMain() {
    auto& log = qivtest::UserLog();
    log.stopSeenAtStart = StopRequested.load();
    log.runningSeenAtStart = Running.load();
    ++log.mainCalls;
    std::function<void()> body;
    {
        std::lock_guard lock(qivtest::bodyMutex);
        body = qivtest::userBody;
    }
    if (body) {
        body();
    }
    ++log.mainReturns;
}
