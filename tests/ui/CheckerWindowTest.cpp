// The checker window as a real window under Wine, with a real main window for its readout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "MainWindow.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "CheckerWindow.h"

namespace pelmora::ui {
namespace {

LPARAM KeyData(int repeat) {
    return static_cast<LPARAM>(repeat & 0xFFFF);
}

class CheckerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        main_.Create(owner_);
        checker_.Create(owner_);
        checker_.SetGeometryListener([this] { main_.ShowCheckerGeometry(); });
    }
    void TearDown() override { DestroyWindow(owner_); }

    std::string Readout() const { return WindowTextA(main_.ControlHandle(MainWindow::kReadout)); }
    // Puts the pointer at a point of the screen and keeps it there (a pointer event still on its
    // way from an earlier move cannot take it elsewhere) until the next call or FreeCursor().
    static void HoldCursorAt(int x, int y) {
        const RECT point{x, y, x + 1, y + 1};
        ClipCursor(&point);
        SetCursorPos(x, y);
    }
    static void FreeCursor() { ClipCursor(nullptr); }
    void TypeIntoReadout(const char* text) {
        SetWindowTextA(main_.ControlHandle(MainWindow::kReadout), text);
    }

    test::TempFolder folder_;
    HWND owner_ = nullptr;
    CheckerWindow checker_;
    MainWindow main_{checker_, [this] { return folder_.File("pelmora.ini"); }};
};

TEST_F(CheckerWindowTest, IsCreatedHiddenOnTopWithAToolFrameAndNoTitleBarButtons) {
    const HWND w = checker_.Handle();
    EXPECT_FALSE(IsWindowVisible(w));
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(w, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD), 0);
    EXPECT_EQ(exStyle & ~(WS_EX_TOPMOST | WS_EX_WINDOWEDGE), WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(w, GW_OWNER), owner_);
    wchar_t caption[16]{};
    GetWindowTextW(w, caption, 16);
    EXPECT_STREQ(caption, L"チェッカー");
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{497, 114, 244, 157}));
}

TEST_F(CheckerWindowTest, ReadoutStartsAtTheFirstShowingAndFollowsEverySetAtOnce) {
    checker_.SetLeft(400);
    EXPECT_EQ(Readout(), "pos_x=\r\npos_y=\r\nwidth=") << "no report before the first showing";

    checker_.Show();
    EXPECT_TRUE(IsWindowVisible(checker_.Handle()));
    EXPECT_EQ(Readout(), "pos_x=400\r\npos_y=114\r\nwidth=244");

    checker_.SetTop(-30);
    EXPECT_EQ(Readout(), "pos_x=400\r\npos_y=-30\r\nwidth=244");
    checker_.SetLeft(-1500);
    EXPECT_EQ(Readout(), "pos_x=-1500\r\npos_y=-30\r\nwidth=244");
    checker_.SetWidth(300);
    EXPECT_EQ(Readout(), "pos_x=-1500\r\npos_y=-30\r\nwidth=300");
    checker_.SetHeight(222);
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{-1500, -30, 300, 222}));
    EXPECT_EQ(Readout(), "pos_x=-1500\r\npos_y=-30\r\nwidth=300");
}

// What a window shows on the screen, copied from the screen without a message to the window.
std::vector<std::uint32_t> Pixels(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.right;
    info.bmiHeader.biHeight = -r.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(window);
    const HDC copy = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(r.right) * r.bottom);
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(window, screen);
    return pixels;
}

TEST_F(CheckerWindowTest, EveryReadAndEveryPaintOfTheReadoutShowsTheNewestGeometry) {
    checker_.Show();
    const HWND memo = main_.ControlHandle(MainWindow::kReadout);
    ShowWindow(main_.Handle(), SW_SHOWNA);
    test::Pump(20);

    // A run of moves with the queue not come to: a read straight after sees the last of them.
    for (int i = 1; i <= 100; ++i) {
        SetWindowPos(checker_.Handle(), nullptr, 300 + i, 200 - i, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EXPECT_EQ(Readout(), "pos_x=400\r\npos_y=100\r\nwidth=244");

    // Painting is a look too: the screen never shows an older geometry. What a paint straight
    // after a move draws equals what the control draws once its text has been read.
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<std::uint32_t> before = Pixels(memo);
    checker_.SetLeft(-50);
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<std::uint32_t> painted = Pixels(memo);
    EXPECT_TRUE(painted != before) << "the paint after the move changed nothing on the screen";
    EXPECT_EQ(Readout(), "pos_x=-50\r\npos_y=100\r\nwidth=244");
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Pixels(memo) == painted) << "the paint after the move showed an older text";

    // With nobody reading and no paint asked for, the queue's turn writes and draws the move.
    checker_.SetLeft(-60);
    test::Pump(20);
    const std::vector<std::uint32_t> queued = Pixels(memo);
    EXPECT_EQ(Readout(), "pos_x=-60\r\npos_y=100\r\nwidth=244");
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Pixels(memo) == queued) << "the screen showed an older text after the queue's turn";
}

TEST_F(CheckerWindowTest, SettingTheValueItHasMakesNoNotification) {
    checker_.Show();
    TypeIntoReadout("typed by the user");
    const CheckerGeometry g = checker_.Geometry();
    checker_.SetLeft(g.left);
    checker_.SetTop(g.top);
    checker_.SetWidth(g.width);
    checker_.SetHeight(g.height);
    EXPECT_EQ(Readout(), "typed by the user");
    checker_.SetTop(g.top + 1);
    EXPECT_EQ(Readout(), "pos_x=497\r\npos_y=115\r\nwidth=244");
}

TEST_F(CheckerWindowTest, ArrowKeysNudgeByOnePixelWhateverTheRepeatCountOrModifier) {
    checker_.Show();
    const HWND w = checker_.Handle();
    SendMessageW(w, WM_KEYDOWN, VK_RIGHT, KeyData(5));
    EXPECT_EQ(checker_.Geometry().left, 498);
    SendMessageW(w, WM_KEYDOWN, VK_DOWN, KeyData(1) | (1 << 30));  // auto-repeat
    SendMessageW(w, WM_KEYDOWN, VK_DOWN, KeyData(1) | (1 << 30));
    EXPECT_EQ(checker_.Geometry().top, 116);
    SendMessageW(w, WM_SYSKEYDOWN, VK_LEFT, KeyData(1) | (1 << 29));  // with Alt
    SendMessageW(w, WM_KEYDOWN, VK_UP, KeyData(1));
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{497, 115, 244, 157}));
    EXPECT_EQ(Readout(), "pos_x=497\r\npos_y=115\r\nwidth=244");

    for (WPARAM other : {WPARAM{'A'}, WPARAM{VK_HOME}, WPARAM{VK_NUMPAD4}, WPARAM{VK_SPACE}}) {
        SendMessageW(w, WM_KEYDOWN, other, KeyData(1));
    }
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{497, 115, 244, 157}));
}

TEST_F(CheckerWindowTest, ACloseRequestOnlyHidesAndTheReadoutStillFollows) {
    checker_.Show();
    SendMessageW(checker_.Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(checker_.Handle()));
    EXPECT_FALSE(IsWindowVisible(checker_.Handle()));
    checker_.SetLeft(10);
    EXPECT_EQ(Readout(), "pos_x=10\r\npos_y=114\r\nwidth=244");
}

int systemMoveLoops = 0;  // the move loops started on this thread while the hook below is set

LRESULT CALLBACK CountSystemMoveLoops(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION &&
        reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_ENTERSIZEMOVE) {
        ++systemMoveLoops;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A drag from inside the window first applies the motion since the press, measured from where
// the button went down: the pointer may have moved on before the press is handled (a press and
// the motion after it read from the queue together). A press whose capture was lost meanwhile
// (the failure box's cancel mode, another window taking the capture) is forgotten, and a move
// with the button down but no press of the window's own (pressed elsewhere, or a button state
// left behind by a program that ended with it down) neither moves the window nor starts the
// system's move loop.
TEST_F(CheckerWindowTest, APressCountsForADragOnlyWhileItHoldsTheCapture) {
    checker_.Show();
    const HWND w = checker_.Handle();
    const HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, CountSystemMoveLoops, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    systemMoveLoops = 0;
    const auto dragFromTheMiddle = [&](const std::function<void()>& meanwhile) {
        RECT r{};
        GetWindowRect(w, &r);
        const POINT press{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        HoldCursorAt(press.x + 40, press.y + 30);
        POINT client = press;
        ScreenToClient(w, &client);
        SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        meanwhile();
        // The move loop that the move starts ends at the button's release, already queued.
        PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(client.x + 40, client.y + 30));
        SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x + 40, client.y + 30));
        test::Pump(20);
    };

    const CheckerGeometry start = checker_.Geometry();
    dragFromTheMiddle([] {});
    EXPECT_EQ(checker_.Geometry(),
              (CheckerGeometry{start.left + 40, start.top + 30, start.width, start.height}));

    EXPECT_EQ(systemMoveLoops, 1);

    const CheckerGeometry moved = checker_.Geometry();
    dragFromTheMiddle([&] { SendMessageW(w, WM_CANCELMODE, 0, 0); });
    EXPECT_EQ(checker_.Geometry(), moved);
    dragFromTheMiddle([&] { SetCapture(main_.Handle()); });
    EXPECT_EQ(checker_.Geometry(), moved);
    ReleaseCapture();

    // No press at all: the button came down elsewhere. A release is queued so that a move loop
    // started all the same would end.
    PostMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 10));
    test::Pump(20);
    EXPECT_EQ(checker_.Geometry(), moved);
    EXPECT_EQ(systemMoveLoops, 1) << "a move loop without a press of the checker's own";
    UnhookWindowsHookEx(hook);
    FreeCursor();
}

TEST_F(CheckerWindowTest, RecallMovesTheCheckerWithoutActivatingIt) {
    test::WriteBytes(folder_.File("pelmora.ini"),
                     "[far]\r\npos_x=-20\r\npos_y=600\r\nwidth=400\r\nheight=300\r\n");
    checker_.Show();
    ShowWindow(main_.Handle(), SW_SHOW);
    SetActiveWindow(main_.Handle());
    ASSERT_EQ(GetActiveWindow(), main_.Handle());

    main_.NameBox().SetText("far");
    main_.Commands().Recall();
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{-20, 600, 400, 300}));
    EXPECT_EQ(Readout(), "pos_x=-20\r\npos_y=600\r\nwidth=400");
    EXPECT_EQ(GetActiveWindow(), main_.Handle());
    EXPECT_TRUE(GetWindowLongW(checker_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(CheckerWindowTest, ASmallRecalledSizeIsLeftToTheWindowSystem) {
    test::WriteBytes(folder_.File("pelmora.ini"), "[tiny]\r\nwidth=50\r\nheight=0\r\n");
    checker_.Show();
    main_.NameBox().SetText("tiny");
    main_.Commands().Recall();
    // The window system keeps a window with a sizing frame at least its smallest tracking size.
    const int width = std::max(50, GetSystemMetrics(SM_CXMINTRACK));
    const int height = std::max(0, GetSystemMetrics(SM_CYMINTRACK));
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{50, 50, width, height}));
    EXPECT_EQ(Readout(), "pos_x=50\r\npos_y=50\r\nwidth=" + std::to_string(width));
}

}  // namespace
}  // namespace pelmora::ui
