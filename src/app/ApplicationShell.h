// The application shell: the application window (owner of the program's windows and carrier of
// its one taskbar button), start-up, the event loop, minimising and restoring the application as
// a whole and handing the application window's activation on. It wires the windows, the
// always-on-top band (TopMostBand) and the failure display (FailureDisplay) together.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "BaseWindow.h"
#include "FailureDisplay.h"
#include "SettingCommands.h"
#include "TopMostBand.h"

namespace pelmora::ui {
class MainWindow;
class CheckerWindow;
}  // namespace pelmora::ui

namespace pelmora::app {

class ApplicationShell : public ui::BaseWindow<ApplicationShell> {
  public:
    static constexpr wchar_t kClassName[] = L"TApplication";

    // Creates the application window (zero size at the centre of the screen, hidden) with the
    // application title, and installs the failure display. Throws pelmora::Exception when the
    // system refuses the window.
    ApplicationShell();
    ~ApplicationShell();

    // "Pelmora": the taskbar button's text and every failure box's caption (ANSI).
    std::string Title() const { return kApplicationTitle; }

    // Creates the main window, then the checker window, both hidden and owned by the
    // application window, and wires them: the main window's commands work on the checker and
    // the settings file that `settingsPath` names. A failure of the main window's creation
    // handler is shown and the window stays.
    void CreateWindows(SettingCommands::PathSource settingsPath);
    // Destroys the checker window, then the main window.
    void DestroyWindows() noexcept;
    // The windows, while they exist.
    ui::MainWindow* Main() const noexcept { return main_.get(); }
    ui::CheckerWindow* Checker() const noexcept { return checker_.get(); }

    // Shows the windows as the start-up show request asks, then runs the event loop until the
    // main window is closed. Returns the exit code.
    int Run(int showCommand);
    // The first part of Run: the showing at start-up.
    void ShowAtStart(int showCommand);
    // Dispatches events until the application is told to end.
    int MessageLoop();

    // Minimises the whole application: every program window disappears, the application window
    // keeps the taskbar button. Restore brings them back as they were.
    void Minimize();
    void Restore();

    // The program's always-on-top windows and their band.
    TopMostBand& Band() noexcept { return band_; }

    // The failure display for one failure.
    void ShowException(std::exception_ptr failure) noexcept;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnActivateApp(bool active);
    void OnActivate(WORD state, bool minimized, HWND previous);
    void ForwardActivation();
    void Close();

    // Before the windows: they go first, and their last messages may still reach these.
    TopMostBand band_;
    FailureDisplay failures_;
    ui::FailureHandler previousHandler_;
    std::unique_ptr<ui::MainWindow> main_;
    std::unique_ptr<ui::CheckerWindow> checker_;

    bool minimized_ = false;
    bool startedMinimized_ = false;  // the main window has not been shown yet
    std::vector<HWND> hiddenByMinimize_;
    HWND activeBeforeMinimize_ = nullptr;

    HWND activeBeforeDeactivation_ = nullptr;  // the program window active when another came
    HWND forwardTo_ = nullptr;                 // where the application window's activation goes
};

}  // namespace pelmora::app
