// Subclassing controls: their messages reach the handler and go on to their own procedures, each
// gets its procedure back, and misuse fails loudly instead of leaving a control unhooked.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "ControlHooks.h"
#include "Errors.h"
#include "Failure.h"
#include "UiTestSupport.h"

namespace pelmora::ui {
namespace {

constexpr UINT kThrowingMessage = WM_USER + 7;

class Recorder : public IControlMessageHandler {
  public:
    LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == kThrowingMessage) throw std::runtime_error("handler failed");
        return hooks->CallOriginal(control, message, wParam, lParam);
    }
    bool Saw(UINT message) const {
        return std::find(seen.begin(), seen.end(), message) != seen.end();
    }

    ControlHooks* hooks = nullptr;
    std::vector<UINT> seen;
};

HWND MakeEdit() {
    return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr,
                           nullptr);
}

TEST(ControlHooks, MessagesGoThroughTheHandlerToTheControlsOwnProcedure) {
    Recorder recorder;
    HWND edit = MakeEdit();
    const LONG_PTR own = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        ControlHooks hooks(recorder, 1);
        recorder.hooks = &hooks;
        hooks.Hook(edit);
        SetWindowTextW(edit, L"typed");
        EXPECT_TRUE(recorder.Saw(WM_SETTEXT));
        EXPECT_EQ(test::TextOf(edit), L"typed");

        std::vector<std::string> failures;
        const FailureHandler previous = SetFailureHandler([&](std::exception_ptr failure) noexcept {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                failures.push_back(e.what());
            }
        });
        EXPECT_EQ(SendMessageW(edit, kThrowingMessage, 0, 0), 0);
        SetFailureHandler(previous);
        EXPECT_EQ(failures, std::vector<std::string>{"handler failed"});
    }
    // The hooks went before the control: it has its own procedure back.
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), own);
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_USERDATA), 0);
    DestroyWindow(edit);
}

TEST(ControlHooks, MisuseThrowsAndAGoneControlMakesRoom) {
    Recorder recorder;
    ControlHooks hooks(recorder, 1);
    recorder.hooks = &hooks;
    HWND first = MakeEdit();
    HWND second = MakeEdit();
    hooks.Hook(first);
    EXPECT_THROW(hooks.Hook(first), Exception) << "hooked twice";
    EXPECT_THROW(hooks.Hook(second), Exception) << "no room";
    EXPECT_THROW(hooks.Hook(nullptr), Exception) << "no window";
    {
        Recorder other;
        ControlHooks otherHooks(other, 1);
        EXPECT_THROW(otherHooks.Hook(first), Exception) << "hooked by another table";
    }

    // A control that goes takes its last message through its own procedure and frees its entry.
    recorder.seen.clear();
    DestroyWindow(first);
    EXPECT_TRUE(recorder.Saw(WM_DESTROY));
    EXPECT_FALSE(recorder.Saw(WM_NCDESTROY));
    hooks.Hook(second);
    SetWindowTextW(second, L"second");
    EXPECT_TRUE(recorder.Saw(WM_SETTEXT));
    DestroyWindow(second);
}

}  // namespace
}  // namespace pelmora::ui
