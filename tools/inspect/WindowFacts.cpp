#include "WindowFacts.h"

#include "AnsiText.h"
#include "Json.h"
#include "WindowText.h"

namespace inspect {
namespace {

constexpr UINT kSendTimeoutMs = 2000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

bool SendAnsi(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result) != 0;
}

bool SendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result) != 0;
}

std::string TextJson(HWND window) {
    DWORD_PTR ansiLength = 0, wideLength = 0;
    std::string ansi;
    std::wstring wide;
    if (SendAnsi(window, WM_GETTEXTLENGTH, 0, 0, ansiLength)) {
        std::vector<char> buffer(ansiLength + 2, '\0');
        DWORD_PTR copied = 0;
        if (SendAnsi(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                     copied))
            ansi.assign(buffer.data(), copied);
    }
    if (SendWide(window, WM_GETTEXTLENGTH, 0, 0, wideLength)) {
        std::vector<wchar_t> buffer(wideLength + 2, L'\0');
        DWORD_PTR copied = 0;
        if (SendWide(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                     copied))
            wide.assign(buffer.data(), copied);
    }
    return TextJson(ansi, wide);
}

std::string InfoJson(HWND window) {
    if (!IsWindow(window)) return "null";
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    return "{\"hwnd\":" + HwndNum(window) + ",\"class\":" + JsonString(ClassOf(window)) +
           ",\"caption\":" + JsonString(pelmora::WindowTextW(window)) +
           ",\"rect\":" + RectJson(outer) + ",\"client\":" + RectJson(client) +
           ",\"style\":" + Num(static_cast<DWORD>(style)) +
           ",\"exstyle\":" + Num(static_cast<DWORD>(exStyle)) +
           ",\"visible\":" + Bool(IsWindowVisible(window)) +
           ",\"enabled\":" + Bool(IsWindowEnabled(window)) +
           ",\"iconic\":" + Bool(IsIconic(window)) + ",\"zoomed\":" + Bool(IsZoomed(window)) +
           ",\"topmost\":" + Bool((exStyle & WS_EX_TOPMOST) != 0) +
           ",\"owner\":" + HwndNum(GetWindow(window, GW_OWNER)) +
           ",\"parent\":" + HwndNum(GetAncestor(window, GA_PARENT)) +
           ",\"id\":" + Num(GetDlgCtrlID(window)) + ",\"pid\":" + Num(process) +
           ",\"tid\":" + Num(thread) + "}";
}

std::string InfoList(const std::vector<HWND>& windows) {
    // A window can go between the enumeration and its reading (a message box closing): the
    // list holds the windows that are still there.
    std::string list = "[";
    bool first = true;
    for (HWND window : windows) {
        const std::string info = InfoJson(window);
        if (info == "null") continue;
        if (!first) list += ",";
        first = false;
        list += info;
    }
    return list + "]";
}

std::string ComboItemsJson(HWND combo, long long count) {
    // The items are read wide and converted here: an ANSI CB_GETLBTEXT sent to another
    // process comes back from Wine as the raw wide buffer.
    std::string items = "[";
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR length = 0, copied = 0;
        std::wstring wide;
        if (SendWide(combo, CB_GETLBTEXTLEN, i, 0, length) && static_cast<LONG_PTR>(length) >= 0) {
            std::vector<wchar_t> buffer(length + 2, L'\0');
            if (SendWide(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()), copied) &&
                static_cast<LONG_PTR>(copied) >= 0)
                wide.assign(buffer.data(), copied);
        }
        if (i) items += ",";
        items += TextJson(pelmora::AnsiFromWide(wide), wide);
    }
    return items + "]";
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace inspect
