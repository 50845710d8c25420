#include "FailureDisplay.h"

#include <string>
#include <vector>

#include "Errors.h"
#include "FailureText.h"
#include "OwnedWindows.h"
#include "SettingsFile.h"

namespace pelmora::app {
namespace {

constexpr UINT kBoxFlags = MB_OK | MB_ICONERROR;  // 0x10
constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

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

void FailureDisplay::Show(std::exception_ptr failure, HWND fallback) const noexcept {
    try {
        // A drag or selection in progress ends first.
        if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
        ShowBox(FailureText(MessageOf(failure), &IsAnsiLeadByte).c_str(), fallback);
    } catch (...) {
        MessageBeep(MB_ICONERROR);  // the display itself failed: nothing more can be shown
    }
}

void FailureDisplay::ShowAtStartUp(std::exception_ptr failure) noexcept {
    try {
        MessageBoxA(nullptr, MessageOf(failure).c_str(), kApplicationTitle, kBoxFlags);
    } catch (...) {
        MessageBeep(MB_ICONERROR);
    }
}

void FailureDisplay::ShowBox(const char* text, HWND fallback) const {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();

    // The box comes up on the monitor of the active window: it is centred on the monitor of its
    // owner, so the application window goes to that monitor's centre for the time of the box.
    HWND placeBy = active ? active : (fallback ? fallback : owner_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT home{};
    GetWindowRect(owner_, &home);
    const bool moved =
        GetMonitorInfoW(MonitorFromWindow(placeBy, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE;
    if (moved) {
        const int x = (monitor.rcMonitor.left + monitor.rcMonitor.right) / 2;
        const int y = (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2;
        SetWindowPos(owner_, nullptr, x, y, 0, 0, kMoveOnly);
    }

    // The box disables only its owner, the application window (whose disabling takes the
    // windows that stay on top out of their band): the program's other windows are disabled
    // here.
    std::vector<HWND> disabled;
    for (HWND window : OwnedWindows(owner_)) {
        if (IsWindowEnabled(window)) disabled.push_back(window);
    }
    for (HWND window : disabled) EnableWindow(window, FALSE);

    MessageBoxA(owner_, text, kApplicationTitle, kBoxFlags);

    for (HWND window : disabled) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (moved) SetWindowPos(owner_, nullptr, home.left, home.top, 0, 0, kMoveOnly);
    if (active && active != owner_ && IsWindow(active) && IsWindowVisible(active)) {
        SetActiveWindow(active);
        if (focus && IsWindow(focus) && GetAncestor(focus, GA_ROOT) == active) SetFocus(focus);
    }
}

}  // namespace pelmora::app
