// The program's windows as the application window sees them.
#pragma once

#include <windows.h>

#include <vector>

namespace pelmora::app {

// The top-level windows that `owner` owns, in stacking order, top first; hidden ones too.
inline std::vector<HWND> OwnedWindows(HWND owner) {
    std::vector<HWND> windows;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindow(window, GW_OWNER) == owner) windows.push_back(window);
    }
    return windows;
}

}  // namespace pelmora::app
