#include "ApplicationShell.h"

#include <utility>

#include "CheckerWindow.h"
#include "ControlIds.h"
#include "Errors.h"
#include "MainWindow.h"
#include "OwnedWindows.h"

namespace pelmora::app {

namespace {

// A window of zero size: nothing of it is on the screen, only its taskbar button.
constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr WORD kIconResource = 1;

using Reason = TopMostBand::Reason;

}  // namespace

ApplicationShell::ApplicationShell() {
    WNDCLASSEXW wc = ui::ClassWithProgramIcon(kIconResource);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    if (!CreateWindowOfClass(wc, 0, kApplicationTitleW, kWindowStyle, x, y, 0, 0, nullptr)) {
        throw Exception(AnsiFromWide(L"アプリケーション ウィンドウを作成できません"));
    }
    band_.Attach(Handle());
    failures_.Attach(Handle());
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
    // showings rewrite the main window's readout. The main window coming up in the stacking
    // order can put it above the checker on the screen, though not in the stacking order
    // (Wine's X windows): the band is placed again once that has run its course.
    main_->SetFirstShowAction([checker = checker_.get()] { checker->Show(); });
    main_->SetRaisedListener([this] { band_.PlaceAgainSoon(); });
    checker_->SetGeometryListener([main = main_.get()] { main->ShowCheckerGeometry(); });
    main_->Create(Handle());
    checker_->Create(Handle());
}

void ApplicationShell::DestroyWindows() noexcept {
    if (main_) main_->SetFirstShowAction(nullptr);
    checker_.reset();
    main_.reset();
    band_.Forget();
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
    band_.PlaceAgain();
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

void ApplicationShell::Minimize() {
    if (minimized_) return;
    minimized_ = true;
    activeBeforeMinimize_ = GetActiveWindow();
    band_.SetReason(Reason::kMinimized, true);
    hiddenByMinimize_.clear();
    for (HWND window : OwnedWindows(Handle())) {
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
    band_.SetReason(Reason::kMinimized, false);
    band_.PlaceAgain();

    HWND target = activeBeforeMinimize_;
    activeBeforeMinimize_ = nullptr;
    if (!target || !IsWindow(target) || !IsWindowVisible(target)) target = main;
    if (target && IsWindowVisible(target)) SetActiveWindow(target);
}

void ApplicationShell::ShowException(std::exception_ptr failure) noexcept {
    failures_.Show(failure, main_ ? main_->Handle() : nullptr);
}

void ApplicationShell::OnActivateApp(bool active) {
    // The program window that was active last, for the next activation of the application
    // window (its taskbar button).
    if (!active) {
        HWND last = GetLastActivePopup(Handle());
        if (last && last != Handle()) activeBeforeDeactivation_ = last;
    }
    band_.SetReason(Reason::kInactive, !active);
}

void ApplicationShell::OnActivate(WORD state, bool minimized, HWND previous) {
    if (state == WA_INACTIVE || minimized) return;
    // From a program window of this thread (`previous`), or from another application.
    forwardTo_ = previous && GetWindow(previous, GW_OWNER) == Handle() ? previous
                                                                       : activeBeforeDeactivation_;
    PostMessageW(Handle(), ui::kForwardActivationMessage, 0, 0);
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

void ApplicationShell::Close() {
    if (main_) PostMessageW(main_->Handle(), WM_CLOSE, 0, 0);
}

LRESULT ApplicationShell::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATEAPP:
            OnActivateApp(wParam != FALSE);
            return 0;
        case WM_ENABLE:
            band_.SetReason(Reason::kDisabled, !wParam);
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam), HIWORD(wParam) != 0, reinterpret_cast<HWND>(lParam));
            return 0;
        case ui::kForwardActivationMessage:
            ForwardActivation();
            return 0;
        case ui::kPlaceBandMessage:
            band_.OnPlaceAgainMessage();
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
                    Close();
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
            Close();
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace pelmora::app
