#include "MainLayout.h"

#include <algorithm>

namespace pelmora::ui {

MainLayout::MainLayout() noexcept
    : MainLayout(kDesignLineHeight, {Size{kLabelDesign[kNameLabel].bounds.width,
                                          kLabelDesign[kNameLabel].bounds.height},
                                     Size{kLabelDesign[kReadoutLabel].bounds.width,
                                          kLabelDesign[kReadoutLabel].bounds.height}}) {}

MainLayout::MainLayout(int lineHeight, const std::array<Size, kMainLabelCount>& labelTexts) noexcept
    : lineHeight_(lineHeight) {
    for (int i = 0; i < kMainControlCount; ++i) {
        controls_[i] = ScaleBounds(kControlDesign[i].bounds, lineHeight, kDesignLineHeight);
    }
    for (int i = 0; i < kMainLabelCount; ++i) {
        const Bounds position = ScaleBounds(kLabelDesign[i].bounds, lineHeight, kDesignLineHeight);
        labels_[i] = {position.left, position.top, labelTexts[i].width, labelTexts[i].height};
    }
    bottomLabelGap_ = ScaleValue(kDesignClient.height - kLabelDesign[kReadoutLabel].bounds.Bottom(),
                                 lineHeight, kDesignLineHeight);

    // Labels kept at the bottom don't count.
    int bottomAligned = 0;
    for (int i = 0; i < kMainControlCount; ++i) {
        if (kControlDesign[i].anchor == Anchor::kLeftTop) {
            content_.width = std::max(content_.width, controls_[i].Right());
            content_.height = std::max(content_.height, controls_[i].Bottom());
        } else if (kControlDesign[i].anchor == Anchor::kBottom) {
            bottomAligned += controls_[i].height;
        }
    }
    for (int i = 0; i < kMainLabelCount; ++i) {
        if (kLabelDesign[i].anchor != Anchor::kLeftTop) continue;
        content_.width = std::max(content_.width, labels_[i].Right());
        content_.height = std::max(content_.height, labels_[i].Bottom());
    }
    content_.height += bottomAligned;
}

Size MainLayout::Area(Size client) const noexcept {
    return {std::max(client.width, content_.width), std::max(client.height, content_.height)};
}

Bounds MainLayout::ControlAt(MainControl control, Size client, Point scroll) const noexcept {
    Bounds b = controls_[control];
    if (kControlDesign[control].anchor == Anchor::kBottom) {
        const Size area = Area(client);
        b = {0, area.height - b.height, area.width, b.height};
    }
    return {b.left - scroll.x, b.top - scroll.y, b.width, b.height};
}

Bounds MainLayout::LabelAt(MainLabel label, Size client, Point scroll) const noexcept {
    Bounds b = labels_[label];
    if (kLabelDesign[label].anchor == Anchor::kLeftBottom) {
        b.top = Area(client).height - bottomLabelGap_ - b.height;
    }
    return {b.left - scroll.x, b.top - scroll.y, b.width, b.height};
}

ScrollBars FitScrollBars(Size full, Size barThickness, Size content, Point scroll) noexcept {
    ScrollBars bars;
    for (int pass = 0; pass < 3; ++pass) {
        bars.horizontal = full.width - (bars.vertical ? barThickness.width : 0) < content.width;
        bars.vertical = full.height - (bars.horizontal ? barThickness.height : 0) < content.height;
    }
    bars.page = {full.width - (bars.vertical ? barThickness.width : 0),
                 full.height - (bars.horizontal ? barThickness.height : 0)};
    bars.scroll.x = bars.horizontal ? std::clamp(scroll.x, 0, content.width - bars.page.width) : 0;
    bars.scroll.y = bars.vertical ? std::clamp(scroll.y, 0, content.height - bars.page.height) : 0;
    return bars;
}

}  // namespace pelmora::ui
