// What the main window's tests share: the window made for real under Wine with a settings file
// in a temporary folder and a checker that only holds its geometry, and the layout's expected
// places worked out independently.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MainWindow.h"
#include "TestSupport.h"
#include "UiTestSupport.h"

namespace pelmora::ui::test_main_window {

using test::Bytes;
using test::Pump;
using test::WriteBytes;

inline const std::string kHyoji = Bytes({0x95, 0x5C, 0x8E, 0xA6});   // "表示" in Shift-JIS
inline const std::string kSettei = Bytes({0x90, 0xDD, 0x92, 0xE8});  // "設定"

class FakeChecker : public ICheckerGeometry {
  public:
    CheckerGeometry geometry{497, 114, 244, 157};
    CheckerGeometry Geometry() const override { return geometry; }
    void SetLeft(std::int32_t v) override { geometry.left = v; }
    void SetTop(std::int32_t v) override { geometry.top = v; }
    void SetWidth(std::int32_t v) override { geometry.width = v; }
    void SetHeight(std::int32_t v) override { geometry.height = v; }
};

inline int ScreenPixelsPerInch() {
    const HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ppi;
}

// The designed font at a resolution, measured here: the height of "0" and the labels' texts.
struct FontMetrics {
    int line = 0;
    std::array<Size, kMainLabelCount> labels{};
};

inline FontMetrics MeasureDesignedFont(int pixelsPerInch) {
    const HFONT font = CreateFontW(-MulDiv(12, pixelsPerInch, 96), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   SHIFTJIS_CHARSET, 0, 0, 0, 0, L"ＭＳ Ｐゴシック");
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    auto extent = [&](const wchar_t* text) {
        SIZE size{};
        GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &size);
        return Size{size.cx, size.cy};
    };
    FontMetrics metrics{extent(L"0").height, {extent(L"設定名"), extent(L"データ")}};
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return metrics;
}

// The line height by which the layout is to be scaled, worked out independently: none at 96
// pixels per inch, else the height of "0" in the font scaled by the resolution.
inline int ExpectedLineHeight() {
    const int ppi = ScreenPixelsPerInch();
    return ppi == 96 ? 12 : MeasureDesignedFont(ppi).line;
}

inline int Scaled(int value) {
    return MulDiv(value, ExpectedLineHeight(), 12);
}

inline RECT Expected(int left, int top, int width, int height) {
    return {Scaled(left), Scaled(top), Scaled(left) + Scaled(width), Scaled(top) + Scaled(height)};
}

inline ::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
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

}  // namespace pelmora::ui::test_main_window
