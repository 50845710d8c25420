#include "TopMostBand.h"

#include <algorithm>
#include <iterator>

#include "OwnedWindows.h"

namespace pelmora::app {
namespace {

// Changes a window's place in the stacking order only.
constexpr UINT kStackingOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;  // 0x13

bool IsTopMost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The first visible window of `windows` (top first) that does not stay on top.
HWND HighestOrdinary(const std::vector<HWND>& windows) {
    const auto found = std::find_if(windows.begin(), windows.end(), [](HWND window) {
        return !IsTopMost(window) && IsWindowVisible(window);
    });
    return found == windows.end() ? nullptr : *found;
}

// The nearest visible window above `window` other than `besides`: hidden helper windows of the
// thread may lie in between.
HWND VisibleAbove(HWND window, HWND besides) {
    HWND above = GetWindow(window, GW_HWNDPREV);
    while (above && (above == besides || !IsWindowVisible(above))) {
        above = GetWindow(above, GW_HWNDPREV);
    }
    return above;
}

}  // namespace

void TopMostBand::SetReason(Reason reason, bool holds) {
    const unsigned bit = 1u << static_cast<unsigned>(reason);
    if (((reasons_ & bit) != 0) == holds) return;
    reasons_ ^= bit;
    if (holds) {
        TakeOut();
    } else {
        PutBack();
    }
}

void TopMostBand::TakeOut() {
    if (takenOutLevel_++ > 0) return;
    const std::vector<HWND> windows = OwnedWindows(owner_);
    takenOut_.clear();
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(takenOut_), IsTopMost);
    const HWND highestOrdinary = HighestOrdinary(windows);
    // Top first: each goes directly above the highest ordinary window, below the ones before
    // it, so that their order among themselves stays.
    for (HWND window : takenOut_) {
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kStackingOnly);
        if (!highestOrdinary) continue;
        const HWND above = VisibleAbove(highestOrdinary, window);
        if (above && !IsTopMost(above)) SetWindowPos(window, above, 0, 0, 0, 0, kStackingOnly);
    }
}

void TopMostBand::PutBack() {
    if (takenOutLevel_ == 0) return;
    if (--takenOutLevel_ > 0) return;
    // Bottom first: the top one ends on top.
    for (auto it = takenOut_.rbegin(); it != takenOut_.rend(); ++it) {
        if (IsWindow(*it)) SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, kStackingOnly);
    }
    takenOut_.clear();
}

void TopMostBand::PlaceAgain() {
    // After another program window was shown or activated, the screen can show it above a
    // window that stays on top although the stacking order says otherwise (Wine's X windows).
    // A real change of place restacks the screen too: each leaves its band for a moment and
    // comes back to its top. Leaving the band puts it at the top of the ordinary windows, so
    // at no moment does it lie below the main window: a click or a look at the stacking order
    // while this runs finds it above.
    if (takenOutLevel_ > 0) return;
    placeAgain_.Done();  // whatever came up before now is dealt with here
    const std::vector<HWND> windows = OwnedWindows(owner_);
    if (!HighestOrdinary(windows)) return;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (!IsTopMost(*it) || !IsWindowVisible(*it)) continue;
        SetWindowPos(*it, HWND_NOTOPMOST, 0, 0, 0, 0, kStackingOnly);
        SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, kStackingOnly);
    }
}

void TopMostBand::OnPlaceAgainMessage() {
    placeAgain_.MarkArrived();
    if (placeAgain_.Requested()) PlaceAgain();
}

}  // namespace pelmora::app
