// A window's resolution in pixels per inch: its own where the system can tell it (each monitor
// can have its own scale), else the screen's.
#pragma once

#include <windows.h>

namespace pelmora::ui {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// The system's GetDpiForWindow, looked up when the program runs: systems before Windows 10
// (1607) lack it, and the program still starts there. Null where it is missing.
DpiForWindowFunction SystemDpiForWindow() noexcept;

// The resolution of `window` as `dpiForWindow` tells it; the screen's where that function is
// missing or knows no answer.
int WindowPixelsPerInch(HWND window,
                        DpiForWindowFunction dpiForWindow = SystemDpiForWindow()) noexcept;

}  // namespace pelmora::ui
