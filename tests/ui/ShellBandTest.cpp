// The application shell in-process: minimising and restoring the whole application, the
// always-on-top band while the application is inactive, and activation handed on by the
// application window.
#include <gtest/gtest.h>

#include "ShellFixture.h"

namespace pelmora::app::test_shell {
namespace {

using test::IsAbove;
using test::IsTopMost;
using test::PumpUntil;
using test::TextOfA;

TEST_F(ShellTest, MinimisingTheMainWindowMinimisesTheWholeApplication) {
    Start(SW_SHOWNORMAL);
    const HWND memo = Main().ControlHandle(ui::MainWindow::kReadout);
    SetWindowTextA(memo, "typed by the user");
    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump(50);
    EXPECT_TRUE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(app));  // the taskbar button stays
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(checker));
    EXPECT_FALSE(IsTopMost(checker));

    SendMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump(50);
    EXPECT_FALSE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(checker));
    EXPECT_TRUE(IsTopMost(checker));
    EXPECT_TRUE(IsAbove(checker, main));
    EXPECT_EQ(GetActiveWindow(), main);
    // No show handler ran again: the readout keeps what was typed until the checker changes.
    EXPECT_EQ(TextOfA(memo), "typed by the user");
    SendMessageW(checker, WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(TextOfA(memo), "pos_x=498\r\npos_y=114\r\nwidth=244");
    EXPECT_EQ(application->Band().TakenOutLevel(), 0);
}

TEST_F(ShellTest, InactiveApplicationLetsOtherWindowsCoverTheChecker) {
    Start(SW_SHOWNORMAL);
    ASSERT_TRUE(IsTopMost(checker));
    // Another thread's window becomes active: for this thread, another application.
    const test::OtherApplication other;
    EXPECT_TRUE(PumpUntil([&] { return other.Window() && !IsTopMost(checker); }));
    EXPECT_TRUE(IsAbove(checker, main));  // still above the program's own ordinary window
    EXPECT_TRUE(IsWindowVisible(checker));

    SetForegroundWindow(main);
    EXPECT_TRUE(PumpUntil([&] { return IsTopMost(checker); }));
    EXPECT_EQ(application->Band().TakenOutLevel(), 0);
}

TEST_F(ShellTest, ComingBackThroughTheApplicationWindowActivatesTheWindowActiveBefore) {
    Start(SW_SHOWNORMAL);
    SetActiveWindow(checker);
    Pump(20);
    ASSERT_EQ(GetActiveWindow(), checker);
    const test::OtherApplication other;
    ASSERT_TRUE(PumpUntil([&] { return other.Window() && !IsTopMost(checker); }));
    // As a click on the taskbar button does: the application window is activated.
    SetForegroundWindow(app);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == checker; }));
    EXPECT_TRUE(PumpUntil([&] { return IsTopMost(checker); }));
}

TEST_F(ShellTest, TakingOutOfTheBandNests) {
    Start(SW_SHOWNORMAL);
    application->Band().TakeOut();
    application->Band().TakeOut();
    EXPECT_FALSE(IsTopMost(checker));
    EXPECT_TRUE(IsAbove(checker, main));
    application->Band().PutBack();
    EXPECT_FALSE(IsTopMost(checker));  // only the matching last request puts it back
    application->Band().PutBack();
    EXPECT_TRUE(IsTopMost(checker));
    application->Band().PutBack();  // unmatched: nothing
    EXPECT_TRUE(IsTopMost(checker));
    EXPECT_EQ(application->Band().TakenOutLevel(), 0);
}

TEST_F(ShellTest, ActivatingTheApplicationWindowActivatesTheWindowActiveLast) {
    // As when its taskbar button is clicked: the window of zero size passes activation on.
    Start(SW_SHOWNORMAL);
    SetActiveWindow(checker);
    Pump(20);
    ASSERT_EQ(GetActiveWindow(), checker);
    SetActiveWindow(app);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == checker; }));
    SetActiveWindow(main);
    Pump(20);
    SetActiveWindow(app);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));
}

}  // namespace
}  // namespace pelmora::app::test_shell
