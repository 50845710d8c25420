// The failure display: the one place where failures reach the user, a message box with the
// failure's text and the application title, owned by the application window.
#pragma once

#include <windows.h>

#include <exception>

namespace pelmora::app {

// The application title: the taskbar button's text and every failure box's caption.
inline constexpr wchar_t kApplicationTitleW[] = L"Pelmora";
inline constexpr char kApplicationTitle[] = "Pelmora";

class FailureDisplay {
  public:
    // The application window: the owner of the boxes, whose windows are disabled while one is
    // up.
    void Attach(HWND owner) noexcept { owner_ = owner; }

    // Shows one failure and returns when the user has closed the box: a drag or selection in
    // progress ends first, the box comes up on the monitor of the active window (else of
    // `fallback`), the program's windows take no input while it is up, and the window that was
    // active gets the activation and the focus back.
    void Show(std::exception_ptr failure, HWND fallback) const noexcept;

    // The failure that ended start-up, shown without an owner: the message as it came.
    static void ShowAtStartUp(std::exception_ptr failure) noexcept;

  private:
    void ShowBox(const char* text, HWND fallback) const;

    HWND owner_ = nullptr;
};

}  // namespace pelmora::app
