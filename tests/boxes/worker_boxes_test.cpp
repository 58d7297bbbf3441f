// Both boxes as the framework runs them: owned and pumped by a worker thread while the user's
// input arrives on the GUI thread. Every window here stays under 96 client rows: Qt paints
// taller areas in bands on its own thread pool, whose hand-overs the thread checker cannot
// see, and these suites run under it.
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

TEST_F(WorkerBoxesTest, AFailedInputBoxDestroyIsReportedAndTheBoxStillCountsAsClosed) {
    qivtest::Worker worker;
    HWND box = nullptr;
    worker.Call([&] {
        QIV_OpenInputBox(10, 10, 2);
        box = qiv_inputBox.window;
    });
    ASSERT_NE(box, nullptr);
    // Only the owning thread may destroy a window: from here DestroyWindow fails.
    QIV_DestroyInputBox();
    EXPECT_EQ(qiv_inputBox.window, nullptr);
    EXPECT_EQ(qiv_inputBox.text[0], nullptr);
    auto shown = ShownMessageBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"DestroyWindow[IB] Error");
    EXPECT_EQ(shown[0].caption, L"QIVLIB Error!");
    EXPECT_EQ(shown[0].type & 0xF0u, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(shown[0].owner, MainWindow);
    worker.Call([&] { DestroyWindow(box); });
}

TEST_F(WorkerBoxesTest, AFailedButtonBoxDestroyIsReportedAndTheBoxStillCountsAsClosed) {
    qivtest::Worker worker;
    HWND box = nullptr;
    worker.Call([&] {
        QIV_OpenButtonBox(10, 10, 2, 2);
        box = qiv_buttonBox.window;
    });
    ASSERT_NE(box, nullptr);
    QIV_DestroyButtonBox();
    EXPECT_EQ(qiv_buttonBox.window, nullptr);
    auto shown = ShownMessageBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"DestroyWindow[BB] error");
    EXPECT_EQ(shown[0].caption, L"QIVLIB error!");
    EXPECT_EQ(shown[0].type & 0xF0u, static_cast<UINT>(MB_ICONERROR));
    worker.Call([&] { DestroyWindow(box); });
}

} // namespace
