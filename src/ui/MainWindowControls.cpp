// The main window's font and controls, made when the window is created and made again for a
// change of scale.
#include "MainWindow.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "ControlIds.h"
#include "Errors.h"

namespace pelmora::ui {
namespace {

constexpr wchar_t kFontFace[] = L"ＭＳ Ｐゴシック";

struct ControlKind {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// In the order of MainControl; places and sizes are the layout's.
constexpr std::array<ControlKind, kMainControlCount> kControlKinds{{
    {kNameBoxId, WC_COMBOBOXW, L"", kChild | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0},
    {kRecallId, WC_BUTTONW, L"呼び出し", kChild | BS_PUSHBUTTON, 0},
    {kReadoutId, WC_EDITW, L"pos_x=\r\npos_y=\r\nwidth=",
     kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE},
    {kSaveId, WC_BUTTONW, L"保存", kChild | BS_PUSHBUTTON, 0},
    {kDeleteId, WC_BUTTONW, L"削除", kChild | BS_PUSHBUTTON, 0},
}};

// The hidden static controls that name the name box and the readout to a screen reader have
// no ID of their own.
constexpr INT_PTR kNoId = -1;

constexpr int kDroppedRows = 8;  // the name box's list shows at most this many items

Bounds WindowBoundsIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Size TextSize(HDC dc, const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

}  // namespace

void MainWindow::CreateFont(int pixelsPerInch) {
    const BorrowedDC screen = BorrowDC(nullptr);
    font_.reset(CreateFontW(-CharacterHeightAt(pixelsPerInch), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                            FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
    const Selection selected = SelectInto(
        screen.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const int line = LayoutLineHeight(pixelsPerInch, TextSize(screen.get(), L"0").height);
    std::array<Size, kMainLabelCount> labelTexts{};
    for (int i = 0; i < kMainLabelCount; ++i) {
        labelTexts[i] = TextSize(screen.get(), kLabelDesign[i].text);
    }
    layout_ = MainLayout(line, labelTexts);
}

void MainWindow::CreateControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (int i = 0; i < kMainControlCount; ++i) {
        // The labels are drawn by the window, and a screen reader names a control after the
        // static control right before it, visible or not: a hidden one carries the label's text.
        for (int label = 0; label < kMainLabelCount; ++label) {
            if (kLabelledControl[label] != i) continue;
            if (!CreateWindowExW(0, WC_STATICW, kLabelDesign[label].text,
                                 WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, Handle(),
                                 reinterpret_cast<HMENU>(kNoId), instance, nullptr)) {
                throw ControlCreationFailure();
            }
        }
        const ControlKind& kind = kControlKinds[i];
        const Bounds& b = layout_.Scaled(Control(i));
        HWND control = CreateWindowExW(
            kind.exStyle, kind.className, kind.text, kind.style, b.left, b.top, b.width, b.height,
            Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kind.id)), instance, nullptr);
        if (!control) throw ControlCreationFailure();
        controls_[i] = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        hooks_.Hook(control);
    }

    nameBox_.Attach(controls_[kNameBox]);
    readout_.Attach(controls_[kReadout]);
    nameEdit_ = PartsOf(controls_[kNameBox]).edit;
    if (nameEdit_) hooks_.Hook(nameEdit_);
    FitNameBox();
}

void MainWindow::FitNameBox() {
    HWND combo = controls_[kNameBox];
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
    const int designed = layout_.Scaled(kNameBox).height;
    LRESULT request = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 4 && request != CB_ERR; ++attempt) {
        const int difference = designed - WindowBoundsIn(combo, Handle()).height;
        if (difference == 0 || request + difference <= 0) break;
        request += difference;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

void MainWindow::OnScaleChanged(int pixelsPerInch, const RECT& suggested) {
    // The font at the new resolution and the layout for it, from the design as at start-up:
    // at 96 pixels per inch the design stands again exactly.
    const UniqueFont previous = std::move(font_);  // in use by the controls until they let go
    CreateFont(pixelsPerInch);
    for (HWND control : controls_) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    // The name box is sized as when it was created, then fitted to its font again; the others
    // are placed anew below.
    const Bounds& box = layout_.Scaled(kNameBox);
    SetWindowPos(controls_[kNameBox], nullptr, 0, 0, box.width, box.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitNameBox();
    placed_.fill(Bounds{});
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, TRUE);  // the labels in the new font

    // The window's own size is never scaled: it goes where the system suggests, as large as
    // it is.
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace pelmora::ui
