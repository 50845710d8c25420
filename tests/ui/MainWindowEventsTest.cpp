// The main window, created for real under Wine: focus and Tab, Enter and Esc, the first showing,
// a click that comes while a command waits for the settings lock, and a failing creation handler.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CheckerWindow.h"
#include "ControlIds.h"
#include "Errors.h"
#include "Failure.h"
#include "SettingsLock.h"

#include "MainWindowFixture.h"

namespace pelmora::ui::test_main_window {
namespace {

using test::ReadBytes;
using test::TextOfA;

TEST_F(MainWindowTest, FocusGoesToTheNameBoxFirstAndBackToTheLastControlLater) {
    Make();
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    ASSERT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), edit);

    SetFocus(Control(MainWindow::kRecall));
    HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    Pump(20);
    ASSERT_EQ(GetActiveWindow(), other);
    SetActiveWindow(main);
    Pump(20);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kRecall));
    DestroyWindow(other);
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTabOrder) {
    Make();
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    ASSERT_EQ(GetFocus(), edit);
    const HWND forward[] = {Control(MainWindow::kRecall), Control(MainWindow::kReadout),
                            Control(MainWindow::kSave), Control(MainWindow::kDelete), edit};
    for (HWND next : forward) {
        PressTab(false);
        EXPECT_EQ(GetFocus(), next) << GetDlgCtrlID(next);
    }
    const HWND backward[] = {Control(MainWindow::kDelete), Control(MainWindow::kSave),
                             Control(MainWindow::kReadout), Control(MainWindow::kRecall), edit};
    for (HWND next : backward) {
        PressTab(true);
        EXPECT_EQ(GetFocus(), next) << GetDlgCtrlID(next);
    }
    // WM_NEXTDLGCTL: the next or previous control, or the control it names.
    SendMessageW(main, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kRecall));
    SendMessageW(main, WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(GetFocus(), edit);
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(MainWindow::kDelete)), TRUE);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kDelete));

    // Tab leaves the readout area without typing into it.
    SetFocus(Control(MainWindow::kReadout));
    const std::string before = TextOfA(Control(MainWindow::kReadout));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump(20);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kSave));
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), before);
}

TEST_F(MainWindowTest, EnterAndEscRunNoCommand) {
    Make("[A]\r\n[B]\r\n");
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    mainWindow->NameBox().SetText("A");
    for (HWND control : {edit, Control(MainWindow::kDelete), Control(MainWindow::kSave)}) {
        SetFocus(control);
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            PostMessageW(control, WM_KEYDOWN, key, 1);
            PostMessageW(control, WM_KEYUP, key, 0xC0000001);
        }
        Pump(30);
    }
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[B]\r\n");
    EXPECT_TRUE(IsWindowVisible(main));
    // In the readout area Enter starts a new line.
    HWND memo = Control(MainWindow::kReadout);
    SetFocus(memo);
    SendMessageW(memo, EM_SETSEL, 0, 0);
    PostMessageW(memo, WM_KEYDOWN, VK_RETURN, 1);
    Pump(30);
    EXPECT_EQ(TextOfA(memo), "\r\npos_x=\r\npos_y=\r\nwidth=");
}

TEST_F(MainWindowTest, ShowHandlerRunsAtTheFirstShowingOnly) {
    Make();
    CheckerWindow checkerWindow;
    checkerWindow.Create(nullptr);
    // Wired as the shell wires them.
    mainWindow->SetFirstShowAction([&] { checkerWindow.Show(); });
    checkerWindow.SetGeometryListener([&] { mainWindow->ShowCheckerGeometry(); });
    const HWND memo = Control(MainWindow::kReadout);
    ASSERT_FALSE(IsWindowVisible(checkerWindow.Handle()));
    // The show handler shows the checker, whose own show handler writes the readout.
    ShowWindow(main, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(checkerWindow.Handle()));
    EXPECT_EQ(TextOfA(memo), "pos_x=497\r\npos_y=114\r\nwidth=244");

    // Later showings run nothing: the checker, hidden meanwhile, stays hidden, and the readout
    // keeps what was typed into it.
    ShowWindow(checkerWindow.Handle(), SW_HIDE);
    SetWindowTextA(memo, "typed");
    for (int show : {SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE, SW_SHOWMAXIMIZED}) {
        ShowWindow(main, show);
    }
    Pump(20);
    EXPECT_FALSE(IsWindowVisible(checkerWindow.Handle()));
    EXPECT_EQ(TextOfA(memo), "typed");
}

// Another running copy holds the settings lock; while Save waits for it, another program presses
// Save through a message: that press runs after the waiting Save, not inside it.
TEST_F(MainWindowTest, AClickSentWhileACommandWaitsForTheLockRunsAfterIt) {
    Make("[A]\r\n");
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread otherCopy([&] {
        const SettingsLock lock;
        SetEvent(held);
        WaitForSingleObject(release, 30000);
    });
    ASSERT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0);
    std::atomic<bool> pressed{false};
    std::thread otherProgram([&] {
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(kSaveId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, kSaveId)));
        pressed = true;
        SetEvent(release);  // the other copy's command ends
    });

    mainWindow->NameBox().SetText("New");
    checker.geometry = {1, 2, 3, 4};
    Click(kSaveId);
    EXPECT_TRUE(pressed) << "the sent press was taken while the command waited";
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[New]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n");
    checker.geometry = {5, 6, 7, 8};
    Pump(50);
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[New]\r\npos_x=5\r\npos_y=6\r\nwidth=7\r\nheight=8\r\n");

    SetEvent(release);
    test::PumpUntil([&] { return pressed.load(); }, 30000);
    otherProgram.join();
    otherCopy.join();
    CloseHandle(held);
    CloseHandle(release);
}

// A readout attached to a new control writes into it, also when a write was still on its way to
// the control before, which went with it.
TEST(ReadoutArea, ANewControlGetsItsWriteAfterTheOldOneWentWithAWritePending) {
    const auto makeEdit = [] {
        return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                               nullptr);
    };
    HWND first = makeEdit();
    ReadoutControl readout(first);
    readout.SetText("a");
    DestroyWindow(first);
    HWND second = makeEdit();
    readout.Attach(second);
    readout.SetText("b");
    MSG message;
    EXPECT_TRUE(
        PeekMessageW(&message, second, kReadoutWriteMessage, kReadoutWriteMessage, PM_REMOVE));
    DestroyWindow(second);
}

TEST_F(MainWindowTest, FailingSettingsPathAtCreationLeavesTheWindowCreated) {
    // No shell here: the failure goes to the fallback handler; the window and its controls stay.
    bool fail = true;
    mainWindow = std::make_unique<MainWindow>(checker, [&]() -> std::string {
        if (fail) throw Exception("no settings path");
        return path;
    });
    mainWindow->Create(nullptr);
    ASSERT_TRUE(IsWindow(mainWindow->Handle()));
    EXPECT_NE(mainWindow->ControlHandle(MainWindow::kDelete), nullptr);
    fail = false;
    WriteBytes(path, "[X]\r\n");
    mainWindow->Commands().ListSettings("X");
    EXPECT_EQ(TextOfA(mainWindow->ControlHandle(MainWindow::kNameBox)), "X");
}

}  // namespace
}  // namespace pelmora::ui::test_main_window
