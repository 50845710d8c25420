// The main window's layout in plain numbers: the scaling rule, the scaled design, the anchoring
// in client areas of any size and the scroll bars' thresholds.
#include <gtest/gtest.h>

#include "MainLayout.h"

namespace pelmora::ui {
namespace {

TEST(MainLayout, ScalesRoundingHalvesAwayFromZero) {
    EXPECT_EQ(ScaleValue(70, 12, 12), 70);
    EXPECT_EQ(ScaleValue(283, 13, 12), 307);  // 306.58
    EXPECT_EQ(ScaleValue(233, 18, 12), 350);  // 349.5
    EXPECT_EQ(ScaleValue(6, 1, 4), 2);        // 1.5
    EXPECT_EQ(ScaleValue(-6, 1, 4), -2);
    EXPECT_EQ(ScaleValue(-5, 13, 12), -5);  // -5.42
    EXPECT_EQ(ScaleBounds({48, 8, 233, 20}, 18, 12), (Bounds{72, 12, 350, 30}));
}

TEST(MainLayout, TheDesignStandsAtTheDesignedResolutionWhateverTheFont) {
    EXPECT_EQ(CharacterHeightAt(96), 12);
    EXPECT_EQ(CharacterHeightAt(120), 15);
    EXPECT_EQ(CharacterHeightAt(144), 18);
    // A stand-in font with a 13-pixel line at 96 pixels per inch leaves the design as it is.
    EXPECT_EQ(LayoutLineHeight(96, 13), 12);
    EXPECT_EQ(LayoutLineHeight(96, 17), 12);
    // Elsewhere the controls follow the font's line, unless it could not be measured.
    EXPECT_EQ(LayoutLineHeight(144, 18), 18);
    EXPECT_EQ(LayoutLineHeight(144, 19), 19);
    EXPECT_EQ(LayoutLineHeight(120, 12), 12);
    EXPECT_EQ(LayoutLineHeight(144, 0), 12);
}

TEST(MainLayout, AChangeOfScaleGivesTheVerticalResolutionInTheHighWord) {
    EXPECT_EQ(PixelsPerInchOfScaleChange(0x00900090), 144);
    EXPECT_EQ(PixelsPerInchOfScaleChange(0x00600078), 96);  // 120 across, 96 down
    EXPECT_EQ(PixelsPerInchOfScaleChange(0x01E00060), 480);
}

TEST(MainLayout, AtTheDesignedResolutionWithA13PixelLine) {
    // The labels take what their texts take in that font; the controls stay as designed.
    const MainLayout layout(LayoutLineHeight(96, 13), {Size{36, 13}, Size{32, 13}});
    EXPECT_EQ(layout.LineHeight(), 12);
    EXPECT_EQ(layout.Scaled(kNameBox), (Bounds{48, 8, 233, 20}));
    EXPECT_EQ(layout.Scaled(kRecall), (Bounds{128, 32, 75, 25}));
    EXPECT_EQ(layout.Scaled(kReadout), (Bounds{0, 78, 292, 70}));
    EXPECT_EQ(layout.Scaled(kSave), (Bounds{208, 32, 75, 25}));
    EXPECT_EQ(layout.Scaled(kDelete), (Bounds{48, 32, 75, 25}));
    // Save's right edge; the buttons' bottom edge with the readout below.
    EXPECT_EQ(layout.ContentSize(), (Size{283, 127}));

    const Size designed{292, 148};
    EXPECT_EQ(layout.ControlAt(kReadout, designed, {}), (Bounds{0, 78, 292, 70}));
    EXPECT_EQ(layout.LabelAt(kNameLabel, designed, {}), (Bounds{8, 12, 36, 13}));
    // The readout label keeps its bottom edge 71 pixels above the client area's.
    EXPECT_EQ(layout.LabelAt(kReadoutLabel, designed, {}), (Bounds{8, 64, 32, 13}));
}

TEST(MainLayout, At144PixelsPerInchTheControlsFollowTheLine) {
    const MainLayout layout(LayoutLineHeight(144, 18), {Size{54, 18}, Size{50, 18}});
    EXPECT_EQ(layout.LineHeight(), 18);
    EXPECT_EQ(layout.Scaled(kNameBox), (Bounds{72, 12, 350, 30}));
    EXPECT_EQ(layout.Scaled(kRecall), (Bounds{192, 48, 113, 38}));
    EXPECT_EQ(layout.Scaled(kReadout), (Bounds{0, 117, 438, 105}));
    EXPECT_EQ(layout.Scaled(kSave), (Bounds{312, 48, 113, 38}));
    EXPECT_EQ(layout.Scaled(kDelete), (Bounds{72, 48, 113, 38}));
    EXPECT_EQ(layout.ContentSize(), (Size{425, 191}));

    // Larger than the content: the readout spans the bottom, its label 107 (71 scaled) above.
    const Size large{500, 400};
    EXPECT_EQ(layout.ControlAt(kReadout, large, {}), (Bounds{0, 295, 500, 105}));
    EXPECT_EQ(layout.ControlAt(kSave, large, {}), (Bounds{312, 48, 113, 38}));
    EXPECT_EQ(layout.LabelAt(kNameLabel, large, {}), (Bounds{12, 18, 54, 18}));
    EXPECT_EQ(layout.LabelAt(kReadoutLabel, large, {}), (Bounds{12, 275, 50, 18}));

    // Smaller than the content: laid out at the content's size and moved by the scrolling.
    const Size small{300, 150};
    const Point scroll{20, 10};
    EXPECT_EQ(layout.ControlAt(kReadout, small, scroll), (Bounds{-20, 76, 425, 105}));
    EXPECT_EQ(layout.ControlAt(kSave, small, scroll), (Bounds{292, 38, 113, 38}));
    EXPECT_EQ(layout.LabelAt(kReadoutLabel, small, scroll), (Bounds{-8, 56, 50, 18}));
}

TEST(MainLayout, TheDefaultIsTheDesign) {
    const MainLayout layout;
    EXPECT_EQ(layout.LineHeight(), 12);
    EXPECT_EQ(layout.ContentSize(), (Size{283, 127}));
    EXPECT_EQ(layout.LabelAt(kReadoutLabel, {292, 148}, {}), (Bounds{8, 65, 33, 12}));
}

TEST(MainLayout, ScrollBarsComeUpWhereTheContentDoesNotFit) {
    const Size content{283, 127};
    const Size thickness{17, 15};
    struct Case {
        Size full;
        bool horizontal, vertical;
        Size page;
    };
    for (const Case& c : {
             Case{{283, 127}, false, false, {283, 127}},
             Case{{282, 227}, true, false, {282, 212}},
             Case{{383, 126}, false, true, {366, 126}},
             // A bar for one direction takes room from the other, which then needs its own.
             Case{{282, 127}, true, true, {265, 112}},
             Case{{299, 126}, true, true, {282, 111}},
             Case{{300, 126}, false, true, {283, 126}},
             Case{{333, 177}, false, false, {333, 177}},
         }) {
        const ScrollBars bars = FitScrollBars(c.full, thickness, content, {});
        SCOPED_TRACE(::testing::Message() << c.full.width << " x " << c.full.height);
        EXPECT_EQ(bars.horizontal, c.horizontal);
        EXPECT_EQ(bars.vertical, c.vertical);
        EXPECT_EQ(bars.page, c.page);
    }
}

TEST(MainLayout, TheScrollPositionStaysInsideTheContent) {
    const Size content{283, 127};
    const Size thickness{17, 17};
    EXPECT_EQ(FitScrollBars({200, 300}, thickness, content, {500, 40}).scroll, (Point{83, 0}));
    EXPECT_EQ(FitScrollBars({200, 300}, thickness, content, {-3, 0}).scroll, (Point{0, 0}));
    EXPECT_EQ(FitScrollBars({200, 100}, thickness, content, {50, 60}).scroll, (Point{50, 44}));
    EXPECT_EQ(FitScrollBars({400, 300}, thickness, content, {50, 60}).scroll, (Point{0, 0}));
}

}  // namespace
}  // namespace pelmora::ui
