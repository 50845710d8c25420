// The text of a window, whole, as the window gives it: the one reader of window text for the
// program, the inspection program and the benchmark.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace pelmora {

// Wide text (UTF-16).
inline std::wstring WindowTextW(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// 8-bit text in the ANSI code page.
inline std::string WindowTextA(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

}  // namespace pelmora
