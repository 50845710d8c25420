// The main window's layout in plain numbers: where its controls and labels were designed, how
// they scale with the font, where the anchoring puts them in a client area of any size, and when
// the scroll bars come up. Nothing here touches a window.
#pragma once

#include <array>
#include <cstdint>

namespace pelmora::ui {

// Position and size in pixels.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int Right() const { return left + width; }
    constexpr int Bottom() const { return top + height; }
    friend constexpr bool operator==(const Bounds&, const Bounds&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

// The main window's controls in the order in which they are created, which is the tab order.
enum MainControl { kNameBox, kRecall, kReadout, kSave, kDelete, kMainControlCount };
// Its labels, drawn by the window itself.
enum MainLabel { kNameLabel, kReadoutLabel, kMainLabelCount };

enum class Anchor {
    kLeftTop,     // keeps its place and size
    kBottom,      // aligned to the bottom edge, as wide as the client area
    kLeftBottom,  // keeps its distance to the left and bottom edges
};

// Designed at 96 pixels per inch, for a font whose characters are 12 pixels high there and whose
// line of text is 12 pixels, in a client area of 292 x 148.
inline constexpr int kDesignPixelsPerInch = 96;
inline constexpr int kDesignCharacterHeight = 12;
inline constexpr int kDesignLineHeight = 12;
inline constexpr Size kDesignClient{292, 148};

struct ControlDesign {
    Bounds bounds;
    Anchor anchor;
};

inline constexpr std::array<ControlDesign, kMainControlCount> kControlDesign{{
    {{48, 8, 233, 20}, Anchor::kLeftTop},   // name box (its closed height)
    {{128, 32, 75, 25}, Anchor::kLeftTop},  // Recall
    {{0, 78, 292, 70}, Anchor::kBottom},    // readout
    {{208, 32, 75, 25}, Anchor::kLeftTop},  // Save
    {{48, 32, 75, 25}, Anchor::kLeftTop},   // Delete
}};

struct LabelDesign {
    const wchar_t* text;
    Bounds bounds;  // the size is what the text takes in the designed font
    Anchor anchor;
};

inline constexpr std::array<LabelDesign, kMainLabelCount> kLabelDesign{{
    {L"設定名", {8, 12, 36, 12}, Anchor::kLeftTop},
    {L"データ", {8, 65, 33, 12}, Anchor::kLeftBottom},
}};

// The control that each label names for assistive technology: the window draws the labels, so a
// screen reader finds their texts in hidden static controls placed right before these controls.
inline constexpr std::array<MainControl, kMainLabelCount> kLabelledControl{kNameBox, kReadout};

// value * to / from, rounded to the nearest pixel (halves away from zero).
constexpr int ScaleValue(int value, int to, int from) {
    const long long product = static_cast<long long>(value) * to;
    const long long half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : (product - half) / from);
}

constexpr Bounds ScaleBounds(const Bounds& b, int to, int from) {
    return {ScaleValue(b.left, to, from), ScaleValue(b.top, to, from),
            ScaleValue(b.width, to, from), ScaleValue(b.height, to, from)};
}

// The font's character height on a screen of `pixelsPerInch`.
constexpr int CharacterHeightAt(int pixelsPerInch) {
    return ScaleValue(kDesignCharacterHeight, pixelsPerInch, kDesignPixelsPerInch);
}

// The line height by which the designed layout is scaled, given the height of a line of text in
// the font the system found (`fontLineHeight`: the height of "0"). At the designed resolution
// the design stands, whatever the font; at another one the controls follow the font's line.
constexpr int LayoutLineHeight(int pixelsPerInch, int fontLineHeight) {
    if (pixelsPerInch == kDesignPixelsPerInch || fontLineHeight <= 0) return kDesignLineHeight;
    return fontLineHeight;
}

// The resolution that a change of scale announces: the message's wParam holds the new
// horizontal resolution in its low word and the vertical one in its high word. The font's
// character height follows the vertical resolution, as at start-up.
constexpr int PixelsPerInchOfScaleChange(std::uintptr_t wParam) {
    return static_cast<int>((wParam >> 16) & 0xFFFF);
}

// The design scaled for one font.
class MainLayout {
  public:
    // The design as it stands at the designed resolution.
    MainLayout() noexcept;
    // Scaled by `lineHeight` (from LayoutLineHeight); each label as large as its text is in the
    // font (`labelTexts`), at its scaled place.
    MainLayout(int lineHeight, const std::array<Size, kMainLabelCount>& labelTexts) noexcept;

    int LineHeight() const noexcept { return lineHeight_; }
    // The control's designed bounds after scaling: where it is created.
    const Bounds& Scaled(MainControl control) const noexcept { return controls_[control]; }
    // The client size below which the scroll bars come up: the controls kept at the left and top
    // edges and the labels kept there, with the bottom-aligned controls below them.
    Size ContentSize() const noexcept { return content_; }

    // Where a control or label goes in a client area of `client`, its content scrolled by
    // `scroll`. A client area smaller than the content lays the content out at its full size.
    Bounds ControlAt(MainControl control, Size client, Point scroll) const noexcept;
    Bounds LabelAt(MainLabel label, Size client, Point scroll) const noexcept;

  private:
    Size Area(Size client) const noexcept;

    int lineHeight_;
    std::array<Bounds, kMainControlCount> controls_{};
    std::array<Bounds, kMainLabelCount> labels_{};
    int bottomLabelGap_ = 0;  // from a bottom-anchored label's bottom to the client area's
    Size content_{};
};

// The scroll bars that a client area needs and what they leave of it.
struct ScrollBars {
    bool horizontal = false;
    bool vertical = false;
    Size page;     // the client area inside the bars
    Point scroll;  // the scroll position, kept inside the content
};

// `full`: the client area without any scroll bar; `barThickness`: the width of a vertical bar
// and the height of a horizontal one. A bar comes up where the content does not fit; a bar for
// one direction takes room from the other, which may then need its own.
ScrollBars FitScrollBars(Size full, Size barThickness, Size content, Point scroll) noexcept;

}  // namespace pelmora::ui
