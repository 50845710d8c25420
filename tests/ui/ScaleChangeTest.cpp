// Both windows on a change of scale, with the messages sent as the system sends them when a
// window goes to a monitor of another scale; the resolution a window starts with; the names
// that assistive technology finds for the name box and the readout.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <array>
#include <cwchar>
#include <string>
#include <tuple>
#include <utility>

#include "CheckerWindow.h"
#include "MainWindow.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "WindowDpi.h"

namespace pelmora::ui {
namespace {

using test::ClientRectIn;
using test_main_window::FakeChecker;
using test_main_window::FontMetrics;
using test_main_window::MeasureDesignedFont;
using test_main_window::ScreenPixelsPerInch;

Bounds BoundsOf(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Bounds OuterBounds(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return BoundsOf(r);
}

// What the main window shows: every control, the name box's dropped list, the labels, the bars.
// A move of `window` (outer size `width` x `height`, at `left`, `top`) onto a monitor of
// resolution `to`, as the system begins it: first it asks for the size at the new scale, which
// the window keeps as proposed; then it suggests a rectangle moved by `dx`, `dy` and scaled from
// `from` as it would be had the window not answered. Returns the suggested rectangle.
RECT ExpectSizeKeptAndSuggest(HWND window, int left, int top, int width, int height, int from,
                              int to, int dx, int dy) {
    SIZE proposed{width, height};
    EXPECT_EQ(SendMessageW(window, WM_GETDPISCALEDSIZE, to, reinterpret_cast<LPARAM>(&proposed)),
              TRUE);
    EXPECT_EQ(proposed.cx, width);
    EXPECT_EQ(proposed.cy, height);
    RECT suggested{left + dx, top + dy, 0, 0};
    suggested.right = suggested.left + MulDiv(width, to, from);
    suggested.bottom = suggested.top + MulDiv(height, to, from);
    return suggested;
}

struct MainSnapshot {
    std::array<Bounds, kMainControlCount> controls{};
    Bounds droppedList;
    std::array<Bounds, kMainLabelCount> labels{};
    LONG style = 0;
    friend bool operator==(const MainSnapshot&, const MainSnapshot&) = default;
};

MainSnapshot Snapshot(const MainWindow& window) {
    MainSnapshot s;
    for (int i = 0; i < kMainControlCount; ++i) {
        s.controls[i] =
            BoundsOf(ClientRectIn(window.ControlHandle(MainControl(i)), window.Handle()));
    }
    RECT dropped{};
    SendMessageW(window.ControlHandle(kNameBox), CB_GETDROPPEDCONTROLRECT, 0,
                 reinterpret_cast<LPARAM>(&dropped));
    s.droppedList = BoundsOf(dropped);
    for (int i = 0; i < kMainLabelCount; ++i) s.labels[i] = window.LabelBounds(MainLabel(i));
    s.style = GetWindowLongW(window.Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
    return s;
}

// The font at `pixelsPerInch`, and every control, label and scroll bar where the layout for that
// font puts them in the window's client area.
void ExpectLaidOutAt(const MainWindow& window, int pixelsPerInch) {
    SCOPED_TRACE(::testing::Message() << pixelsPerInch << " pixels per inch");
    const HWND main = window.Handle();
    for (int i = 0; i < kMainControlCount; ++i) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(
                       SendMessageW(window.ControlHandle(MainControl(i)), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -MulDiv(12, pixelsPerInch, 96)) << "control " << i;
    }
    const FontMetrics metrics = MeasureDesignedFont(pixelsPerInch);
    // At 96 pixels per inch the design stands whatever the font; elsewhere it follows the line.
    const int line = pixelsPerInch == 96 ? 12 : metrics.line;
    EXPECT_EQ(window.Layout().LineHeight(), line);
    const MainLayout expected(line, metrics.labels);

    RECT client{};
    GetClientRect(main, &client);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    const Point scroll{(style & WS_HSCROLL) ? GetScrollPos(main, SB_HORZ) : 0,
                       (style & WS_VSCROLL) ? GetScrollPos(main, SB_VERT) : 0};
    const Size size{client.right, client.bottom};
    for (int i = 0; i < kMainControlCount; ++i) {
        EXPECT_EQ(BoundsOf(ClientRectIn(window.ControlHandle(MainControl(i)), main)),
                  expected.ControlAt(MainControl(i), size, scroll))
            << "control " << i;
    }
    for (int i = 0; i < kMainLabelCount; ++i) {
        EXPECT_EQ(window.LabelBounds(MainLabel(i)), expected.LabelAt(MainLabel(i), size, scroll))
            << "label " << i;
    }
    // A bar is up exactly where the client area left beside the bars is smaller than the
    // content, and it spans the content.
    const Size content = expected.ContentSize();
    EXPECT_EQ((style & WS_HSCROLL) != 0, size.width < content.width);
    EXPECT_EQ((style & WS_VSCROLL) != 0, size.height < content.height);
    for (auto [bar, flag, extent] : {std::tuple{SB_HORZ, WS_HSCROLL, content.width},
                                     std::tuple{SB_VERT, WS_VSCROLL, content.height}}) {
        if (!(style & flag)) continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        GetScrollInfo(main, bar, &info);
        EXPECT_EQ(info.nMax, extent - 1) << "bar " << bar;
    }
}

TEST(ScaleChange, TheMainWindowFollowsEachScaleAndKeepsItsOuterSize) {
    FakeChecker checker;
    MainWindow window(checker, [] { return std::string("C:\\nowhere\\pelmora.ini"); });
    window.Create(nullptr);
    const HWND main = window.Handle();
    ShowWindow(main, SW_SHOWNOACTIVATE);
    test::Pump(50);
    const int startResolution = ScreenPixelsPerInch();
    const MainSnapshot atStart = Snapshot(window);
    const Bounds start = OuterBounds(main);

    int resolution = startResolution;
    for (const auto& [to, dx, dy] : {std::tuple{144, 40, 30}, std::tuple{96, 0, 0}}) {
        SCOPED_TRACE(::testing::Message() << "to " << to);
        const RECT suggested = ExpectSizeKeptAndSuggest(main, start.left, start.top, start.width,
                                                        start.height, resolution, to, dx, dy);
        ValidateRect(main, nullptr);
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        resolution = to;

        EXPECT_EQ(OuterBounds(main),
                  (Bounds{start.left + dx, start.top + dy, start.width, start.height}));
        ExpectLaidOutAt(window, to);
        // The labels are painted again in the new font.
        for (int i = 0; i < kMainLabelCount; ++i) {
            const Bounds& b = window.LabelBounds(MainLabel(i));
            const RECT label{b.left, b.top, b.Right(), b.Bottom()};
            HRGN update = CreateRectRgn(0, 0, 0, 0);
            GetUpdateRgn(main, update, FALSE);
            EXPECT_TRUE(RectInRegion(update, &label)) << "label " << i;
            DeleteObject(update);
        }
    }
    if (startResolution == 96) {
        // Back at the designed resolution: exactly the layout the window started with.
        EXPECT_EQ(Snapshot(window), atStart);
    }
}

TEST(ScaleChange, TheCheckerKeepsItsPhysicalSizeAndTheReadoutFollowsTheMove) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, nullptr, nullptr);
    test::TempFolder folder;
    CheckerWindow checker;
    MainWindow main(checker, [&] { return folder.File("pelmora.ini"); });
    main.Create(owner);
    checker.Create(owner);
    checker.SetGeometryListener([&] { main.ShowCheckerGeometry(); });
    checker.Show();
    const CheckerGeometry start = checker.Geometry();

    // Dragged across to a monitor at 144 pixels per inch and back.
    int resolution = ScreenPixelsPerInch();
    for (const auto& [to, dx, dy] : {std::tuple{144, 300, 20}, std::tuple{96, -150, 40}}) {
        SCOPED_TRACE(::testing::Message() << "to " << to);
        const RECT suggested =
            ExpectSizeKeptAndSuggest(checker.Handle(), start.left, start.top, start.width,
                                     start.height, resolution, to, dx, dy);
        SendMessageW(checker.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to),
                     reinterpret_cast<LPARAM>(&suggested));
        resolution = to;

        const CheckerGeometry moved{start.left + dx, start.top + dy, start.width, start.height};
        EXPECT_EQ(checker.Geometry(), moved);
        EXPECT_EQ(test::TextOfA(main.ControlHandle(kReadout)), GeometryReadout(moved));
    }
    DestroyWindow(owner);
}

UINT WINAPI Answers144(HWND) {
    return 144;
}
UINT WINAPI CannotTell(HWND) {
    return 0;
}

TEST(ScaleChange, AWindowTakesItsOwnResolutionElseTheScreens) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"w", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, nullptr, nullptr);
    const int screen = ScreenPixelsPerInch();
    EXPECT_EQ(WindowPixelsPerInch(window, &Answers144), 144);
    // A system without the function, or one that cannot tell: the screen's.
    EXPECT_EQ(WindowPixelsPerInch(window, nullptr), screen);
    EXPECT_EQ(WindowPixelsPerInch(window, &CannotTell), screen);
    // The system here has the function, and it answers for the window.
    ASSERT_NE(SystemDpiForWindow(), nullptr);
    EXPECT_EQ(WindowPixelsPerInch(window), static_cast<int>(SystemDpiForWindow()(window)));
    DestroyWindow(window);
}

std::wstring AccessibleName(HWND control) {
    IAccessible* accessible = nullptr;
    // The interface's ID by __uuidof: the import library's IID_IAccessible is the address of an
    // import thunk, not the ID.
    const HRESULT hr =
        AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible));
    if (FAILED(hr)) return L"(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result = L"(no name)";
    if (accessible->get_accName(self, &name) == S_OK && name) result = name;
    SysFreeString(name);
    accessible->Release();
    return result;
}

TEST(AssistiveNames, TheNameBoxAndTheReadoutAreNamedWithNothingChangedOnScreen) {
    CoInitialize(nullptr);
    FakeChecker checker;
    MainWindow window(checker, [] { return std::string("C:\\nowhere\\pelmora.ini"); });
    window.Create(nullptr);

    // A screen reader names a control after the static control right before it: hidden ones,
    // so that the screen still shows only the labels that the window draws.
    for (const auto& [control, text] :
         {std::pair{kNameBox, L"設定名"}, std::pair{kReadout, L"データ"}}) {
        const HWND label = GetWindow(window.ControlHandle(control), GW_HWNDPREV);
        ASSERT_NE(label, nullptr) << control;
        EXPECT_EQ(test::ClassOf(label), L"Static");
        EXPECT_EQ(test::TextOf(label), text);
        EXPECT_FALSE(GetWindowLongW(label, GWL_STYLE) & (WS_VISIBLE | WS_TABSTOP));
    }
    // What Wine's accessibility proxy can show: the readout's name. It names no combo box. (The
    // tab order, which hidden statics leave alone, is MainWindowTest's.)
    EXPECT_EQ(AccessibleName(window.ControlHandle(kReadout)), L"データ");

    CoUninitialize();
}

}  // namespace
}  // namespace pelmora::ui
