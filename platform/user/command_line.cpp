// GetCommandLineW and CommandLineToArgvW with Win32's quoting rules.
#include "platform/user/command_line.h"

#include "platform/user/text.h"
#include "platform/win32_shell.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::mutex commandLineMutex;
std::wstring commandLine;
std::string narrowArguments;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

std::vector<std::wstring> Split(const wchar_t* p) {
    std::vector<std::wstring> args;
    // The program name: quoted or up to the first blank, backslashes taken literally.
    std::wstring first;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') {
            first.push_back(*p++);
        }
        if (*p == L'"') {
            ++p;
        }
    } else {
        while (*p && !IsBlank(*p)) {
            first.push_back(*p++);
        }
    }
    args.push_back(first);
    for (;;) {
        while (IsBlank(*p)) {
            ++p;
        }
        if (!*p) {
            break;
        }
        std::wstring arg;
        bool quoted = false;
        while (*p && (quoted || !IsBlank(*p))) {
            if (*p == L'\\') {
                std::size_t n = 0;
                while (*p == L'\\') {
                    ++n;
                    ++p;
                }
                if (*p == L'"') {
                    arg.append(n / 2, L'\\');
                    if (n % 2) {
                        arg.push_back(L'"');
                        ++p;
                    }
                } else {
                    arg.append(n, L'\\');
                }
                continue;
            }
            if (*p == L'"') {
                if (quoted && p[1] == L'"') {
                    arg.push_back(L'"');
                    p += 2;
                    continue;
                }
                quoted = !quoted;
                ++p;
                continue;
            }
            arg.push_back(*p++);
        }
        args.push_back(arg);
    }
    return args;
}

} // namespace

void SetProcessArguments(int argc, char** argv) {
    std::lock_guard lock(commandLineMutex);
    commandLine.clear();
    narrowArguments.clear();
    for (int i = 0; i < argc && argv && argv[i]; ++i) {
        if (i > 0) {
            commandLine.push_back(L' ');
        }
        commandLine += Quote(Utf8ToWide(argv[i]));
        if (i > 0) {
            if (i > 1) {
                narrowArguments.push_back(' ');
            }
            narrowArguments += WideToUtf8(Quote(Utf8ToWide(argv[i])));
        }
    }
}

std::string ProcessArgumentsNarrow() {
    std::lock_guard lock(commandLineMutex);
    return narrowArguments;
}

} // namespace platform

using namespace platform;

LPWSTR GetCommandLineW() {
    static std::wstring stable;
    std::lock_guard lock(commandLineMutex);
    stable = commandLine;
    return stable.data();
}

LPWSTR* CommandLineToArgvW(LPCWSTR cmdLine, int* numArgs) {
    if (!numArgs) {
        return nullptr;
    }
    std::vector<std::wstring> args;
    if (!cmdLine || !*cmdLine) {
        std::vector<std::wstring> own = Split(GetCommandLineW());
        args.push_back(own.empty() ? std::wstring() : own.front());
    } else {
        args = Split(cmdLine);
    }
    // One block: the pointer array followed by the strings, released by LocalFree.
    std::size_t bytes = (args.size() + 1) * sizeof(LPWSTR);
    for (const auto& a : args) {
        bytes += (a.size() + 1) * sizeof(wchar_t);
    }
    auto* block = static_cast<char*>(std::malloc(bytes));
    if (!block) {
        return nullptr;
    }
    auto** argv = reinterpret_cast<LPWSTR*>(block);
    auto* text = reinterpret_cast<wchar_t*>(block + (args.size() + 1) * sizeof(LPWSTR));
    for (std::size_t i = 0; i < args.size(); ++i) {
        argv[i] = text;
        std::memcpy(text, args[i].c_str(), (args[i].size() + 1) * sizeof(wchar_t));
        text += args[i].size() + 1;
    }
    argv[args.size()] = nullptr;
    *numArgs = static_cast<int>(args.size());
    return argv;
}

HLOCAL LocalFree(HLOCAL mem) {
    std::free(mem);
    return nullptr;
}
