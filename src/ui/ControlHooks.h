// A window procedure put in front of the own procedures of a few controls (subclassing), handing
// their messages to one handler. Each control gets its own procedure back with its last message.
//
// The hook takes the control's user data, which the standard controls hooked here (buttons, the
// edit controls, the combo box) leave unused, and refuses a control hooked already. The common
// controls' SetWindowSubclass would chain without claiming it, but lives in comctl32, which the
// program does not import: the manifest brings version 6 of the controls with the first one
// created, and importing the library cost start-up time (bench/README.md).
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "Errors.h"

namespace pelmora::ui {

// The failure of a control that the system would not make or that cannot be hooked:
// "コントロールを作成できません".
Exception ControlCreationFailure();

class IControlMessageHandler {
  public:
    // A message to a hooked control. Pass it on with ControlHooks::CallOriginal unless the
    // handler takes it itself; an exception goes to the failure display and the message then
    // returns 0.
    virtual LRESULT OnControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~IControlMessageHandler() = default;
};

class ControlHooks {
  public:
    // Room for `capacity` controls at a time.
    ControlHooks(IControlMessageHandler& handler, std::size_t capacity);
    // Controls still hooked get their own procedures back.
    ~ControlHooks();
    ControlHooks(const ControlHooks&) = delete;
    ControlHooks& operator=(const ControlHooks&) = delete;

    // Hooks a control; its user data then belongs to the hook. Throws pelmora::Exception when
    // `control` is no window, is hooked already (its procedure would call itself), the table is
    // full or the system refuses: a control without its hook would take Tab as text.
    void Hook(HWND control);

    // The control's own procedure with a message.
    LRESULT CallOriginal(HWND control, UINT message, WPARAM wParam, LPARAM lParam) const noexcept;

  private:
    struct Entry {
        HWND control = nullptr;
        WNDPROC original = nullptr;
    };

    static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    Entry* Find(HWND control) noexcept;
    const Entry* Find(HWND control) const noexcept;

    IControlMessageHandler& handler_;
    std::vector<Entry> entries_;  // a free entry has no control
};

}  // namespace pelmora::ui
