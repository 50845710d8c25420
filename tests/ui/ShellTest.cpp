// The application shell in-process: the application window, start-up show requests, minimising
// and restoring the whole application, the stay-on-top bookkeeping and the failure display.
#include <gtest/gtest.h>

#include <memory>

#include "ApplicationShell.h"
#include "ControlIds.h"
#include "Errors.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "CheckerWindow.h"

namespace pelmora::app {
namespace {

using test::BoxWatcher;
using test::IsAbove;
using test::IsTopMost;
using test::Pump;
using test::PumpUntil;
using test::TextOf;
using test::TextOfA;
using test::WriteBytes;

class ShellTest : public ::testing::Test {
  protected:
    // The program's start-up, with the settings file in a temporary folder.
    void Start(int showCommand, const std::string& ini = "[A]\r\n[B]\r\n") {
        WriteBytes(path, ini);
        application = std::make_unique<ApplicationShell>();
        app = application->Handle();
        application->CreateWindows([this] { return path; });
        main = Main().Handle();
        checker = application->Checker()->Handle();
        application->ShowAtStart(showCommand);
        Pump(100);
    }
    void TearDown() override {
        application.reset();
        Pump(20);
    }
    // The program's message loop, ended here when it has not ended by itself in good time: the
    // test then fails, naming what should have ended it.
    int RunMessageLoop(const char* whatEndsIt) {
        loopTimedOut = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, kLoopLimitMs, &EndLoop);
        const int result = application->MessageLoop();
        KillTimer(nullptr, timer);
        if (loopTimedOut) {
            ADD_FAILURE() << "the message loop did not end within " << kLoopLimitMs << " ms of "
                          << whatEndsIt;
        }
        return result;
    }
    static constexpr UINT kLoopLimitMs = 5000;
    static inline bool loopTimedOut = false;
    static void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) {
        loopTimedOut = true;
        PostQuitMessage(-1);
    }

    ui::MainWindow& Main() const { return *application->Main(); }
    std::vector<std::string> Items() const {
        return test::ComboItems(Main().ControlHandle(ui::MainWindow::kNameBox));
    }

    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");
    std::unique_ptr<ApplicationShell> application;
    HWND app = nullptr, main = nullptr, checker = nullptr;
};

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

TEST_F(ShellTest, FailedDeleteIsShownOnceAndTheProgramGoesOn) {
    Start(SW_SHOWNORMAL);
    HWND combo = Main().ControlHandle(ui::MainWindow::kNameBox);
    Main().NameBox().SetText("A");
    SetFocus(combo);
    HWND focus = GetFocus();
    // The settings file can't be written: a folder stands at its path.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    // Wherever the application window was, the box comes up on the active window's monitor.
    SetWindowPos(app, nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetCapture(main);

    const POINT centre{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    BoxWatcher watcher([&] {
        RECT appRect{};
        GetWindowRect(app, &appRect);
        return std::vector<bool>{
            !IsWindowEnabled(main),
            !IsWindowEnabled(checker),
            !IsTopMost(checker),
            appRect.left == centre.x && appRect.top == centre.y,
        };
    });
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ui::kDeleteId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, ui::kDeleteId)));
    Pump(400);  // time for a second box, should there be one

    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, test::Wide(path) + L" に書き込めません.");
    EXPECT_EQ(boxes[0].caption, L"Pelmora");
    EXPECT_EQ(boxes[0].owner, app);
    EXPECT_EQ(boxes[0].observations, (std::vector<bool>{true, true, true, true}))
        << "waited for while the box was up: the main window disabled, the checker disabled, the "
           "checker out of the band, the application window at the screen's centre";

    // Afterwards: everything as before, the list unchanged.
    EXPECT_EQ(GetCapture(), nullptr);  // the capture holder was told to cancel
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(checker));
    EXPECT_TRUE(IsWindowEnabled(app));
    EXPECT_TRUE(IsTopMost(checker));
    EXPECT_EQ(application->Band().TakenOutLevel(), 0);
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), focus);
    RECT appRect{};
    GetWindowRect(app, &appRect);
    EXPECT_EQ(appRect.left, 3);
    EXPECT_EQ(appRect.top, 4);
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(TextOfA(combo), "A");
    RemoveDirectoryA(path.c_str());
}

TEST_F(ShellTest, FailureOfTheCreationHandlerIsShownAndStartUpGoesOn) {
    application = std::make_unique<ApplicationShell>();
    app = application->Handle();
    BoxWatcher watcher;
    bool fail = true;
    application->CreateWindows([&]() -> std::string {
        if (fail) throw Exception("C:\\no\\pelmora.ini");
        return path;
    });
    fail = false;
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Boxes().empty(); }));
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"C:\\no\\pelmora.ini.");
    EXPECT_EQ(boxes[0].caption, L"Pelmora");
    ASSERT_NE(application->Main(), nullptr);
    EXPECT_TRUE(IsWindow(Main().Handle()));
    application->ShowAtStart(SW_SHOWNORMAL);
    Pump(50);
    EXPECT_TRUE(IsWindowVisible(Main().Handle()));
    EXPECT_TRUE(IsWindowVisible(application->Checker()->Handle()));
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

TEST_F(ShellTest, ClosingFromTheTaskbarButtonClosesTheMainWindow) {
    Start(SW_SHOWNORMAL);
    SendMessageW(app, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(RunMessageLoop("the close command of the taskbar button"), 0);
}

TEST_F(ShellTest, ExceptionsOfEveryKindReachTheDisplayWithTheirText) {
    Start(SW_SHOWNORMAL);
    BoxWatcher watcher;
    application->ShowException(std::make_exception_ptr(ENameBoxException()));
    application->ShowException(std::make_exception_ptr(std::runtime_error("plain failure!")));
    application->ShowException(std::make_exception_ptr(Exception("")));
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, L"行を挿入できません.");
    EXPECT_EQ(boxes[1].text, L"plain failure!");
    EXPECT_EQ(boxes[2].text, L"");
    EXPECT_EQ(GetActiveWindow(), main);
}

}  // namespace
}  // namespace pelmora::app
