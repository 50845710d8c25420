// The application shell: the application window (owner of the program's windows and carrier of
// its one taskbar button), start-up, the event loop, minimising and restoring the application as
// a whole, the always-on-top windows while the application is inactive or a failure box is up,
// and the failure display, the one place where failures reach the user.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "BaseWindow.h"
#include "PostedRequest.h"
#include "SettingCommands.h"

namespace pelmora::ui {
class MainWindow;
class CheckerWindow;
}  // namespace pelmora::ui

namespace pelmora::app {

class ApplicationShell : public ui::BaseWindow<ApplicationShell> {
  public:
    static constexpr wchar_t kClassName[] = L"TApplication";

    // Creates the application window (zero size at the centre of the screen, hidden) with the
    // application title, and installs itself as the failure display. Throws pelmora::Exception
    // when the system refuses the window.
    ApplicationShell();
    ~ApplicationShell();

    // "Pelmora": the taskbar button's text and every failure box's caption (ANSI).
    const std::string& Title() const noexcept { return title_; }

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

    // Takes the program's always-on-top windows out of their band (placed directly above the
    // program's highest ordinary window), and puts them back. Nested: only the last Restore
    // matching the first Normalize puts them back.
    void NormalizeTopMosts();
    void RestoreTopMosts();
    int TopMostLevel() const noexcept { return topMostLevel_; }

    // The failure display for one failure.
    void ShowException(std::exception_ptr failure) noexcept;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    std::vector<HWND> ProgramWindows() const;  // top-level windows the application window owns
    void ReapplyTopMostBand();
    void RequestTopMostBand();
    void ShowFailureBox(const std::string& text);
    void ForwardActivation();
    // One reason to keep the always-on-top windows out of their band (`out` remembers whether it
    // holds now): a Normalize when the reason starts, the matching Restore when it ends, nothing in
    // between.
    void KeepTopMostsOutWhile(bool& out, bool reasonHolds);

    std::string title_;
    std::unique_ptr<ui::MainWindow> main_;
    std::unique_ptr<ui::CheckerWindow> checker_;
    ui::FailureHandler previousHandler_;

    int topMostLevel_ = 0;
    std::vector<HWND> normalized_;      // taken out of the band, to be put back
    bool inactiveNormalized_ = false;   // taken out because the application is inactive
    bool disabledNormalized_ = false;   // taken out because the application window is disabled
    bool minimizedNormalized_ = false;  // taken out because the application is minimised
    std::vector<HWND> hiddenByMinimize_;
    HWND activeBeforeMinimize_ = nullptr;
    HWND activeBeforeDeactivation_ = nullptr;  // the program window active when another came
    HWND forwardTo_ = nullptr;                 // where the application window's activation goes
    bool minimized_ = false;
    bool startedMinimized_ = false;
    ui::PostedRequest placeBand_;  // a window came up since the band was last placed again
};

}  // namespace pelmora::app
