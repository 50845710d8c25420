#include "MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "Errors.h"

namespace pelmora::ui {

namespace {

// Designed at 96 pixels per inch with a 12-pixel line of text.
constexpr int kDesignPixelsPerInch = 96;
constexpr int kDesignLineHeight = 12;
constexpr int kFontCharacterHeight = 12;
constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";
constexpr SIZE kDesignClient{292, 148};

constexpr wchar_t kCaption[] = L"Pelmora Ver1.03";
constexpr Bounds kWindowBounds{192, 114, 300, 182};  // outer rectangle, never scaled
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr WORD kIconResource = 1;

enum class Anchor {
    kLeftTop,     // keeps its place and size
    kBottom,      // aligned to the bottom edge, as wide as the client area
    kLeftBottom,  // keeps its distance to the left and bottom edges
};

struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    Bounds bounds;
    Anchor anchor;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// In the order in which they are created, which is also the tab order.
constexpr ControlSpec kControls[MainWindow::kControlCount] = {
    {101,
     WC_COMBOBOXW,
     L"",
     kChild | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
     0,
     {48, 8, 233, 20},
     Anchor::kLeftTop},
    {112, WC_BUTTONW, L"呼び出し", kChild | BS_PUSHBUTTON, 0, {128, 32, 75, 25}, Anchor::kLeftTop},
    {121,
     WC_EDITW,
     L"pos_x=\r\npos_y=\r\nwidth=",
     kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
     WS_EX_CLIENTEDGE,
     {0, 78, 292, 70},
     Anchor::kBottom},
    {111, WC_BUTTONW, L"保存", kChild | BS_PUSHBUTTON, 0, {208, 32, 75, 25}, Anchor::kLeftTop},
    {113, WC_BUTTONW, L"削除", kChild | BS_PUSHBUTTON, 0, {48, 32, 75, 25}, Anchor::kLeftTop},
};

struct LabelSpec {
    const wchar_t* text;
    Bounds bounds;  // the size is what the text takes in the designed font
    Anchor anchor;
};

constexpr LabelSpec kLabels[MainWindow::kLabelCount] = {
    {L"設定名", {8, 12, 36, 12}, Anchor::kLeftTop},
    {L"データ", {8, 65, 33, 12}, Anchor::kLeftBottom},
};

constexpr int kDroppedRows = 8;  // the name box's list shows at most this many items
constexpr int kScrollLine = 8;

enum CommandId { kSaveId = 111, kRecallId = 112, kDeleteId = 113 };

// v * to / from, rounded to the nearest pixel.
constexpr int ScaleValue(int value, int to, int from) {
    const long long product = static_cast<long long>(value) * to;
    const long long half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : (product - half) / from);
}

constexpr Bounds ScaleBounds(const Bounds& b, int to, int from) {
    return {ScaleValue(b.left, to, from), ScaleValue(b.top, to, from),
            ScaleValue(b.width, to, from), ScaleValue(b.height, to, from)};
}

static_assert(ScaleValue(283, 13, 12) == 307 && ScaleValue(70, 12, 12) == 70);

Bounds WindowBoundsIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

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
    CreateFont();
    WNDCLASSEXW wc = ClassWithProgramIcon(kIconResource);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    if (!CreateWindowOfClass(wc, kWindowExStyle, kCaption, kWindowStyle, kWindowBounds.left,
                             kWindowBounds.top, kWindowBounds.width, kWindowBounds.height, owner)) {
        throw Exception(AnsiFromWide(L"メイン ウィンドウを作成できません"));
    }
}

void MainWindow::CreateFont() {
    const WindowDC screen(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const int characterHeight =
        ScaleValue(kFontCharacterHeight, pixelsPerInch, kDesignPixelsPerInch);
    font_.reset(CreateFontW(-characterHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
    const SelectedObject selected(
        screen.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));

    // On a screen of another resolution the controls follow the font: when a line of text in
    // it (the height of the digit "0") is not the designed 12 pixels, they are scaled by the
    // ratio. At the designed resolution nothing is scaled, whatever font the system found.
    lineHeight_ = kDesignLineHeight;
    if (pixelsPerInch != kDesignPixelsPerInch) {
        SIZE digit{};
        GetTextExtentPoint32W(screen.get(), L"0", 1, &digit);
        if (digit.cy > 0) lineHeight_ = digit.cy;
    }

    for (int i = 0; i < kControlCount; ++i) {
        scaled_[i] = ScaleBounds(kControls[i].bounds, lineHeight_, kDesignLineHeight);
    }
    for (int i = 0; i < kLabelCount; ++i) {
        const Bounds position = ScaleBounds(kLabels[i].bounds, lineHeight_, kDesignLineHeight);
        SIZE text{};
        GetTextExtentPoint32W(screen.get(), kLabels[i].text,
                              static_cast<int>(wcslen(kLabels[i].text)), &text);
        labels_[i] = {position.left, position.top, text.cx, text.cy};
    }
    label2BottomGap_ = ScaleValue(kDesignClient.cy - kLabels[kReadoutLabel].bounds.Bottom(),
                                  lineHeight_, kDesignLineHeight);

    // The content: the controls kept at the left and top edges, and the bottom-aligned area
    // below them. Labels kept at the bottom don't count.
    content_ = {};
    int bottomAligned = 0;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].anchor == Anchor::kLeftTop) {
            content_.cx = std::max<LONG>(content_.cx, scaled_[i].Right());
            content_.cy = std::max<LONG>(content_.cy, scaled_[i].Bottom());
        } else if (kControls[i].anchor == Anchor::kBottom) {
            bottomAligned += scaled_[i].height;
        }
    }
    for (int i = 0; i < kLabelCount; ++i) {
        if (kLabels[i].anchor != Anchor::kLeftTop) continue;
        content_.cx = std::max<LONG>(content_.cx, labels_[i].Right());
        content_.cy = std::max<LONG>(content_.cy, labels_[i].Bottom());
    }
    content_.cy += bottomAligned;
}

void MainWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& spec = kControls[i];
        const Bounds& b = scaled_[i];
        HWND control = CreateWindowExW(
            spec.exStyle, spec.className, spec.text, spec.style, b.left, b.top, b.width, b.height,
            Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        if (!control) throw Exception(AnsiFromWide(L"コントロールを作成できません"));
        controls_[i] = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        Subclass(control);
    }

    HWND combo = controls_[kNameBox];
    nameBox_.Attach(combo);
    readout_.Attach(controls_[kReadout]);

    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info) && info.hwndItem) {
        nameEdit_ = info.hwndItem;
        Subclass(nameEdit_);
    }
    SendMessageW(combo, CB_LIMITTEXT, 0, 0);  // no limit of its own
    // The list drops down below the box, as wide as the box, at most 8 items high. The visible
    // items count where the common controls know it; elsewhere the height given to the box
    // beyond its selection field makes the list.
    SendMessageW(combo, CB_SETMINVISIBLE, kDroppedRows, 0);
    const LRESULT itemHeight = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    const Bounds closed = WindowBoundsIn(combo, Handle());
    if (itemHeight != CB_ERR) {
        const int dropped = closed.height + kDroppedRows * static_cast<int>(itemHeight) +
                            2 * GetSystemMetrics(SM_CYBORDER);
        SetWindowPos(combo, nullptr, 0, 0, closed.width, dropped,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The closed box is as high as designed: its selection field takes the difference. What
    // a requested field height turns into differs between implementations: request, measure,
    // correct the request.
    LRESULT request = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 4 && request != CB_ERR; ++attempt) {
        const int difference = scaled_[kNameBox].height - WindowBoundsIn(combo, Handle()).height;
        if (difference == 0 || request + difference <= 0) break;
        request += difference;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
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

Bounds MainWindow::ControlBounds(Control control) const noexcept {
    return placed_[control];
}

Bounds MainWindow::LabelBounds(Label label) const noexcept {
    return placedLabels_[label];
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
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
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)
                RunFirstShowOnce();
            break;
        case WM_WINDOWPOSCHANGED:
            // Coming up in the stacking order (activation does it) can put the window above a
            // window that stays on top on the screen, though not in the stacking order (Wine's
            // X windows): the owner places those again once this has run its course.
            if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOZORDER)) {
                NotifyRaised();
            }
            break;  // the default handling sends WM_SIZE and WM_MOVE
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) UpdateScrollBars();
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

void MainWindow::NotifyRaised() {
    if (!IsWindowVisible(Handle())) return;
    if (HWND owner = GetWindow(Handle(), GW_OWNER)) SendMessageW(owner, kRaisedMessage, 0, 0);
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
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(commandRunning_);
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
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    {
        const SelectedObject selected(dc, font_.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        for (int i = 0; i < kLabelCount; ++i) {
            const Bounds& b = placedLabels_[i];
            TextOutW(dc, b.left, b.top, kLabels[i].text, static_cast<int>(wcslen(kLabels[i].text)));
        }
    }
    EndPaint(Handle(), &paint);
}

void MainWindow::UpdateScrollBars() {
    if (updatingScrollBars_) return;
    updatingScrollBars_ = true;

    // The client area without scroll bars, then with those that it needs: a bar for one
    // direction can make the other one needed.
    RECT client{};
    GetClientRect(Handle(), &client);
    const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const int fullWidth = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
    const int fullHeight = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    bool horizontal = false;
    bool vertical = false;
    for (int pass = 0; pass < 3; ++pass) {
        horizontal = fullWidth - (vertical ? barWidth : 0) < content_.cx;
        vertical = fullHeight - (horizontal ? barHeight : 0) < content_.cy;
    }
    const int width = fullWidth - (vertical ? barWidth : 0);
    const int height = fullHeight - (horizontal ? barHeight : 0);
    scroll_.x = horizontal ? std::clamp<LONG>(scroll_.x, 0, content_.cx - width) : 0;
    scroll_.y = vertical ? std::clamp<LONG>(scroll_.y, 0, content_.cy - height) : 0;

    auto apply = [&](int bar, bool needed, int content, int page, int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (needed) {
            info.nMax = content - 1;
            info.nPage = static_cast<UINT>(page);
            info.nPos = position;
        }
        SetScrollInfo(Handle(), bar, &info, TRUE);
        ShowScrollBar(Handle(), bar, needed);
    };
    apply(SB_HORZ, horizontal, content_.cx, width, scroll_.x);
    apply(SB_VERT, vertical, content_.cy, height, scroll_.y);

    updatingScrollBars_ = false;
    Layout();
}

void MainWindow::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Handle(), bar, &info)) return;
    int position = info.nPos;
    switch (request) {
        case SB_LINEUP:
            position -= kScrollLine;
            break;
        case SB_LINEDOWN:
            position += kScrollLine;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            return;
    }
    const int last = std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1);
    position = std::clamp(position, info.nMin, last);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(Handle(), bar, &info, TRUE);
    (bar == SB_HORZ ? scroll_.x : scroll_.y) = position;
    Layout();
}

void MainWindow::Layout() {
    if (!controls_[kNameBox]) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    // Scrolled content lies out at its full size.
    const int areaWidth = std::max<int>(client.right, content_.cx);
    const int areaHeight = std::max<int>(client.bottom, content_.cy);

    for (int i = 0; i < kControlCount; ++i) {
        Bounds b = scaled_[i];
        if (kControls[i].anchor == Anchor::kBottom) {
            b = {0, areaHeight - b.height, areaWidth, b.height};
        }
        b.left -= scroll_.x;
        b.top -= scroll_.y;
        if (b == placed_[i]) continue;
        placed_[i] = b;
        // The combo box's window height is the height of its dropped list: only moved.
        const UINT keepSize = i == kNameBox ? SWP_NOSIZE : 0;
        SetWindowPos(controls_[i], nullptr, b.left, b.top, b.width, b.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
    }
    for (int i = 0; i < kLabelCount; ++i) {
        Bounds b = labels_[i];
        if (kLabels[i].anchor == Anchor::kLeftBottom) {
            b.top = areaHeight - label2BottomGap_ - b.height;
        }
        b.left -= scroll_.x;
        b.top -= scroll_.y;
        if (b == placedLabels_[i]) continue;
        for (const Bounds& area : {placedLabels_[i], b}) {
            const RECT rect{area.left, area.top, area.Right(), area.Bottom()};
            InvalidateRect(Handle(), &rect, TRUE);
        }
        placedLabels_[i] = b;
    }
}

void MainWindow::Subclass(HWND control) {
    // Once only: a control whose procedure were put in front of itself would call itself.
    if (OriginalProc(control)) return;
    for (SubclassedControl& entry : subclassed_) {
        if (entry.control) continue;
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        entry.control = control;
        entry.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ControlProc)));
        return;
    }
    // Without its procedure a control would take Tab as text and the name box would not
    // complete: a window without them is not made.
    throw Exception(AnsiFromWide(L"コントロールを作成できません"));
}

WNDPROC MainWindow::OriginalProc(HWND control) const noexcept {
    for (const SubclassedControl& entry : subclassed_) {
        if (entry.control == control) return entry.original;
    }
    return nullptr;
}

LRESULT MainWindow::CallOriginal(HWND control, UINT message, WPARAM wParam,
                                 LPARAM lParam) const noexcept {
    const WNDPROC original = OriginalProc(control);
    return original ? CallWindowProcW(original, control, message, wParam, lParam)
                    : DefWindowProcW(control, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ControlProc(HWND control, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (!self) return DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The control goes: its own procedure takes its last message.
        const WNDPROC original = self->OriginalProc(control);
        for (SubclassedControl& entry : self->subclassed_) {
            if (entry.control == control) entry = {};
        }
        SetWindowLongPtrW(control, GWLP_USERDATA, 0);
        if (!original) return DefWindowProcW(control, message, wParam, lParam);
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return CallWindowProcW(original, control, message, wParam, lParam);
    }
    try {
        return self->OnControlMessage(control, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
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
                    const LRESULT result = CallOriginal(control, message, wParam, lParam);
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
    return CallOriginal(control, message, wParam, lParam);
}

}  // namespace pelmora::ui
