// Work asked for now and done when the message queue comes to it: one posted message for any
// number of requests made before it arrives, and none left to do when the work was done early.
#pragma once

#include <windows.h>

namespace pelmora::ui {

class PostedRequest {
  public:
    explicit PostedRequest(UINT message) noexcept : message_(message) {}

    // Records a request and posts the message to `window` unless it is on its way already.
    // Without a posted message (a full queue), the next request posts again.
    void Request(HWND window) noexcept {
        requested_ = true;
        if (!posted_ && window) posted_ = PostMessageW(window, message_, 0, 0) != FALSE;
    }
    // For the posted message when it arrives: the next request posts again. Whether there is
    // work left for it to do, Requested says.
    void MarkArrived() noexcept { posted_ = false; }
    // A request is still to be carried out.
    bool Requested() const noexcept { return requested_; }
    // The work is done: every request made so far is carried out.
    void Done() noexcept { requested_ = false; }

  private:
    UINT message_;
    bool requested_ = false;
    bool posted_ = false;
};

}  // namespace pelmora::ui
