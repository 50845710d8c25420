#include "WindowDpi.h"

#include "Handles.h"

namespace pelmora::ui {

DpiForWindowFunction SystemDpiForWindow() noexcept {
    static const DpiForWindowFunction function = [] {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        const FARPROC found = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        // Through the generic function pointer type, which any function pointer converts to.
        return reinterpret_cast<DpiForWindowFunction>(reinterpret_cast<void (*)()>(found));
    }();
    return function;
}

int WindowPixelsPerInch(HWND window, DpiForWindowFunction dpiForWindow) noexcept {
    if (dpiForWindow && window) {
        if (const UINT dpi = dpiForWindow(window)) return static_cast<int>(dpi);
    }
    const BorrowedDC screen = BorrowDC(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

}  // namespace pelmora::ui
