// The main window at another screen resolution: the font follows the resolution, and the
// controls follow the font's line height. Wine takes the resolution from the prefix's LogPixels
// value when a process starts, so the check runs in a second process of this suite.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "MainWindow.h"
#include "UiTestSupport.h"

namespace pelmora::ui {
namespace {

constexpr int kOtherResolution = 144;
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr char kChildVariable[] = "PELMORA_SCALED_LAYOUT_CHILD";

class NoChecker : public ICheckerGeometry {
  public:
    CheckerGeometry Geometry() const override { return {}; }
    void SetLeft(std::int32_t) override {}
    void SetTop(std::int32_t) override {}
    void SetWidth(std::int32_t) override {}
    void SetHeight(std::int32_t) override {}
};

// Sets the prefix's LogPixels for the time of one scope; the old state comes back after.
class LogPixelsOverride {
  public:
    explicit LogPixelsOverride(DWORD value) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    }
    ~LogPixelsOverride() {
        if (had_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                           sizeof old_);
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }
    LogPixelsOverride(const LogPixelsOverride&) = delete;
    LogPixelsOverride& operator=(const LogPixelsOverride&) = delete;

  private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

TEST(ScaledLayout, ControlsFollowTheFontAtAnotherResolution) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command =
        std::string("\"") + self + "\" --gtest_filter=ScaledLayoutChild.* --gtest_brief=1";
    DWORD exitCode = 1;
    {
        const LogPixelsOverride override(kOtherResolution);
        SetEnvironmentVariableA(kChildVariable, "1");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &process));
        SetEnvironmentVariableA(kChildVariable, nullptr);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    EXPECT_EQ(exitCode, 0u) << "the layout checks at " << kOtherResolution
                            << " pixels per inch failed (output above)";
}

// Runs only in the second process, at the other resolution.
TEST(ScaledLayoutChild, LayoutAtTheOtherResolution) {
    if (!std::getenv(kChildVariable)) GTEST_SKIP() << "runs in the second process only";
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ASSERT_EQ(ppi, kOtherResolution) << "the system did not take the resolution";

    // The font's character height follows the resolution; its line height ("0") decides.
    const int characterHeight = MulDiv(12, ppi, 96);
    HFONT font = CreateFontW(-characterHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                             0, 0, L"ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(screen, font);
    SIZE digit{};
    GetTextExtentPoint32W(screen, L"0", 1, &digit);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    const int line = digit.cy;
    ASSERT_NE(line, 12);
    auto scaled = [line](int value) { return MulDiv(value, line, 12); };

    NoChecker checker;
    MainWindow window(checker, [] { return std::string("C:\\nowhere\\pelmora.ini"); });
    window.Create(nullptr);
    HWND main = window.Handle();
    EXPECT_EQ(window.Layout().LineHeight(), line);

    LOGFONTW logFont{};
    GetObjectW(reinterpret_cast<HFONT>(
                   SendMessageW(window.ControlHandle(MainWindow::kSave), WM_GETFONT, 0, 0)),
               sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, -characterHeight);

    RECT outer{};
    GetWindowRect(main, &outer);  // the window's own place and size are never scaled
    EXPECT_EQ(outer.left, 192);
    EXPECT_EQ(outer.top, 114);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_EQ(outer.bottom - outer.top, 182);

    struct Expect {
        MainWindow::Control control;
        int left, top, width, height;
    };
    for (const Expect& e :
         {Expect{MainWindow::kNameBox, 48, 8, 233, 20},
          Expect{MainWindow::kRecall, 128, 32, 75, 25}, Expect{MainWindow::kSave, 208, 32, 75, 25},
          Expect{MainWindow::kDelete, 48, 32, 75, 25}}) {
        const RECT r = test::ClientRectIn(window.ControlHandle(e.control), main);
        EXPECT_EQ(r.left, scaled(e.left)) << e.control;
        EXPECT_EQ(r.top, scaled(e.top)) << e.control;
        EXPECT_EQ(r.right - r.left, scaled(e.width)) << e.control;
        EXPECT_EQ(r.bottom - r.top, scaled(e.height)) << e.control;
    }
    RECT client{};
    GetClientRect(main, &client);
    const RECT readout = test::ClientRectIn(window.ControlHandle(MainWindow::kReadout), main);
    EXPECT_EQ(readout.bottom - readout.top, scaled(70));
    EXPECT_EQ(window.LabelBounds(MainWindow::kNameLabel).left, scaled(8));
    EXPECT_EQ(window.LabelBounds(MainWindow::kNameLabel).top, scaled(12));
    // The scroll bars come up below the scaled content.
    const bool narrower = client.right < scaled(208) + scaled(75);
    EXPECT_EQ((GetWindowLongW(main, GWL_STYLE) & WS_HSCROLL) != 0, narrower);
}

}  // namespace
}  // namespace pelmora::ui
