// Both boxes as the framework runs them: owned and pumped by a worker thread while the user's
// input arrives on the GUI thread.
#include "box_fixture.h"

#include <atomic>
#include <thread>

using namespace boxtest;
using namespace platform::testing;

namespace {

// Pumps the worker's messages (with the dialog keys) until done() holds; worker side only.
bool PumpOnWorkerUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        PumpBoxes();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

class WorkerBoxesTest : public BoxTest {};

TEST_F(WorkerBoxesTest, TypingAndClickingReachTheWorkersBoxes) {
    qivtest::Worker worker;
    HWND field0 = nullptr;
    HWND field1 = nullptr;
    worker.Call([&] {
        QIV_OpenInputBox(10, 300, 3);
        field0 = qiv_inputBox.edit[0];
        field1 = qiv_inputBox.edit[1];
    });
    ASSERT_NE(field1, nullptr);
    bool ok = false;
    KeyPress(field0, VK_TAB);
    worker.Call([&] { ok = PumpOnWorkerUntil([&] { return GetFocus() == field1; }); });
    EXPECT_TRUE(ok) << "Tab moved the worker's focus";
    TypeText(field1, L"12");
    int beforeEnter = -1;
    worker.Call([&] {
        PumpOnWorkerUntil([&] { return GetWindowTextLengthW(field1) == 2; });
        beforeEnter = QIV_GetInputBoxInt(1);
    });
    EXPECT_EQ(beforeEnter, 0);
    KeyPress(field1, VK_RETURN);
    worker.Call([&] { ok = PumpOnWorkerUntil([] { return QIV_GetInputBoxInt(1) == 12; }); });
    EXPECT_TRUE(ok) << "Enter captured the typed value";

    HWND button2 = nullptr;
    worker.Call([&] {
        QIV_OpenButtonBox(400, 300, 3, 2);
        button2 = qiv_buttonBox.button[2];
    });
    ASSERT_NE(button2, nullptr);
    Click(button2, Button::Left, 10, 10);
    Click(button2, Button::Left, 10, 10);
    int presses = 0;
    worker.Call([&] {
        PumpOnWorkerUntil([] { return qiv_buttonBox.pressCount[2] == 2; });
        presses = QIV_CheckButton(2);
    });
    EXPECT_EQ(presses, 2);
    worker.Call([] {
        QIV_DestroyInputBox();
        QIV_DestroyButtonBox();
    });
}

} // namespace
