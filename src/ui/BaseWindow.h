// The shape every window of the program takes: one window class per C++ class, a static window
// procedure that attaches `this` on WM_NCCREATE and detaches it on WM_NCDESTROY, and a member
// HandleMessage that hands each message to a small named handler. No exception leaves the
// window procedure: it goes to the shell's failure display.
#pragma once

#include <windows.h>

#include <utility>

#include "Failure.h"
#include "Handles.h"

namespace pelmora::ui {

// A window class template with the program's icon (resource `iconId`, large and small) and the
// arrow cursor.
inline WNDCLASSEXW ClassWithProgramIcon(WORD iconId) {
    WNDCLASSEXW wc{};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0,
                                             LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    return wc;
}

template <typename Derived>
class BaseWindow {
  public:
    HWND Handle() const noexcept { return window_; }

  protected:
    BaseWindow() = default;
    // The window goes with the object. It is detached first, so that the messages of its
    // destruction no longer reach a half-destroyed object.
    ~BaseWindow() { DestroyNow(); }
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the window class of Derived once (Derived::kClassName) and creates the window.
    // Returns false when the system refuses.
    bool CreateWindowOfClass(const WNDCLASSEXW& classTemplate, DWORD exStyle,
                             const wchar_t* caption, DWORD style, int x, int y, int width,
                             int height, HWND owner) {
        static const ATOM atom = [&] {
            WNDCLASSEXW wc = classTemplate;
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &BaseWindow::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = Derived::kClassName;
            return RegisterClassExW(&wc);
        }();
        if (!atom) return false;
        CreateWindowExW(exStyle, Derived::kClassName, caption, style, x, y, width, height, owner,
                        nullptr, GetModuleHandleW(nullptr), this);
        return window_ != nullptr;
    }

    // Destroys the window now, without handing its last messages to the object.
    void DestroyNow() noexcept {
        if (HWND window = std::exchange(window_, nullptr)) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            DestroyWindow(window);
        }
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return DefWindowProcW(window_, message, wParam, lParam);
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        BaseWindow* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<BaseWindow*>(create->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(window, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = static_cast<Derived*>(self)->HandleMessage(message, wParam, lParam);
        } catch (...) {
            ReportCurrentException();
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;  // the window is gone: nothing left to destroy
        }
        return result;
    }

    HWND window_ = nullptr;  // owned: destroyed with the object unless the system did first
};

}  // namespace pelmora::ui
