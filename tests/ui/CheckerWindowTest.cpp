// The checker window as a real window under Wine, with a real main window for its readout.
#include <gtest/gtest.h>

#include <string>

#include "MainFrm.h"
#include "TestSupport.h"
#include "Unit1.h"

namespace pelmora::ui {
namespace {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

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
        FormMain = &main_;
        checker_.Create(owner_);
        FormC = &checker_;
    }
    void TearDown() override {
        FormC = nullptr;
        FormMain = nullptr;
        DestroyWindow(owner_);
    }

    std::string Readout() const { return WindowText(main_.ControlHandle(TFormMain::kMemo1)); }
    void TypeIntoReadout(const char* text) {
        SetWindowTextA(main_.ControlHandle(TFormMain::kMemo1), text);
    }

    test::TempFolder folder_;
    HWND owner_ = nullptr;
    TFormC checker_;
    TFormMain main_{checker_, [this] { return folder_.File("pelmora.ini"); }};
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

TEST_F(CheckerWindowTest, RecallMovesTheCheckerWithoutActivatingIt) {
    test::WriteBytes(folder_.File("pelmora.ini"),
                     "[far]\r\npos_x=-20\r\npos_y=600\r\nwidth=400\r\nheight=300\r\n");
    checker_.Show();
    ShowWindow(main_.Handle(), SW_SHOW);
    SetActiveWindow(main_.Handle());
    ASSERT_EQ(GetActiveWindow(), main_.Handle());

    main_.NameBox().SetText("far");
    main_.Commands().Button2Click();
    EXPECT_EQ(checker_.Geometry(), (CheckerGeometry{-20, 600, 400, 300}));
    EXPECT_EQ(Readout(), "pos_x=-20\r\npos_y=600\r\nwidth=400");
    EXPECT_EQ(GetActiveWindow(), main_.Handle());
    EXPECT_TRUE(GetWindowLongW(checker_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(CheckerWindowTest, ASmallRecalledSizeIsLeftToTheWindowSystem) {
    test::WriteBytes(folder_.File("pelmora.ini"), "[tiny]\r\nwidth=50\r\nheight=0\r\n");
    checker_.Show();
    main_.NameBox().SetText("tiny");
    main_.Commands().Button2Click();
    const CheckerGeometry g = checker_.Geometry();
    EXPECT_EQ(g.left, 50);
    EXPECT_EQ(g.top, 50);
    EXPECT_GE(g.width, 50);  // the frame's smallest tracking size may widen it
    // Whatever size the window took, the readout shows it.
    EXPECT_EQ(Readout(), "pos_x=50\r\npos_y=50\r\nwidth=" + std::to_string(g.width));
}

}  // namespace
}  // namespace pelmora::ui
