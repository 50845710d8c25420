#include "CheckerWindow.h"

#include <windowsx.h>

#include <utility>

#include "Errors.h"

namespace pelmora::ui {

namespace {

// The window's static layout: never scaled, whatever the screen resolution.
struct CheckerLayout {
    const wchar_t* caption;
    int left, top, width, height;
    DWORD style, exStyle;
};

constexpr CheckerLayout kLayout = {
    L"チェッカー",
    497,
    114,
    244,
    157,
    // A tool-window frame with a sizing border and no system menu: no title-bar buttons.
    WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
    WS_EX_TOOLWINDOW,
};

// The system command that moves a window as if its title bar were dragged.
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;  // 0xF012

// Set with flags 0x14: synchronous, stacking order and activation left alone.
constexpr UINT kSetBoundsFlags = SWP_NOZORDER | SWP_NOACTIVATE;
// Into the band right after creation with flags 0x13: no size, no move, no activation.
constexpr UINT kBandFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

struct Nudge {
    WPARAM key;
    int dx, dy;
};
constexpr Nudge kNudges[] = {
    {VK_UP, 0, -1},
    {VK_LEFT, -1, 0},
    {VK_RIGHT, 1, 0},
    {VK_DOWN, 0, 1},
};

}  // namespace

void CheckerWindow::Create(HWND owner) {
    WNDCLASSEXW wc{};
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!CreateWindowOfClass(wc, kLayout.exStyle, kLayout.caption, kLayout.style, kLayout.left,
                             kLayout.top, kLayout.width, kLayout.height, owner)) {
        throw Exception(AnsiFromWide(L"チェッカーウィンドウを作成できません"));
    }
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, kBandFlags);
}

void CheckerWindow::Show() {
    // The show handler runs when the program shows the window, before it is on the screen. The
    // window system showing it again (the application restored) runs none: the readout keeps
    // what it holds until the window really changes.
    OnShow();
    ShowWindow(Handle(), SW_SHOW);
    BringWindowToTop(Handle());
    SetActiveWindow(Handle());
}

CheckerGeometry CheckerWindow::Geometry() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void CheckerWindow::ApplyBounds(const CheckerGeometry& bounds) {
    if (bounds == Geometry()) return;  // the same value: no change, no notification
    SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 kSetBoundsFlags);
}

void CheckerWindow::SetField(std::int32_t CheckerGeometry::*field, std::int32_t value) {
    CheckerGeometry g = Geometry();
    g.*field = value;
    ApplyBounds(g);
}

void CheckerWindow::SetLeft(std::int32_t left) {
    SetField(&CheckerGeometry::left, left);
}
void CheckerWindow::SetTop(std::int32_t top) {
    SetField(&CheckerGeometry::top, top);
}
void CheckerWindow::SetWidth(std::int32_t width) {
    SetField(&CheckerGeometry::width, width);
}
void CheckerWindow::SetHeight(std::int32_t height) {
    SetField(&CheckerGeometry::height, height);
}

LRESULT CheckerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            OnResize();
            break;
        case WM_MOVE:
            OnMoved();
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:  // Alt+arrow arrives here; it nudges all the same
            OnKeyDown(wParam);
            break;  // not consumed
        case WM_LBUTTONDOWN:
            SetCapture(Handle());
            // Where the button went down, not where the pointer is now: a press and the
            // motion after it can be read from the queue together, and the pointer has then
            // moved on already.
            pressPoint_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(Handle(), &pressPoint_);
            pressed_ = true;
            return 0;
        case WM_LBUTTONUP:
            pressed_ = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lParam));
            break;
        case WM_CANCELMODE:
            pressed_ = false;
            break;  // the default handling releases the capture
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            return 0;
        case WM_GETDPISCALEDSIZE:
            // Its geometry is exact in physical pixels and never scaled: the size that the system
            // proposes, unscaled (its size, or the size that a resize under way is to give it).
            return TRUE;
        case WM_DPICHANGED:
            OnScaleChanged(*reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            // Nothing offers to close the checker; a close request that reaches it only hides it.
            ShowWindow(Handle(), SW_HIDE);
            return 0;
    }
    return DefaultProc(message, wParam, lParam);
}

void CheckerWindow::OnScaleChanged(const RECT& suggested) {
    // It goes where the system suggests, as large as it is; the readout follows the move.
    const CheckerGeometry g = Geometry();
    ApplyBounds({suggested.left, suggested.top, g.width, g.height});
}

void CheckerWindow::OnShow() {
    firstShowingDone_ = true;
    ReportGeometry();
}

void CheckerWindow::OnResize() {
    ReportGeometry();
}

void CheckerWindow::OnMoved() {
    ReportGeometry();
}

void CheckerWindow::ReportGeometry() {
    // Before its first showing the window is not yet the user's: the readout keeps its
    // designed lines until then.
    if (firstShowingDone_ && geometryListener_) geometryListener_();
}

void CheckerWindow::OnKeyDown(WPARAM key) {
    // One pixel per key-down, auto-repeated ones included, whatever their repeat count and
    // whatever modifier is held. Each test sees the key code as it came in.
    for (const Nudge& nudge : kNudges) {
        if (key != nudge.key) continue;
        const CheckerGeometry g = Geometry();
        if (nudge.dx) SetLeft(g.left + nudge.dx);
        if (nudge.dy) SetTop(g.top + nudge.dy);
    }
}

void CheckerWindow::OnCaptureChanged(HWND capture) {
    // The capture went elsewhere (another window took it, the failure box's cancel mode, a
    // switch to another application): the press is over.
    if (capture != Handle()) pressed_ = false;
}

void CheckerWindow::OnMouseMove(WPARAM buttons, LPARAM position) {
    // Only a press that began inside the window and still holds drags it. The button can be
    // down without one: pressed elsewhere and carried over the window, or a button state that
    // a program which ended with the button down left behind; such a move must not carry the
    // window off. Releasing the capture below forgets the press.
    if (!(buttons & MK_LBUTTON) || !std::exchange(pressed_, false)) return;
    ReleaseCapture();

    // The move loop takes the pointer's position when it starts as its reference (Wine does;
    // a loop that starts anywhere else would lose or double the motion up to now). The motion
    // since the button went down has not moved the window yet: apply it first, so the point
    // that was pressed stays under the pointer for the whole drag, as with the title bar.
    POINT now{};
    GetCursorPos(&now);
    const int dx = now.x - pressPoint_.x;
    const int dy = now.y - pressPoint_.y;
    if (dx != 0 || dy != 0) {
        const CheckerGeometry g = Geometry();
        ApplyBounds({g.left + dx, g.top + dy, g.width, g.height});
    }

    // lParam keeps the client position as it came: X in the low word, Y in the high word.
    const LPARAM point = MAKELPARAM(GET_X_LPARAM(position), GET_Y_LPARAM(position));
    SendMessageA(Handle(), WM_SYSCOMMAND, kMoveByCaption, point);
}

}  // namespace pelmora::ui
