// The always-on-top band of the program: the windows of the application window that stay above
// all ordinary windows (the checker). While a reason holds (the application is inactive, its
// window disabled by a failure box, or minimised) they are out of the band, directly above the
// program's highest ordinary window, so that other applications' windows can cover them; they go
// back when the last reason ends. When a program window has come up in the stacking order they
// are placed again, so that the screen shows them on top as the stacking order does.
#pragma once

#include <windows.h>

#include <vector>

#include "ControlIds.h"
#include "PostedRequest.h"

namespace pelmora::app {

class TopMostBand {
  public:
    enum class Reason { kInactive, kDisabled, kMinimized };

    // The application window, whose windows the band holds.
    void Attach(HWND owner) noexcept { owner_ = owner; }

    // Says whether `reason` holds now: the windows go out of the band when it starts and back
    // when it ends (unless another reason still holds); nothing happens while it stays as it is.
    void SetReason(Reason reason, bool holds);

    // Takes the windows out of their band, each placed directly above the program's highest
    // ordinary window, and puts them back. Nested: only the PutBack matching the first TakeOut
    // puts them back; an unmatched PutBack does nothing.
    void TakeOut();
    void PutBack();
    int TakenOutLevel() const noexcept { return takenOutLevel_; }

    // Places the windows in the band again, each at its top, unless they are out of it.
    void PlaceAgain();
    // PlaceAgain once the message queue comes to it (kPlaceBandMessage to the application
    // window): once for any number of calls, and not at all when PlaceAgain ran after them.
    void PlaceAgainSoon() noexcept { placeAgain_.Request(owner_); }
    // For kPlaceBandMessage.
    void OnPlaceAgainMessage();

    // The windows are gone: nothing is to be put back.
    void Forget() noexcept { takenOut_.clear(); }

  private:
    HWND owner_ = nullptr;
    unsigned reasons_ = 0;  // a bit for each Reason that holds
    int takenOutLevel_ = 0;
    std::vector<HWND> takenOut_;  // taken out of the band, to be put back
    ui::PostedRequest placeAgain_{ui::kPlaceBandMessage};
};

}  // namespace pelmora::app
