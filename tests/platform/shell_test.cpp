// FindWindowW across processes, and the command line.
#include "platform/user/command_line.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A helper process holding a window of the class; killed by the destructor.
class Helper {
public:
    explicit Helper(const std::string& className) {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            execl(QIV_FIND_WINDOW_HELPER, QIV_FIND_WINDOW_HELPER, className.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Blocks until the helper has its window; it answers at once or dies.
        char line[16] = {};
        FILE* out = fdopen(fds[0], "r");
        ready = out && std::fgets(line, sizeof line, out) && std::string(line) == "ready\n";
        if (out) {
            std::fclose(out);
        }
    }
    ~Helper() { Kill(); }
    void Kill() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    bool ready = false;

private:
    pid_t pid = -1;
};

std::string UniqueClass(const char* stem) {
    return std::string(stem) + "_" + std::to_string(getpid());
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

TEST(FindWindowTest, SeesAnotherProcessUntilItIsKilled) {
    std::string name = UniqueClass("qivlib_mw_test");
    EXPECT_EQ(FindWindowW(Wide(name).c_str(), nullptr), nullptr);
    Helper helper(name);
    ASSERT_TRUE(helper.ready);
    EXPECT_NE(FindWindowW(Wide(name).c_str(), nullptr), nullptr);
    // Class names match regardless of case, as in Win32.
    std::wstring upper = Wide(name);
    for (auto& c : upper) {
        c = static_cast<wchar_t>(towupper(c));
    }
    EXPECT_NE(FindWindowW(upper.c_str(), nullptr), nullptr);
    // A killed process leaves no stale entry behind.
    helper.Kill();
    EXPECT_EQ(FindWindowW(Wide(name).c_str(), nullptr), nullptr);
}

TEST(FindWindowTest, FindsOwnTopLevelWindowsByClassAndTitle) {
    std::wstring name = Wide(UniqueClass("qiv_own"));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = name.c_str();
    ASSERT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(RegisterClassW(&wc), 0); // already registered
    HWND hwnd = CreateWindowExW(0, name.c_str(), L"title", WS_CAPTION, 0, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, name.c_str(), L"child", WS_CHILD, 0, 0, 5, 5, hwnd, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(FindWindowW(name.c_str(), nullptr), hwnd);
    EXPECT_EQ(FindWindowW(name.c_str(), L"title"), hwnd);
    EXPECT_EQ(FindWindowW(name.c_str(), L"other"), nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"child"), nullptr);    // children are not top-level
    EXPECT_FALSE(UnregisterClassW(name.c_str(), nullptr)); // still in use
    DestroyWindow(hwnd);
    EXPECT_EQ(FindWindowW(name.c_str(), nullptr), nullptr);
    EXPECT_TRUE(UnregisterClassW(name.c_str(), nullptr));
    EXPECT_EQ(
        CreateWindowExW(0, name.c_str(), L"", 0, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

std::vector<std::wstring> Split(const wchar_t* line) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line, &count);
    std::vector<std::wstring> args;
    for (int i = 0; i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    EXPECT_EQ(argv[count], nullptr);
    LocalFree(argv);
    return args;
}

TEST(CommandLineTest, SplitsWithWin32QuotingRules) {
    auto args = Split(L"\"C:\\Program Files\\q.exe\" a\\\\b \"c d\" e\\\"f \"g\\\\\" \"\"  h\"\"i");
    ASSERT_EQ(args.size(), 7u);
    EXPECT_EQ(args[0], L"C:\\Program Files\\q.exe");
    EXPECT_EQ(args[1], L"a\\\\b"); // backslashes not before a quote stay
    EXPECT_EQ(args[2], L"c d");
    EXPECT_EQ(args[3], L"e\"f"); // \" is a literal quote
    EXPECT_EQ(args[4], L"g\\");  // \\" is one backslash and a closing quote
    EXPECT_EQ(args[5], L"");     // "" is an empty argument
    EXPECT_EQ(args[6], L"hi");
    int count = 0;
    EXPECT_EQ(CommandLineToArgvW(L"x", nullptr), nullptr);
    LPWSTR* only = CommandLineToArgvW(L"prog", &count);
    EXPECT_EQ(count, 1);
    LocalFree(only);
}

TEST(CommandLineTest, ProgramArgumentsSurviveTheRoundTrip) {
    const char* raw[] = {"/usr/bin/qiv stereo",         "left right.jpg", "say \"hi\"", "end\\", "",
                         "\xe5\x86\x99\xe7\x9c\x9f.png"};
    std::vector<char*> argv;
    for (const char* a : raw) {
        argv.push_back(const_cast<char*>(a));
    }
    platform::SetProcessArguments(static_cast<int>(argv.size()), argv.data());
    auto args = Split(GetCommandLineW());
    ASSERT_EQ(args.size(), 6u);
    EXPECT_EQ(args[0], L"/usr/bin/qiv stereo");
    EXPECT_EQ(args[1], L"left right.jpg");
    EXPECT_EQ(args[2], L"say \"hi\"");
    EXPECT_EQ(args[3], L"end\\");
    EXPECT_EQ(args[4], L"");
    EXPECT_EQ(args[5], L"\u5199\u771f.png");
    // WinMain's narrow command line holds the arguments after the program name.
    EXPECT_EQ(platform::ProcessArgumentsNarrow().rfind("\"left right.jpg\"", 0), 0u);
}

} // namespace
