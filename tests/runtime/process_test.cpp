// The program as a process: instance numbers across processes and the exit code after Exit,
// also when the user program ignores Stop.
#include "tests/support/program_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/watchdog.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace qivtest;

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int out = -1;
    std::string buffered;

    ~Child() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) {
            close(out);
        }
    }

    bool Start(const char* mode, const char* directory = nullptr) {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            setenv("QIV_TEST_PROGRAM", mode, 1);
            if (directory != nullptr && chdir(directory) != 0) {
                _exit(126);
            }
            execl(QIV_TEST_PROGRAM, QIV_TEST_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        out = fds[0];
        return pid > 0;
    }

    // The next line the program prints, or "" if none comes within the limit.
    std::string ReadLine(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        auto deadline = Clock::now() + limit;
        for (;;) {
            auto newline = buffered.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffered.substr(0, newline);
                buffered.erase(0, newline + 1);
                return line;
            }
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return {};
            }
            pollfd p = {out, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                continue;
            }
            char chunk[256];
            ssize_t n = read(out, chunk, sizeof chunk);
            if (n <= 0) {
                return {};
            }
            buffered.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // The exit code, or -1 if the process is still running after the limit (or was killed).
    int Wait(std::chrono::milliseconds limit) {
        auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            int status = 0;
            pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

    void Kill() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { IsolateInstances(); }
};

TEST_F(ProcessTest, AClosedInstanceNumberIsTakenByTheNextProgram) {
    Watchdog watchdog(std::chrono::seconds(60), "instances");
    Child first, second, third, fourth;
    ASSERT_TRUE(first.Start("idle"));
    EXPECT_EQ(first.ReadLine(), "instance 0");
    ASSERT_TRUE(second.Start("idle"));
    EXPECT_EQ(second.ReadLine(), "instance 1");
    ASSERT_TRUE(third.Start("idle"));
    EXPECT_EQ(third.ReadLine(), "instance 2");
    second.Kill();
    ASSERT_TRUE(fourth.Start("idle"));
    EXPECT_EQ(fourth.ReadLine(), "instance 1");
}

TEST_F(ProcessTest, ProgramsStartedTogetherTakeDifferentInstanceNumbers) {
    Watchdog watchdog(std::chrono::seconds(60), "instances together");
    Child children[4];
    for (Child& child : children) {
        ASSERT_TRUE(child.Start("idle"));
    }
    std::set<std::string> seen;
    for (Child& child : children) {
        seen.insert(child.ReadLine(std::chrono::seconds(20)));
    }
    EXPECT_EQ(seen,
              (std::set<std::string>{"instance 0", "instance 1", "instance 2", "instance 3"}));
}

TEST_F(ProcessTest, ExitWhileIdleEndsTheProcessWithCodeZero) {
    Watchdog watchdog(std::chrono::seconds(30), "exit when idle");
    Child child;
    ASSERT_TRUE(child.Start("exit-when-idle"));
    EXPECT_EQ(child.ReadLine(), "instance 0");
    EXPECT_EQ(child.Wait(std::chrono::seconds(10)), 0);
}

TEST_F(ProcessTest, AFolderNamedOutsideAsciiIsAPlaceToStartIn) {
    Watchdog watchdog(std::chrono::seconds(30), "start in a named folder");
    TempFolder folder("qiv-写真");
    Child child;
    ASSERT_TRUE(child.Start("exit-when-idle", folder.path.c_str()));
    EXPECT_EQ(child.ReadLine(), "instance 0");
    EXPECT_EQ(child.Wait(std::chrono::seconds(10)), 0);
}

TEST_F(ProcessTest, ExitEndsTheProcessAfterTheGraceWhenTheUserProgramIgnoresStop) {
    Watchdog watchdog(std::chrono::seconds(30), "exit ignoring stop");
    Child child;
    ASSERT_TRUE(child.Start("exit-ignoring-stop"));
    EXPECT_EQ(child.ReadLine(), "instance 0");
    ASSERT_EQ(child.ReadLine(), "running");
    auto exitChosen = Clock::now();
    EXPECT_EQ(child.Wait(std::chrono::seconds(15)), 0);
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - exitChosen);
    // The 2 s grace, give or take the time the Exit command took to arrive.
    EXPECT_GE(waited.count(), 1900);
}

} // namespace
