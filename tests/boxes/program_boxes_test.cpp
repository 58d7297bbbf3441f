// The boxes in the running program: the main window's requests open them on the worker, and
// its pump gives them their dialog keys.
#include "tests/support/program_fixture.h"

#include "runtime/qivlib.h"
#include "runtime/worker.h"
#include "tests/support/watchdog.h"

#include <memory>
#include <string>

using namespace qivtest;
using namespace platform::testing;

namespace {

class ProgramBoxesTest : public ::testing::Test {
protected:
    void SetUp() override {
        watchdog = std::make_unique<Watchdog>(std::chrono::seconds(30), "ProgramBoxesTest");
        IsolateInstances();
        ASSERT_TRUE(StartTestProgram());
    }
    void TearDown() override {
        EndTestProgram();
        watchdog.reset();
    }
    std::unique_ptr<Watchdog> watchdog;
};

// The worker owns the boxes: the test reads their state only after a request has been served,
// and otherwise asks their windows, which the layer answers safely across threads.
TEST_F(ProgramBoxesTest, RequestsOpenAndReplaceTheBoxesAndThePumpGivesDialogKeys) {
    RequestInputBox(3);
    ASSERT_NE(qiv_inputBox.window, nullptr);
    EXPECT_EQ(qiv_inputBox.items, 3);
    HWND first = qiv_inputBox.window;
    HWND field1 = qiv_inputBox.edit[1];
    KeyPress(qiv_inputBox.edit[0], VK_TAB);
    // Tab, handled by the worker's pump, selected the whole "0" of field 1.
    EXPECT_TRUE(
        PumpMainUntil([&] { return SendMessageW(field1, EM_GETSEL, 0, 0) == MAKELONG(0, 1); }));
    TypeText(field1, L"12");
    EXPECT_TRUE(PumpMainUntil([&] {
        wchar_t text[8] = {};
        GetWindowTextW(field1, text, 8);
        return std::wstring(text) == L"12";
    }));
    RequestInputBox(5);
    EXPECT_NE(qiv_inputBox.window, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(qiv_inputBox.items, 5);
    RequestButtonBox(3, 2);
    ASSERT_NE(qiv_buttonBox.window, nullptr);
    EXPECT_EQ(qiv_buttonBox.count, 6);
    RequestButtonBox(17, 16); // refused: the old box is gone and none replaces it
    EXPECT_EQ(qiv_buttonBox.window, nullptr);
}

} // namespace
