// The application shell in-process: the failure display, for a failing command, a failing
// creation handler and exceptions of every kind.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ControlIds.h"
#include "Errors.h"

#include "ShellFixture.h"

namespace pelmora::app::test_shell {
namespace {

using test::BoxWatcher;
using test::IsTopMost;
using test::PumpUntil;
using test::TextOfA;

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
    EXPECT_EQ(boxes[0].text, WideFromAnsi(path) + L" に書き込めません.");
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
}  // namespace pelmora::app::test_shell
