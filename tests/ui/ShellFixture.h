// What the shell's tests share: the program's start-up in-process, with the settings file in a
// temporary folder, and its message loop with a time limit.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ApplicationShell.h"
#include "CheckerWindow.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "UiTestSupport.h"

namespace pelmora::app::test_shell {

using test::Pump;
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

}  // namespace pelmora::app::test_shell
