// The main window's content in its client area: the layout applied, and the scroll bars that
// come up when the client area is smaller than the content.
#include "MainWindow.h"

#include <algorithm>

namespace pelmora::ui {
namespace {

constexpr int kScrollLine = 8;

}  // namespace

void MainWindow::UpdateScrollBars() {
    if (updatingScrollBars_) return;
    updatingScrollBars_ = true;

    RECT client{};
    GetClientRect(Handle(), &client);
    const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    const Size thickness{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
    const Size full{client.right + ((style & WS_VSCROLL) ? thickness.width : 0),
                    client.bottom + ((style & WS_HSCROLL) ? thickness.height : 0)};
    const Size content = layout_.ContentSize();
    const ScrollBars bars = FitScrollBars(full, thickness, content, scroll_);
    scroll_ = bars.scroll;

    auto apply = [&](int bar, bool needed, int contentSize, int page, int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (needed) {
            info.nMax = contentSize - 1;
            info.nPage = static_cast<UINT>(page);
            info.nPos = position;
        }
        SetScrollInfo(Handle(), bar, &info, TRUE);
        ShowScrollBar(Handle(), bar, needed);
    };
    apply(SB_HORZ, bars.horizontal, content.width, bars.page.width, scroll_.x);
    apply(SB_VERT, bars.vertical, content.height, bars.page.height, scroll_.y);

    updatingScrollBars_ = false;
    PlaceContent();
}

void MainWindow::OnScroll(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Handle(), bar, &info)) return;
    int position = info.nPos;
    switch (request) {
        case SB_LINEUP:
            position -= kScrollLine;
            break;
        case SB_LINEDOWN:
            position += kScrollLine;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = info.nMin;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            return;
    }
    const int last = std::max(info.nMin, info.nMax - static_cast<int>(info.nPage) + 1);
    position = std::clamp(position, info.nMin, last);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(Handle(), bar, &info, TRUE);
    (bar == SB_HORZ ? scroll_.x : scroll_.y) = position;
    PlaceContent();
}

void MainWindow::PlaceContent() {
    if (!controls_[kNameBox]) return;
    RECT rect{};
    GetClientRect(Handle(), &rect);
    const Size client{rect.right, rect.bottom};

    for (int i = 0; i < kMainControlCount; ++i) {
        const Bounds b = layout_.ControlAt(Control(i), client, scroll_);
        if (b == placed_[i]) continue;
        placed_[i] = b;
        // The name box's window height is the height of its dropped list: only moved.
        const UINT keepSize = i == kNameBox ? SWP_NOSIZE : 0;
        SetWindowPos(controls_[i], nullptr, b.left, b.top, b.width, b.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | keepSize);
    }
    for (int i = 0; i < kMainLabelCount; ++i) {
        const Bounds b = layout_.LabelAt(Label(i), client, scroll_);
        if (b == placedLabels_[i]) continue;
        for (const Bounds& area : {placedLabels_[i], b}) {
            const RECT invalid{area.left, area.top, area.Right(), area.Bottom()};
            InvalidateRect(Handle(), &invalid, TRUE);
        }
        placedLabels_[i] = b;
    }
}

}  // namespace pelmora::ui
