// The main window, created for real under Wine: layout, keyboard, the name box and its
// completion, the readout area, and the wiring of the buttons to the setting commands.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include "Errors.h"
#include "Failure.h"
#include "MainWindow.h"
#include "SettingsLock.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "CheckerWindow.h"
#include "ControlIds.h"

namespace pelmora::ui {
namespace {

using test::Bytes;
using test::ClientRectIn;
using test::Pump;
using test::ReadBytes;
using test::TextOf;
using test::TextOfA;
using test::WriteBytes;

const std::string kHyoji = Bytes({0x95, 0x5C, 0x8E, 0xA6});   // "表示" in Shift-JIS
const std::string kSettei = Bytes({0x90, 0xDD, 0x92, 0xE8});  // "設定"

class FakeChecker : public ICheckerGeometry {
  public:
    CheckerGeometry geometry{497, 114, 244, 157};
    CheckerGeometry Geometry() const override { return geometry; }
    void SetLeft(std::int32_t v) override { geometry.left = v; }
    void SetTop(std::int32_t v) override { geometry.top = v; }
    void SetWidth(std::int32_t v) override { geometry.width = v; }
    void SetHeight(std::int32_t v) override { geometry.height = v; }
};

// The line height by which the layout is to be scaled, worked out independently: none at 96
// pixels per inch, else the height of "0" in the font scaled by the resolution.
int ExpectedLineHeight() {
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    int line = 12;
    if (ppi != 96) {
        HFONT font = CreateFontW(-MulDiv(12, ppi, 96), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                 SHIFTJIS_CHARSET, 0, 0, 0, 0, L"ＭＳ Ｐゴシック");
        HGDIOBJ old = SelectObject(screen, font);
        SIZE size{};
        GetTextExtentPoint32W(screen, L"0", 1, &size);
        SelectObject(screen, old);
        DeleteObject(font);
        line = size.cy;
    }
    ReleaseDC(nullptr, screen);
    return line;
}

int Scaled(int value) {
    return MulDiv(value, ExpectedLineHeight(), 12);
}

RECT Expected(int left, int top, int width, int height) {
    return {Scaled(left), Scaled(top), Scaled(left) + Scaled(width), Scaled(top) + Scaled(height)};
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "{" << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom
           << "} != {" << expected.left << "," << expected.top << "," << expected.right << ","
           << expected.bottom << "}";
}

class MainWindowTest : public ::testing::Test {
  protected:
    void Make(const std::string& ini = "") {
        if (!ini.empty()) WriteBytes(path, ini);
        mainWindow = std::make_unique<MainWindow>(checker, [this] { return path; });
        mainWindow->Create(nullptr);
        main = mainWindow->Handle();
        combo = mainWindow->ControlHandle(MainWindow::kNameBox);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        edit = info.hwndItem;
        list = info.hwndList;
    }
    void TearDown() override {
        mainWindow.reset();
        Pump(10);
    }

    HWND Control(MainWindow::Control c) const { return mainWindow->ControlHandle(c); }
    void SetClientSize(int width, int height) {
        RECT rect{0, 0, width, height};
        AdjustWindowRectEx(&rect, GetWindowLongW(main, GWL_STYLE) & ~(WS_HSCROLL | WS_VSCROLL),
                           FALSE, GetWindowLongW(main, GWL_EXSTYLE));
        SetWindowPos(main, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool HasBar(DWORD bar) const { return (GetWindowLongW(main, GWL_STYLE) & bar) != 0; }
    std::vector<std::string> Items() const { return test::ComboItems(combo); }
    int Selected() const { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }
    std::pair<DWORD, DWORD> EditSelection() const {
        DWORD from = 0, to = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        return {from, to};
    }
    void Type(wchar_t character) { SendMessageW(edit, WM_CHAR, character, 1); }
    void Click(int id) {
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
    }
    void PressTab(bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        const BYTE old = keys[VK_SHIFT];
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        keys[VK_SHIFT] = old;
        SetKeyboardState(keys);
    }

    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");
    FakeChecker checker;
    std::unique_ptr<MainWindow> mainWindow;
    HWND main = nullptr, combo = nullptr, edit = nullptr, list = nullptr;
};

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

TEST_F(MainWindowTest, StartUpListsEverySectionInFileOrderWithEmptyTextAndNoSelection) {
    Make("[Z]\r\npos_x=1\r\n[A]\r\n[" + kHyoji + "]\r\nwidth=3\r\n[M]\r\n[a]\r\n");
    EXPECT_EQ(Items(), (std::vector<std::string>{"Z", "A", kHyoji, "M", "a"}));
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), "pos_x=\r\npos_y=\r\nwidth=");
}

// The settings file folds ASCII letters only, where the combo box's own searches fold far more
// ("ΩA" and "ωA", fullwidth "ＡＢ" and "ａｂ", "Ⅰ" and "ⅰ" are one name to them). With a setting
// "ΩA", a Save under "ωA" adds the section "ωA"; the name box must then show "ωA", or Recall and
// Delete, which take its text, reach "ΩA". Completion keeps to the same rule.
TEST_F(MainWindowTest, NameBoxFollowsTheSettingsFileCaseRule) {
    ASSERT_EQ(GetACP(), 932u) << "the names are Shift-JIS";
    const std::string omegaA = Bytes({0x83, 0xB6, 'A'});       // "ΩA"
    const std::string smallOmegaA = Bytes({0x83, 0xD6, 'A'});  // "ωA"
    const std::vector<std::string> names = {"Alpha",
                                            "Beta",
                                            omegaA,
                                            Bytes({0x82, 0x60, 0x82, 0x61}),  // "ＡＢ"
                                            Bytes({0x87, 0x54}),              // "Ⅰ"
                                            Bytes({0x83, 0x41})};             // "ア"
    std::string file;
    for (const std::string& name : names) file += "[" + name + "]\r\npos_x=1\r\n";
    Make(file);
    NameBoxControl& box = mainWindow->NameBox();
    EXPECT_EQ(box.FindExact("ALPHA"), 0);
    EXPECT_EQ(box.FindExact("beta"), 1);
    EXPECT_EQ(box.FindExact(Bytes({0x83, 0xB6, 'a'})), 2);  // "Ωa": the section of "ΩA"
    for (const std::string& other : {smallOmegaA, Bytes({0x82, 0x81, 0x82, 0x82}),
                                     Bytes({0xFA, 0x40}), Bytes({0x83, 0x61}),  // "ⅰ", "ヂ"
                                     std::string("Alp"), std::string("Gamma")}) {
        EXPECT_EQ(box.FindExact(other), -1) << TextOfA(combo);
    }

    box.SetText(smallOmegaA);
    Click(kSaveId);
    std::vector<std::string> withSaved = names;
    withSaved.push_back(smallOmegaA);
    EXPECT_EQ(Items(), withSaved);
    EXPECT_EQ(TextOfA(combo), smallOmegaA);
    EXPECT_EQ(Selected(), 6);
    checker.geometry = {1, 2, 3, 4};
    Click(kRecallId);
    EXPECT_EQ(checker.geometry, (CheckerGeometry{497, 114, 244, 157})) << "the saved values";
    Click(kDeleteId);
    EXPECT_EQ(ReadBytes(path), file) << "the setting just saved goes, and only it";
    EXPECT_EQ(Items(), names);
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);

    Type(L'\x03C9');  // "ω": no item begins with it by the file's rule
    EXPECT_EQ(TextOf(combo), L"\x03C9");
    EXPECT_EQ(Selected(), -1);
    SetWindowTextA(combo, "");
    Type(L'\x03A9');  // "Ω"
    EXPECT_EQ(TextOfA(combo), omegaA);
    EXPECT_EQ(Selected(), 2);

    box.SetItemIndex(1);
    EXPECT_EQ(box.Text(), "Beta");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    box.SetItemIndex(1);  // already selected: untouched
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 3}));

    box.SetText("typed");
    box.ClearItems();
    EXPECT_EQ(box.Text(), "typed");  // the edit text stays
    EXPECT_TRUE(Items().empty());
}

TEST_F(MainWindowTest, ReadoutIsLeftAloneWhenTheTextIsAlreadyThere) {
    Make();
    HWND memo = Control(MainWindow::kReadout);
    mainWindow->ShowCheckerGeometry();
    EXPECT_EQ(TextOfA(memo), "pos_x=497\r\npos_y=114\r\nwidth=244");
    SendMessageW(memo, EM_SETSEL, 2, 5);
    checker.geometry.height = 300;  // the height is not shown: same text
    mainWindow->ShowCheckerGeometry();
    DWORD from = 0, to = 0;
    SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 2u);
    EXPECT_EQ(to, 5u);
    checker.geometry.left = -8;
    mainWindow->ShowCheckerGeometry();
    EXPECT_EQ(TextOfA(memo), "pos_x=-8\r\npos_y=114\r\nwidth=244");
}

TEST_F(MainWindowTest, ButtonsRunSaveRecallAndDelete) {
    Make("[A]\r\npos_x=10\r\npos_y=20\r\nwidth=300\r\nheight=400\r\n[B]\r\n");
    mainWindow->NameBox().SetText("New");
    Click(kSaveId);
    EXPECT_EQ(ReadBytes(path),
              "[A]\r\npos_x=10\r\npos_y=20\r\nwidth=300\r\nheight=400\r\n[B]\r\n"
              "[New]\r\npos_x=497\r\npos_y=114\r\nwidth=244\r\nheight=157\r\n");
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "B", "New"}));
    EXPECT_EQ(Selected(), 2);

    mainWindow->NameBox().SetText("a");
    Click(kRecallId);  // by the file's case rule
    EXPECT_EQ(checker.geometry, (CheckerGeometry{10, 20, 300, 400}));
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), "pos_x=10\r\npos_y=20\r\nwidth=300");

    mainWindow->NameBox().SetText("B");
    Click(kDeleteId);
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "New"}));
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(ReadBytes(path).find("[B]"), std::string::npos);
}

// Typed text with a character that the code page lacks (Hangul: 932 would give "?") names no
// setting: Save and Delete refuse it before the file is touched, Recall reads it as a missing
// setting, and the completion finds no item for it.
TEST_F(MainWindowTest, ANameTheCodePageCannotHoldNamesNoOtherSetting) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run with the Japanese code page";
    const std::string file = "[?a]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n";
    Make(file);
    static std::vector<std::string> failures;
    failures.clear();
    const FailureHandler previous = SetFailureHandler([](std::exception_ptr failure) noexcept {
        try {
            std::rethrow_exception(failure);
        } catch (const Exception& e) {
            failures.push_back(e.Message());
        } catch (...) {
            failures.push_back("(not a program failure)");
        }
    });
    const std::wstring name =
        L"\xD55C"
        L"a";
    SetWindowTextW(combo, name.c_str());
    Click(kSaveId);
    Click(kDeleteId);
    EXPECT_EQ(ReadBytes(path), file);
    EXPECT_EQ(failures, std::vector<std::string>(2, AnsiFromWide(kNameOutsideCodePage)));
    Click(kRecallId);
    EXPECT_EQ(checker.geometry, (CheckerGeometry{50, 50, 50, 50}));
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(TextOf(combo), name);
    mainWindow->NameBox().ClearItems();  // the edit text is put back as it was
    EXPECT_EQ(TextOf(combo), name);
    SetFailureHandler(previous);

    Make(file);
    Type(name[0]);
    Type(name[1]);
    EXPECT_EQ(TextOf(combo), name);
    EXPECT_EQ(Selected(), -1);
}

TEST_F(MainWindowTest, CompletionSelectsTheFirstItemThatStartsWithTheTypedText) {
    Make("[Beta]\r\n[Alpha]\r\n[alphabet]\r\n[Al]\r\n");
    Type(L'a');
    EXPECT_EQ(TextOfA(combo), "alpha");  // the typed text, then the rest of "Alpha"
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 5}));
    EXPECT_EQ(Selected(), 1);

    Type(L'L');  // the text before the selection plus the character: "aL"
    EXPECT_EQ(TextOfA(combo), "aLpha");
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{2, 5}));
    EXPECT_EQ(Selected(), 1);

    Type(L'x');  // nothing starts with "aLx": typed as usual over the selection
    EXPECT_EQ(TextOfA(combo), "aLx");
    EXPECT_EQ(Selected(), -1);

    Type(VK_BACK);
    EXPECT_EQ(TextOfA(combo), "aL");
    EXPECT_EQ(Selected(), -1);

    Type(L'p');
    EXPECT_EQ(TextOfA(combo), "aLpha");
    EXPECT_EQ(Selected(), 1);
    Type(VK_BACK);  // deletes the selected rest and leaves no item selected
    EXPECT_EQ(TextOfA(combo), "aLp");
    EXPECT_EQ(Selected(), -1);

    // Without a selection the whole text counts, wherever the caret is.
    SetWindowTextA(combo, "Be");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(L't');
    EXPECT_EQ(TextOfA(combo), "Beta");
    EXPECT_EQ(Selected(), 0);
}

TEST_F(MainWindowTest, CompletionTakesADoubleByteCharacterAsAWhole) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run with the Japanese code page";
    Make("[" + kSettei + "]\r\n[" + kHyoji + "]\r\n");
    Type(L'表');
    EXPECT_EQ(TextOfA(combo), kHyoji);
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 2}));
    EXPECT_EQ(Selected(), 1);

    // The same character as the lead and trail byte of an ANSI message. Its trail byte is the
    // byte of "\": it must not be looked up on its own.
    SetWindowTextA(combo, "");
    SendMessageA(edit, WM_CHAR, 0x95, 1);
    SendMessageA(edit, WM_CHAR, 0x5C, 1);
    EXPECT_EQ(TextOfA(combo), kHyoji);
    EXPECT_EQ(Selected(), 1);

    Type(VK_BACK);  // the selected "示"
    Type(VK_BACK);  // "表" as a whole
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
}

TEST_F(MainWindowTest, FocusGoesToTheNameBoxFirstAndBackToTheLastControlLater) {
    Make();
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    ASSERT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), edit);

    SetFocus(Control(MainWindow::kRecall));
    HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    Pump(20);
    ASSERT_EQ(GetActiveWindow(), other);
    SetActiveWindow(main);
    Pump(20);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kRecall));
    DestroyWindow(other);
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTabOrder) {
    Make();
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    ASSERT_EQ(GetFocus(), edit);
    const HWND forward[] = {Control(MainWindow::kRecall), Control(MainWindow::kReadout),
                            Control(MainWindow::kSave), Control(MainWindow::kDelete), edit};
    for (HWND next : forward) {
        PressTab(false);
        EXPECT_EQ(GetFocus(), next) << GetDlgCtrlID(next);
    }
    const HWND backward[] = {Control(MainWindow::kDelete), Control(MainWindow::kSave),
                             Control(MainWindow::kReadout), Control(MainWindow::kRecall), edit};
    for (HWND next : backward) {
        PressTab(true);
        EXPECT_EQ(GetFocus(), next) << GetDlgCtrlID(next);
    }
    // WM_NEXTDLGCTL: the next or previous control, or the control it names.
    SendMessageW(main, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kRecall));
    SendMessageW(main, WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(GetFocus(), edit);
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(MainWindow::kDelete)), TRUE);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kDelete));

    // Tab leaves the readout area without typing into it.
    SetFocus(Control(MainWindow::kReadout));
    const std::string before = TextOfA(Control(MainWindow::kReadout));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump(20);
    EXPECT_EQ(GetFocus(), Control(MainWindow::kSave));
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), before);
}

TEST_F(MainWindowTest, EnterAndEscRunNoCommand) {
    Make("[A]\r\n[B]\r\n");
    ShowWindow(main, SW_SHOWNORMAL);
    Pump(50);
    mainWindow->NameBox().SetText("A");
    for (HWND control : {edit, Control(MainWindow::kDelete), Control(MainWindow::kSave)}) {
        SetFocus(control);
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            PostMessageW(control, WM_KEYDOWN, key, 1);
            PostMessageW(control, WM_KEYUP, key, 0xC0000001);
        }
        Pump(30);
    }
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[B]\r\n");
    EXPECT_TRUE(IsWindowVisible(main));
    // In the readout area Enter starts a new line.
    HWND memo = Control(MainWindow::kReadout);
    SetFocus(memo);
    SendMessageW(memo, EM_SETSEL, 0, 0);
    PostMessageW(memo, WM_KEYDOWN, VK_RETURN, 1);
    Pump(30);
    EXPECT_EQ(TextOfA(memo), "\r\npos_x=\r\npos_y=\r\nwidth=");
}

TEST_F(MainWindowTest, ShowHandlerRunsAtTheFirstShowingOnly) {
    Make();
    CheckerWindow checkerWindow;
    checkerWindow.Create(nullptr);
    // Wired as the shell wires them.
    mainWindow->SetFirstShowAction([&] { checkerWindow.Show(); });
    checkerWindow.SetGeometryListener([&] { mainWindow->ShowCheckerGeometry(); });
    const HWND memo = Control(MainWindow::kReadout);
    ASSERT_FALSE(IsWindowVisible(checkerWindow.Handle()));
    // The show handler shows the checker, whose own show handler writes the readout.
    ShowWindow(main, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(checkerWindow.Handle()));
    EXPECT_EQ(TextOfA(memo), "pos_x=497\r\npos_y=114\r\nwidth=244");

    // Later showings run nothing: the checker, hidden meanwhile, stays hidden, and the readout
    // keeps what was typed into it.
    ShowWindow(checkerWindow.Handle(), SW_HIDE);
    SetWindowTextA(memo, "typed");
    for (int show : {SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE, SW_SHOWMAXIMIZED}) {
        ShowWindow(main, show);
    }
    Pump(20);
    EXPECT_FALSE(IsWindowVisible(checkerWindow.Handle()));
    EXPECT_EQ(TextOfA(memo), "typed");
}

// Another running copy holds the settings lock; while Save waits for it, another program presses
// Save through a message: that press runs after the waiting Save, not inside it.
TEST_F(MainWindowTest, AClickSentWhileACommandWaitsForTheLockRunsAfterIt) {
    Make("[A]\r\n");
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread otherCopy([&] {
        const SettingsLock lock;
        SetEvent(held);
        WaitForSingleObject(release, 30000);
    });
    ASSERT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0);
    std::atomic<bool> pressed{false};
    std::thread otherProgram([&] {
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(kSaveId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, kSaveId)));
        pressed = true;
        SetEvent(release);  // the other copy's command ends
    });

    mainWindow->NameBox().SetText("New");
    checker.geometry = {1, 2, 3, 4};
    Click(kSaveId);
    EXPECT_TRUE(pressed) << "the sent press was taken while the command waited";
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[New]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n");
    checker.geometry = {5, 6, 7, 8};
    Pump(50);
    EXPECT_EQ(ReadBytes(path), "[A]\r\n[New]\r\npos_x=5\r\npos_y=6\r\nwidth=7\r\nheight=8\r\n");

    SetEvent(release);
    test::PumpUntil([&] { return pressed.load(); }, 30000);
    otherProgram.join();
    otherCopy.join();
    CloseHandle(held);
    CloseHandle(release);
}

// A readout attached to a new control writes into it, also when a write was still on its way to
// the control before, which went with it.
TEST(ReadoutArea, ANewControlGetsItsWriteAfterTheOldOneWentWithAWritePending) {
    const auto makeEdit = [] {
        return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                               nullptr);
    };
    HWND first = makeEdit();
    ReadoutControl readout(first);
    readout.SetText("a");
    DestroyWindow(first);
    HWND second = makeEdit();
    readout.Attach(second);
    readout.SetText("b");
    MSG message;
    EXPECT_TRUE(
        PeekMessageW(&message, second, kReadoutWriteMessage, kReadoutWriteMessage, PM_REMOVE));
    DestroyWindow(second);
}

TEST_F(MainWindowTest, FailingSettingsPathAtCreationLeavesTheWindowCreated) {
    // No shell here: the failure goes to the fallback handler; the window and its controls stay.
    bool fail = true;
    mainWindow = std::make_unique<MainWindow>(checker, [&]() -> std::string {
        if (fail) throw Exception("no settings path");
        return path;
    });
    mainWindow->Create(nullptr);
    ASSERT_TRUE(IsWindow(mainWindow->Handle()));
    EXPECT_NE(mainWindow->ControlHandle(MainWindow::kDelete), nullptr);
    fail = false;
    WriteBytes(path, "[X]\r\n");
    mainWindow->Commands().ListSettings("X");
    EXPECT_EQ(TextOfA(mainWindow->ControlHandle(MainWindow::kNameBox)), "X");
}

}  // namespace
}  // namespace pelmora::ui
