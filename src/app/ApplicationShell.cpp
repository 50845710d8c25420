#include "ApplicationShell.h"

#include <algorithm>
#include <utility>

#include "Errors.h"
#include "FailureText.h"
#include "CheckerWindow.h"
#include "ControlIds.h"
#include "MainWindow.h"
#include "SettingsFile.h"

namespace pelmora::app {

namespace {

constexpr wchar_t kTitleW[] = L"Pelmora";
constexpr char kTitle[] = "Pelmora";
// A window of zero size: nothing of it is on the screen, only its taskbar button.
constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kFailureBoxFlags = MB_OK | MB_ICONERROR;  // 0x10
// Changes a window's place in the stacking order only.
constexpr UINT kStackingOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;  // 0x13
constexpr WORD kIconResource = 1;

bool IsTopMost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string MessageOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return AnsiFromWide(L"予期しないエラーが発生しました");
    }
}

}  // namespace

ApplicationShell::ApplicationShell() : title_(kTitle), placeBand_(ui::kPlaceBandMessage) {
    WNDCLASSEXW wc = ui::ClassWithProgramIcon(kIconResource);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    if (!CreateWindowOfClass(wc, 0, kTitleW, kWindowStyle, x, y, 0, 0, nullptr)) {
        throw Exception(AnsiFromWide(L"アプリケーション ウィンドウを作成できません"));
    }
    previousHandler_ = ui::SetFailureHandler(
        [this](std::exception_ptr failure) noexcept { ShowException(failure); });
}

ApplicationShell::~ApplicationShell() {
    DestroyWindows();
    ui::SetFailureHandler(std::move(previousHandler_));
    DestroyNow();
}

void ApplicationShell::CreateWindows(SettingCommands::PathSource settingsPath) {
    checker_ = std::make_unique<ui::CheckerWindow>();
    main_ = std::make_unique<ui::MainWindow>(*checker_, std::move(settingsPath));
    // The main window's first showing shows the checker; the checker's moves, resizes and
    // showings rewrite the main window's readout.
    main_->SetFirstShowAction([checker = checker_.get()] { checker->Show(); });
    checker_->SetGeometryListener([main = main_.get()] { main->ShowCheckerGeometry(); });
    main_->Create(Handle());
    checker_->Create(Handle());
}

void ApplicationShell::DestroyWindows() noexcept {
    if (main_) main_->SetFirstShowAction(nullptr);
    checker_.reset();
    main_.reset();
    normalized_.clear();
    hiddenByMinimize_.clear();
}

int ApplicationShell::Run(int showCommand) {
    ShowAtStart(showCommand);
    return MessageLoop();
}

void ApplicationShell::ShowAtStart(int showCommand) {
    HWND main = main_ ? main_->Handle() : nullptr;
    if (showCommand == SW_SHOWMINNOACTIVE) {
        // Only the taskbar button: the first restore shows the main window.
        minimized_ = true;
        startedMinimized_ = true;
        ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(Handle(), SW_SHOWNA);
    if (main) ShowWindow(main, showCommand == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ReapplyTopMostBand();
}

int ApplicationShell::MessageLoop() {
    MSG message;
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return static_cast<int>(message.wParam);
        if (result == -1) return 1;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::vector<HWND> ApplicationShell::ProgramWindows() const {
    // In stacking order, top first.
    std::vector<HWND> windows;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindow(window, GW_OWNER) == Handle()) windows.push_back(window);
    }
    return windows;
}

void ApplicationShell::Minimize() {
    if (minimized_) return;
    minimized_ = true;
    activeBeforeMinimize_ = GetActiveWindow();
    KeepTopMostsOutWhile(minimizedNormalized_, true);
    hiddenByMinimize_.clear();
    for (HWND window : ProgramWindows()) {
        if (IsWindowVisible(window)) hiddenByMinimize_.push_back(window);
    }
    for (HWND window : hiddenByMinimize_) ShowWindow(window, SW_HIDE);
    ShowWindow(Handle(), SW_MINIMIZE);
}

void ApplicationShell::Restore() {
    if (!minimized_) return;
    minimized_ = false;
    if (IsIconic(Handle())) {
        ShowWindow(Handle(), SW_RESTORE);
    } else {
        ShowWindow(Handle(), SW_SHOWNA);
    }
    HWND main = main_ ? main_->Handle() : nullptr;
    if (startedMinimized_) {
        // The first showing of the main window: its show handler shows the checker.
        startedMinimized_ = false;
        if (main) ShowWindow(main, SW_SHOWNORMAL);
    } else {
        // Bottom first, so that the stacking order comes back as it was; no show handler runs
        // again.
        for (auto it = hiddenByMinimize_.rbegin(); it != hiddenByMinimize_.rend(); ++it) {
            if (IsWindow(*it)) ShowWindow(*it, SW_SHOWNA);
        }
    }
    hiddenByMinimize_.clear();
    KeepTopMostsOutWhile(minimizedNormalized_, false);
    ReapplyTopMostBand();

    HWND target = activeBeforeMinimize_;
    activeBeforeMinimize_ = nullptr;
    if (!target || !IsWindow(target) || !IsWindowVisible(target)) target = main;
    if (target && IsWindowVisible(target)) SetActiveWindow(target);
}

void ApplicationShell::NormalizeTopMosts() {
    if (topMostLevel_++ > 0) return;
    normalized_.clear();
    const std::vector<HWND> windows = ProgramWindows();
    HWND highestOrdinary = nullptr;
    for (HWND window : windows) {
        if (IsTopMost(window)) {
            normalized_.push_back(window);
        } else if (!highestOrdinary && IsWindowVisible(window)) {
            highestOrdinary = window;
        }
    }
    // Top first: each goes directly above the highest ordinary window, below the ones before
    // it, so that their order among themselves stays.
    for (HWND window : normalized_) {
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kStackingOnly);
        if (!highestOrdinary) continue;
        // The nearest visible window above it: hidden helper windows of the thread may lie
        // in between.
        HWND above = GetWindow(highestOrdinary, GW_HWNDPREV);
        while (above && (above == window || !IsWindowVisible(above))) {
            above = GetWindow(above, GW_HWNDPREV);
        }
        if (above && !IsTopMost(above)) {
            SetWindowPos(window, above, 0, 0, 0, 0, kStackingOnly);
        }
    }
}

void ApplicationShell::KeepTopMostsOutWhile(bool& out, bool reasonHolds) {
    if (out == reasonHolds) return;
    out = reasonHolds;
    if (reasonHolds) {
        NormalizeTopMosts();
    } else {
        RestoreTopMosts();
    }
}

void ApplicationShell::RestoreTopMosts() {
    if (topMostLevel_ == 0) return;
    if (--topMostLevel_ > 0) return;
    // Bottom first: the top one ends on top.
    for (auto it = normalized_.rbegin(); it != normalized_.rend(); ++it) {
        if (IsWindow(*it)) SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, kStackingOnly);
    }
    normalized_.clear();
}

void ApplicationShell::ReapplyTopMostBand() {
    // After another program window was shown or activated, the screen can show it above a
    // window that stays on top although the stacking order says otherwise (Wine's X windows).
    // A real change of place restacks the screen too: each leaves its band for a moment and
    // comes back to its top. Leaving the band puts it at the top of the ordinary windows, so
    // at no moment does it lie below the main window: a click or a look at the stacking order
    // while this runs finds it above.
    if (topMostLevel_ > 0) return;
    placeBand_.Done();  // whatever came up before now is dealt with here
    const std::vector<HWND> windows = ProgramWindows();
    HWND highestOrdinary = nullptr;
    for (HWND window : windows) {
        if (!IsTopMost(window) && IsWindowVisible(window)) {
            highestOrdinary = window;
            break;
        }
    }
    if (!highestOrdinary) return;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!IsTopMost(*it) || !IsWindowVisible(*it)) continue;
        SetWindowPos(*it, HWND_NOTOPMOST, 0, 0, 0, 0, kStackingOnly);
        SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, kStackingOnly);
    }
}

void ApplicationShell::RequestTopMostBand() {
    // Once the window's own handling has run its course, and once for any number of windows
    // that came up meanwhile; not at all when the band was placed again after they came up.
    placeBand_.Request(Handle());
}

void ApplicationShell::ShowException(std::exception_ptr failure) noexcept {
    try {
        // A drag or selection in progress ends first.
        if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
        ShowFailureBox(FailureText(MessageOf(failure), &IsAnsiLeadByte));
    } catch (...) {
        MessageBeep(MB_ICONERROR);  // the display itself failed: nothing more can be shown
    }
}

void ApplicationShell::ShowFailureBox(const std::string& text) {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();

    // The box comes up on the monitor of the active window: it is centred on the monitor of its
    // owner, so the application window goes to that monitor's centre for the time of the box.
    HWND placeBy = active ? active : (main_ ? main_->Handle() : Handle());
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT home{};
    GetWindowRect(Handle(), &home);
    const bool moved =
        GetMonitorInfoW(MonitorFromWindow(placeBy, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE;
    if (moved) {
        const int x = (monitor.rcMonitor.left + monitor.rcMonitor.right) / 2;
        const int y = (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2;
        SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The box disables only its owner, the application window (whose disabling takes the
    // windows that stay on top out of their band): the program's other windows are disabled
    // here.
    std::vector<HWND> disabled;
    for (HWND window : ProgramWindows()) {
        if (IsWindowEnabled(window)) disabled.push_back(window);
    }
    for (HWND window : disabled) EnableWindow(window, FALSE);

    MessageBoxA(Handle(), text.c_str(), title_.c_str(), kFailureBoxFlags);

    for (HWND window : disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (moved) {
        SetWindowPos(Handle(), nullptr, home.left, home.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (active && active != Handle() && IsWindow(active) && IsWindowVisible(active)) {
        SetActiveWindow(active);
        if (focus && IsWindow(focus) && GetAncestor(focus, GA_ROOT) == active) SetFocus(focus);
    }
}

void ApplicationShell::ForwardActivation() {
    // The application window itself shows nothing: activation goes on to the window that was
    // active last.
    if (GetActiveWindow() != Handle() || IsIconic(Handle())) return;
    HWND target = std::exchange(forwardTo_, nullptr);
    if (!target || !IsWindow(target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = main_ ? main_->Handle() : nullptr;
    }
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

LRESULT ApplicationShell::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATEAPP:
            // The program window that was active last, for the next activation of the
            // application window (its taskbar button).
            if (!wParam) {
                HWND last = GetLastActivePopup(Handle());
                if (last && last != Handle()) activeBeforeDeactivation_ = last;
            }
            KeepTopMostsOutWhile(inactiveNormalized_, !wParam);
            return 0;
        case WM_ENABLE:
            KeepTopMostsOutWhile(disabledNormalized_, !wParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
                // From a program window of this thread (lParam), or from another application.
                HWND previous = reinterpret_cast<HWND>(lParam);
                forwardTo_ = previous && GetWindow(previous, GW_OWNER) == Handle()
                                 ? previous
                                 : activeBeforeDeactivation_;
                PostMessageW(Handle(), ui::kForwardActivationMessage, 0, 0);
            }
            return 0;
        case ui::kForwardActivationMessage:
            ForwardActivation();
            return 0;
        case ui::kMainWindowRaisedMessage:
            RequestTopMostBand();
            return 0;
        case ui::kPlaceBandMessage:
            if (placeBand_.Arrived()) ReapplyTopMostBand();
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE:
                    Minimize();
                    return 0;
                case SC_RESTORE:
                    Restore();
                    return 0;
                case SC_CLOSE:
                    if (main_) PostMessageW(main_->Handle(), WM_CLOSE, 0, 0);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_SIZE:
            // Restored from outside (not through its system command): finish the restore.
            if (wParam != SIZE_MINIMIZED && minimized_ && !IsIconic(Handle())) Restore();
            return 0;
        case WM_CLOSE:
            if (main_) PostMessageW(main_->Handle(), WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace pelmora::app
