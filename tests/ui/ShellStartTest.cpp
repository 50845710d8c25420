// The application shell in-process: the application window, the start-up show requests, and the
// end of the message loop when the main window closes.
#include <gtest/gtest.h>

#include "ShellFixture.h"

namespace pelmora::app::test_shell {
namespace {

using test::IsAbove;
using test::IsTopMost;
using test::TextOf;
using test::TextOfA;

TEST_F(ShellTest, ApplicationWindowOwnsBothWindowsAndCarriesTheTitle) {
    Start(SW_SHOWNORMAL);
    EXPECT_EQ(test::ClassOf(app), L"TApplication");
    EXPECT_EQ(TextOf(app), L"Pelmora");
    EXPECT_EQ(application->Title(), "Pelmora");
    RECT rect{};
    GetWindowRect(app, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(rect.bottom - rect.top, 0);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_CYSCREEN) / 2);
    // The one taskbar button: an unowned, visible, ordinary (not tool) window.
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);
    EXPECT_FALSE(GetWindowLongW(app, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    EXPECT_EQ(GetWindow(main, GW_OWNER), app);
    EXPECT_EQ(GetWindow(checker, GW_OWNER), app);
}

TEST_F(ShellTest, NormalStartShowsCheckerFirstAndLeavesTheMainWindowActive) {
    Start(SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(checker));
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_TRUE(IsTopMost(checker));
    EXPECT_TRUE(IsAbove(checker, main));
    // The checker's show reported its geometry into the readout.
    EXPECT_EQ(TextOfA(Main().ControlHandle(ui::MainWindow::kReadout)),
              "pos_x=497\r\npos_y=114\r\nwidth=244");
}

TEST_F(ShellTest, MaximisedStartMaximisesTheMainWindowBeforeItIsShown) {
    Start(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(checker));
    EXPECT_EQ(TextOfA(Main().ControlHandle(ui::MainWindow::kReadout)),
              "pos_x=497\r\npos_y=114\r\nwidth=244");
}

TEST_F(ShellTest, MinimisedStartShowsOnlyTheTaskbarButtonUntilTheFirstRestore) {
    Start(SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_TRUE(IsIconic(app));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowVisible(checker));

    SendMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump(50);
    EXPECT_FALSE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_FALSE(IsZoomed(main));
    EXPECT_TRUE(IsWindowVisible(checker));
    EXPECT_EQ(TextOfA(Main().ControlHandle(ui::MainWindow::kReadout)),
              "pos_x=497\r\npos_y=114\r\nwidth=244");
    EXPECT_TRUE(IsTopMost(checker));
}

TEST_F(ShellTest, ClosingTheMainWindowEndsTheLoopAndTheShellDestroysBothWindows) {
    Start(SW_SHOWNORMAL);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop("closing the main window"), 0);
    EXPECT_TRUE(IsWindow(main));  // the loop only stops; the shell destroys
    application->DestroyWindows();
    EXPECT_FALSE(IsWindow(checker));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(application->Checker(), nullptr);
    EXPECT_EQ(application->Main(), nullptr);
}

TEST_F(ShellTest, ClosingFromTheTaskbarButtonClosesTheMainWindow) {
    Start(SW_SHOWNORMAL);
    SendMessageW(app, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(RunMessageLoop("the close command of the taskbar button"), 0);
}

}  // namespace
}  // namespace pelmora::app::test_shell
