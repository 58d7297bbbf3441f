// The whole program for the text window's commands, started in a fresh folder with a
// Japanese name, where its logs go; and what the tests read back.
#pragma once

#include "tests/support/program_fixture.h"

#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/worker.h"
#include "tests/support/temp_folder.h"
#include "tests/support/watchdog.h"
#include "textwin/text_internal.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

inline std::string ClipboardText() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                text = bytes;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text;
}

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline int LogState(int n) {
    std::lock_guard lock(textwin::SlotLock(n));
    return qiv_text[n].logState;
}

class TextCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(90), "TextCommandsTest");
        folder = std::make_unique<TempFolder>("qiv-\xe6\x97\xa5\xe6\x9c\xac"); // 日本
        previous = std::filesystem::current_path();
        ASSERT_EQ(chdir(folder->path.c_str()), 0);
        ASSERT_TRUE(qivtest::StartTestProgram());
        platform::testing::InstallResponder();
        platform::testing::ClearShown();
    }
    void TearDown() override {
        // The boxes' state outlives the program in this process; the next test starts clean.
        qivtest::RunUserProgram([] {
            QIV_DestroyInputBox();
            QIV_DestroyButtonBox();
        });
        platform::testing::RemoveResponder();
        qivtest::EndTestProgram();
        std::filesystem::current_path(previous);
        folder.reset();
        watchdog.reset();
    }
    std::string LogPath(int n) {
        return folder->path + "/QIVLIB" + std::to_string(InstanceNumber) + std::to_string(n) +
               ".LOG";
    }

    std::unique_ptr<TempFolder> folder;
    std::filesystem::path previous;
    std::unique_ptr<Watchdog> watchdog;
};
