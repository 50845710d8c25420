// The main window, created for real under Wine: its frame, controls and labels where the layout
// puts them, at any size, with scroll bars when the content does not fit, and the name box's list.
#include <gtest/gtest.h>

#include <utility>

#include "MainWindowFixture.h"

namespace pelmora::ui::test_main_window {
namespace {

using test::ClientRectIn;
using test::TextOf;

TEST_F(MainWindowTest, WindowIsCreatedAsDesigned) {
    Make();
    EXPECT_EQ(test::ClassOf(main), L"TFormMain");
    EXPECT_EQ(TextOf(main), L"Pelmora Ver1.03");
    RECT outer{};
    GetWindowRect(main, &outer);
    EXPECT_TRUE(SameRect(outer, {192, 114, 492, 296}));  // never scaled
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(GetClassLongPtrW(main, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    // The program's icon, large and small, each drawn at the size the system asks for.
    for (const auto& [index, metric] :
         {std::pair{GCLP_HICON, SM_CXICON}, std::pair{GCLP_HICONSM, SM_CXSMICON}}) {
        const HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(main, index));
        ICONINFO info{};
        ASSERT_TRUE(icon && GetIconInfo(icon, &info)) << index;
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(metric)) << index;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }

    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Every control uses the window's font.
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_STREQ(logFont.lfFaceName, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(12, ppi, 96));
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_FALSE(logFont.lfItalic || logFont.lfUnderline || logFont.lfStrikeOut);
    for (int c = 0; c < kMainControlCount; ++c) {
        EXPECT_EQ(SendMessageW(Control(MainWindow::Control(c)), WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(font));
    }
}

TEST_F(MainWindowTest, ControlsInCreationOrderWithTheirIdsTextsAndPlaces) {
    Make();
    SetClientSize(292, 148);  // the client area the layout was designed for
    struct Expect {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        RECT bounds;
    };
    // The IDs are what other programs see: spelt out here rather than read from the program.
    const Expect expected[] = {
        {101, L"ComboBox", L"", Expected(48, 8, 233, 20)},
        {112, L"Button", L"呼び出し", Expected(128, 32, 75, 25)},
        {121, L"Edit", L"pos_x=\r\npos_y=\r\nwidth=", {0, 148 - Scaled(70), 292, 148}},
        {111, L"Button", L"保存", Expected(208, 32, 75, 25)},
        {113, L"Button", L"削除", Expected(48, 32, 75, 25)},
    };
    // The hidden static controls that name controls for a screen reader are not on the screen.
    auto shown = [](HWND w) {
        while (w && !(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) w = GetWindow(w, GW_HWNDNEXT);
        return w;
    };
    HWND child = shown(GetWindow(main, GW_CHILD));
    for (const Expect& e : expected) {
        ASSERT_NE(child, nullptr);
        SCOPED_TRACE(e.id);
        EXPECT_EQ(GetDlgCtrlID(child), e.id);
        EXPECT_EQ(test::ClassOf(child), e.className);
        EXPECT_EQ(TextOf(child), e.text);
        EXPECT_TRUE(SameRect(ClientRectIn(child, main), e.bounds));
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP);
        child = shown(GetWindow(child, GW_HWNDNEXT));
    }
    EXPECT_EQ(child, nullptr);
    if (ExpectedLineHeight() == 12) {
        // At the designed resolution the readout area is exactly where it was designed.
        EXPECT_TRUE(SameRect(ClientRectIn(Control(MainWindow::kReadout), main), {0, 78, 292, 148}));
    }

    const LONG comboStyle = GetWindowLongW(combo, GWL_STYLE);
    EXPECT_EQ(comboStyle & 3, CBS_DROPDOWN);
    EXPECT_FALSE(comboStyle & CBS_SORT);
    const LONG memoStyle = GetWindowLongW(Control(MainWindow::kReadout), GWL_STYLE);
    EXPECT_TRUE(memoStyle & ES_MULTILINE);
    EXPECT_TRUE(memoStyle & ES_WANTRETURN);
    EXPECT_FALSE(memoStyle & (WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL | ES_READONLY));
    EXPECT_TRUE(GetWindowLongW(Control(MainWindow::kReadout), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // No default button: Enter and Esc run nothing.
    for (auto c : {MainWindow::kSave, MainWindow::kRecall, MainWindow::kDelete}) {
        EXPECT_EQ(GetWindowLongW(Control(c), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
    }
}

TEST_F(MainWindowTest, LabelsAreDrawnByTheWindowAtTheirPlaces) {
    Make();
    SetClientSize(292, 148);
    // Sized to their text in the window's font.
    HDC dc = GetDC(main);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    SIZE nameLabel{}, readoutLabel{};
    GetTextExtentPoint32W(dc, L"設定名", 3, &nameLabel);
    GetTextExtentPoint32W(dc, L"データ", 3, &readoutLabel);
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    const int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    SelectObject(dc, old);
    ReleaseDC(main, dc);
    if (pixelsPerInch == 96) {
        // The test prefix's stand-in for the designed font has its metrics: a 12-pixel line, the
        // labels' texts as large as designed.
        EXPECT_EQ(digit.cy, 12);
        EXPECT_EQ((std::pair<LONG, LONG>{nameLabel.cx, nameLabel.cy}),
                  (std::pair<LONG, LONG>{36, 12}));
        EXPECT_EQ((std::pair<LONG, LONG>{readoutLabel.cx, readoutLabel.cy}),
                  (std::pair<LONG, LONG>{33, 12}));
    }
    EXPECT_EQ(mainWindow->LabelBounds(MainWindow::kNameLabel),
              (Bounds{Scaled(8), Scaled(12), nameLabel.cx, nameLabel.cy}));
    // The readout label keeps its bottom edge 71 (designed) pixels above the client area's bottom.
    EXPECT_EQ(
        mainWindow->LabelBounds(MainWindow::kReadoutLabel),
        (Bounds{Scaled(8), 148 - Scaled(71) - readoutLabel.cy, readoutLabel.cx, readoutLabel.cy}));
    // No visible window for either label.
    for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) {
            EXPECT_NE(test::ClassOf(c), L"Static");
        }
    }

    // Text pixels inside the labels, none in the empty band left of the buttons.
    ShowWindow(main, SW_SHOWNOACTIVATE);
    UpdateWindow(main);
    Pump(100);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto inked = [&](const Bounds& b) {
        HDC window = GetDC(main);
        int count = 0;
        for (int y = b.top; y < b.Bottom(); ++y) {
            for (int x = b.left; x < b.Right(); ++x) count += GetPixel(window, x, y) != face;
        }
        ReleaseDC(main, window);
        return count;
    };
    EXPECT_GT(inked(mainWindow->LabelBounds(MainWindow::kNameLabel)), 10);
    EXPECT_GT(inked(mainWindow->LabelBounds(MainWindow::kReadoutLabel)), 10);
    EXPECT_EQ(inked({Scaled(8), Scaled(34), Scaled(30), Scaled(20)}), 0);
}

TEST_F(MainWindowTest, ResizingKeepsReadoutAtTheBottomAndItsLabelAnchoredThere) {
    Make();
    SetClientSize(292, 148);
    const RECT combo0 = ClientRectIn(combo, main);
    const RECT save = ClientRectIn(Control(MainWindow::kSave), main);
    const Bounds nameLabel = mainWindow->LabelBounds(MainWindow::kNameLabel);
    const int readoutLabelHeight = mainWindow->LabelBounds(MainWindow::kReadoutLabel).height;

    for (SIZE size : {SIZE{500, 400}, SIZE{320, 160}, SIZE{292, 148}}) {
        SetClientSize(size.cx, size.cy);
        RECT client{};
        GetClientRect(main, &client);
        ASSERT_EQ(client.right, size.cx);
        ASSERT_EQ(client.bottom, size.cy);
        EXPECT_TRUE(SameRect(ClientRectIn(Control(MainWindow::kReadout), main),
                             {0, size.cy - Scaled(70), size.cx, size.cy}));
        const Bounds readoutLabel = mainWindow->LabelBounds(MainWindow::kReadoutLabel);
        EXPECT_EQ(readoutLabel.Bottom(), size.cy - Scaled(71));
        EXPECT_EQ(readoutLabel.height, readoutLabelHeight);
        EXPECT_EQ(readoutLabel.left, Scaled(8));
        EXPECT_TRUE(SameRect(ClientRectIn(combo, main), combo0));
        EXPECT_TRUE(SameRect(ClientRectIn(Control(MainWindow::kSave), main), save));
        EXPECT_EQ(mainWindow->LabelBounds(MainWindow::kNameLabel), nameLabel);
    }
}

TEST_F(MainWindowTest, ScrollBarsComeUpBelowTheContentSize) {
    Make();
    const int width = Scaled(208) + Scaled(75);               // right edge of Save: 283
    const int height = Scaled(32) + Scaled(25) + Scaled(70);  // buttons' bottom + readout: 127

    SetClientSize(width, height);
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));

    SetClientSize(width - 1, height + 100);
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));

    SetClientSize(width + 100, height - 1);
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_TRUE(HasBar(WS_VSCROLL));

    // The horizontal bar takes height from the client area: the vertical one follows.
    SetClientSize(width - 1, height);
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    EXPECT_TRUE(HasBar(WS_VSCROLL));

    SetClientSize(width + 50, height + 50);
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));
}

TEST_F(MainWindowTest, ScrollingBringsTheHiddenContentIntoView) {
    Make();
    const int width = Scaled(208) + Scaled(75);
    SetClientSize(200, 300);
    ASSERT_TRUE(HasBar(WS_HSCROLL));
    HWND save = Control(MainWindow::kSave);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_GT(ClientRectIn(save, main).right, client.right);

    SendMessageW(main, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(ClientRectIn(save, main).right, client.right);
    EXPECT_EQ(ClientRectIn(save, main).left, client.right - Scaled(75));
    EXPECT_EQ(mainWindow->LabelBounds(MainWindow::kNameLabel).left,
              Scaled(8) - (width - client.right));

    SendMessageW(main, WM_HSCROLL, SB_TOP, 0);
    EXPECT_EQ(ClientRectIn(save, main).left, Scaled(208));
    // Growing the window again takes the scrolling back.
    SendMessageW(main, WM_HSCROLL, SB_BOTTOM, 0);
    SetClientSize(400, 300);
    EXPECT_EQ(ClientRectIn(save, main).left, Scaled(208));
}

TEST_F(MainWindowTest, NameBoxListDropsDownEightRowsAsWideAsTheBox) {
    Make();
    for (int i = 0; i < 12; ++i) mainWindow->NameBox().AddItem("item" + std::to_string(i));
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump(20);
    ASSERT_TRUE(IsWindowVisible(list));
    RECT listClient{}, listRect{}, comboRect{};
    GetClientRect(list, &listClient);
    GetWindowRect(list, &listRect);
    GetWindowRect(combo, &comboRect);
    const int itemHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(listClient.bottom / itemHeight, 8);
    EXPECT_EQ(listRect.right - listRect.left, comboRect.right - comboRect.left);
    EXPECT_GE(listRect.top, comboRect.bottom - 1);  // below the box
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    // The closed box stays as high as designed.
    GetWindowRect(combo, &comboRect);
    EXPECT_EQ(comboRect.bottom - comboRect.top, Scaled(20));
}

}  // namespace
}  // namespace pelmora::ui::test_main_window
