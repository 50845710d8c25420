#include "MainWindow.h"

#include <cwchar>

#include "ControlIds.h"
#include "Errors.h"
#include "ScopeExit.h"
#include "WindowDpi.h"

namespace pelmora::ui {
namespace {

constexpr wchar_t kCaption[] = L"Pelmora Ver1.03";
constexpr Bounds kWindowBounds{192, 114, 300, 182};  // outer rectangle, never scaled
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr WORD kIconResource = 1;

}  // namespace

MainWindow::MainWindow(ICheckerGeometry& checker, SettingCommands::PathSource settingsPath)
    : commands_(nameBox_, checker, readout_, std::move(settingsPath)) {}

MainWindow::~MainWindow() {
    // The controls go before the font they use, and before anything their last messages touch.
    DestroyNow();
}

void MainWindow::Create(HWND owner) {
    // The controls are the standard ones (button, edit, combo box). The manifest asks for
    // version 6 of the common controls, which the system loads with the first of them: no
    // start-up of the whole library before the program runs.
    WNDCLASSEXW wc = ClassWithProgramIcon(kIconResource);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!CreateWindowOfClass(wc, kWindowExStyle, kCaption, kWindowStyle, kWindowBounds.left,
                             kWindowBounds.top, kWindowBounds.width, kWindowBounds.height, owner)) {
        throw Exception(AnsiFromWide(L"メイン ウィンドウを作成できません"));
    }
}

void MainWindow::OnCreate() {
    commands_.ListSettings("");
}

void MainWindow::OnFirstShow() {
    if (firstShowAction_) firstShowAction_();
}

void MainWindow::RunFirstShowOnce() {
    if (firstShown_) return;
    firstShown_ = true;
    OnFirstShow();
}

void MainWindow::ShowCheckerGeometry() {
    commands_.ShowCheckerGeometry();
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // The font at the window's own resolution, which the system knows once the window
            // is there.
            CreateFont(WindowPixelsPerInch(Handle()));
            CreateControls();
            UpdateScrollBars();
            OnCreate();
            return 0;
        case WM_SHOWWINDOW:
            // Before the window is on the screen. A maximised first showing may come without this
            // message: the show flag of the position change below catches it.
            if (wParam) RunFirstShowOnce();
            break;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(*reinterpret_cast<const WINDOWPOS*>(lParam));
            break;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
            break;  // the default handling sends WM_SIZE and WM_MOVE
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) UpdateScrollBars();
            return 0;
        case WM_GETDPISCALEDSIZE:
            // The window's own size is never scaled: the size that the system proposes, unscaled
            // (the window's size, or the size that a move or resize under way is to give it).
            return TRUE;
        case WM_DPICHANGED:
            OnScaleChanged(PixelsPerInchOfScaleChange(wParam),
                           *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            OnActivate(wParam);
            if (LOWORD(wParam) != WA_INACTIVE) NotifyRaised();
            return 0;
        case WM_MOUSEACTIVATE:
            NotifyRaised();  // a click raises the window on the screen, active or not
            break;
        case WM_SETFOCUS: {
            HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)
                              ? lastFocus_
                              : controls_[kNameBox];
            if (target) SetFocus(target);
            return 0;
        }
        case WM_NEXTDLGCTL:
            // A nonzero low word of lParam names the control to focus in wParam; else wParam
            // asks for the previous control (nonzero) or the next one.
            if (LOWORD(lParam)) {
                FocusControl(reinterpret_cast<HWND>(wParam));
            } else {
                MoveFocus(GetFocus(), wParam != 0);
            }
            return 0;
        case WM_SYSCOMMAND:
            // Minimising the main window minimises the whole application, through its window.
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                if (HWND owner = GetWindow(Handle(), GW_OWNER)) {
                    SendMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    return 0;
                }
            }
            break;
        case WM_CLOSE:
            // Closing the main window ends the program: the event loop stops, and the shell
            // destroys the windows.
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

void MainWindow::OnWindowPosChanging(const WINDOWPOS& change) {
    if (change.flags & SWP_SHOWWINDOW) RunFirstShowOnce();
}

void MainWindow::OnWindowPosChanged(const WINDOWPOS& change) {
    // Coming up in the stacking order (activation does it) can put the window above a window
    // that stays on top on the screen, though not in the stacking order (Wine's X windows).
    if (!(change.flags & SWP_NOZORDER)) NotifyRaised();
}

void MainWindow::NotifyRaised() {
    if (IsWindowVisible(Handle()) && raisedListener_) raisedListener_();
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    // While a command waits for the settings lock, messages sent to the window are handled: a
    // click that comes that way (another program pressing a button) runs after the command,
    // never inside it. Clicks of the user wait in the queue anyway.
    if (commandRunning_) {
        PostMessageW(Handle(), WM_COMMAND, wParam, lParam);
        return;
    }
    commandRunning_ = true;
    const ScopeExit finished([this] { commandRunning_ = false; });
    switch (LOWORD(wParam)) {
        case kSaveId:
            commands_.Save();
            break;
        case kRecallId:
            commands_.Recall();
            break;
        case kDeleteId:
            commands_.Delete();
            break;
        default:
            break;  // Enter and Esc (IDOK, IDCANCEL) run nothing
    }
}

void MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam)) return;  // minimised
    // The first activation focuses the first control in tab order; later ones give the focus
    // back to the control that had it.
    HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)
                      ? lastFocus_
                      : controls_[kNameBox];
    if (target) SetFocus(target);
}

void MainWindow::MoveFocus(HWND from, bool previous) {
    HWND control = from;
    while (control && GetParent(control) != Handle()) control = GetParent(control);
    HWND next = GetNextDlgTabItem(Handle(), control, previous);
    if (next) FocusControl(next);
}

void MainWindow::FocusControl(HWND control) {
    if (!control || !IsChild(Handle(), control)) return;
    SetFocus(control);
    if (control == controls_[kNameBox]) {
        SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
}

void MainWindow::OnPaint() {
    const PaintDC dc = BeginPainting(Handle());
    const Selection selected = SelectInto(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    for (int i = 0; i < kMainLabelCount; ++i) {
        const Bounds& b = placedLabels_[i];
        const wchar_t* text = kLabelDesign[i].text;
        TextOutW(dc.get(), b.left, b.top, text, static_cast<int>(std::wcslen(text)));
    }
}

LRESULT MainWindow::OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (control == controls_[kReadout] && readout_.BeforeEditMessage(message)) return 0;
    switch (message) {
        case WM_SETFOCUS:
            lastFocus_ = control;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
                MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_TAB) return 0;  // Tab moves the focus; no control takes it as text
            if (control == nameEdit_) {
                if (wParam == VK_BACK) {
                    const LRESULT result = hooks_.CallOriginal(control, message, wParam, lParam);
                    ClearItemSelection(controls_[kNameBox]);
                    return result;
                }
                if (wParam != VK_ESCAPE &&
                    CompleteTypedCharacter(controls_[kNameBox], static_cast<wchar_t>(wParam))) {
                    return 0;
                }
            }
            break;
        default:
            break;
    }
    return hooks_.CallOriginal(control, message, wParam, lParam);
}

}  // namespace pelmora::ui
