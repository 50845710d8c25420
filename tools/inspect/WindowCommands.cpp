// The commands that read windows.
#include <algorithm>

#include "Commands.h"
#include "Json.h"
#include "WindowFacts.h"
#include "WindowText.h"

namespace inspect {
namespace {

// The window that the first argument names; when there is none, null and `failure` holds the
// answer.
HWND ExistingWindow(const Args& args, const char* usage, std::string& failure) {
    const std::optional<HWND> window = args.Window(1);
    if (!window) {
        failure = Error(usage);
        return nullptr;
    }
    if (!IsWindow(*window)) {
        failure = Error("no such window");
        return nullptr;
    }
    return *window;
}

// The top-level windows of the process that the argument at `processIndex` names (any when
// none), with the class and caption given (any when none).
std::string MatchingWindows(const Args& args, size_t processIndex,
                            const std::optional<std::wstring>& className,
                            const std::optional<std::wstring>& caption) {
    const std::optional<long long> process = args.Number(processIndex);
    std::vector<HWND> matches;
    for (HWND window : TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (process && owner != static_cast<DWORD>(*process)) continue;
        if (className && ClassOf(window) != *className) continue;
        if (caption && pelmora::WindowTextW(window) != *caption) continue;
        matches.push_back(window);
    }
    return Ok(",\"windows\":" + InfoList(matches));
}

}  // namespace

std::string ListWindows(const Args& args) {
    return MatchingWindows(args, 1, std::nullopt, std::nullopt);
}

std::string FindWindows(const Args& args) {
    const std::optional<std::string> className = args.Bytes(1);
    const std::optional<std::string> caption = className ? args.Bytes(2) : std::nullopt;
    if (!className || !caption) return Error("usage: find CLASSHEX CAPTIONHEX [PID]");
    // "-" matches any.
    const auto wanted = [&](size_t index, const std::string& bytes) {
        return args.Word(index) == "-" ? std::nullopt : std::optional(Utf8ToWide(bytes));
    };
    return MatchingWindows(args, 3, wanted(1, *className), wanted(2, *caption));
}

std::string WindowInfo(const Args& args) {
    std::string failure;
    const HWND window = ExistingWindow(args, "usage: info HWND", failure);
    if (!window) return failure;
    return Ok(",\"window\":" + InfoJson(window));
}

std::string ChildById(const Args& args) {
    const std::optional<HWND> parent = args.Window(1);
    const std::optional<long long> id = parent ? args.Number(2) : std::nullopt;
    if (!parent || !id) return Error("usage: child HWND ID");
    const HWND child = GetDlgItem(*parent, static_cast<int>(*id));
    if (!child) return Error("no such child");
    return Ok(",\"window\":" + InfoJson(child));
}

std::string ChildrenOf(const Args& args) {
    std::string failure;
    const HWND parent = ExistingWindow(args, "usage: children HWND", failure);
    if (!parent) return failure;
    std::string children = "[";
    bool first = true;
    for (HWND child : ChildWindows(parent)) {
        if (!first) children += ",";
        first = false;
        children += "{\"window\":" + InfoJson(child) + ",\"text\":" + TextJson(child) + "}";
    }
    return Ok(",\"children\":" + children + "]");
}

std::string TextOf(const Args& args) {
    std::string failure;
    const HWND window = ExistingWindow(args, "usage: text HWND", failure);
    if (!window) return failure;
    return Ok(",\"text\":" + TextJson(window));
}

std::string ComboBoxState(const Args& args) {
    std::string failure;
    const HWND combo = ExistingWindow(args, "usage: combo HWND [MAXITEMS]", failure);
    if (!combo) return failure;
    DWORD_PTR count = 0, selection = 0, dropped = 0;
    if (!SendAnsi(combo, CB_GETCOUNT, 0, 0, count)) return Error("CB_GETCOUNT failed");
    SendAnsi(combo, CB_GETCURSEL, 0, 0, selection);
    SendAnsi(combo, CB_GETDROPPEDSTATE, 0, 0, dropped);
    const std::optional<long long> most = args.Number(2);
    const long long shown = most ? std::min<long long>(*most, count) : count;
    return Ok(",\"count\":" + Num(static_cast<LONG_PTR>(count)) + ",\"cursel\":" +
              Num(static_cast<LONG_PTR>(selection)) + ",\"dropped\":" + Bool(dropped != 0) +
              ",\"items\":" + ComboItemsJson(combo, shown) + ",\"edit\":" + TextJson(combo));
}

std::string ThreadInput(const Args& args) {
    const std::optional<long long> thread = args.Number(1);
    if (!thread) return Error("usage: gui TID");
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(static_cast<DWORD>(*thread), &info))
        return Error("GetGUIThreadInfo failed");
    return Ok(",\"active\":" + HwndNum(info.hwndActive) + ",\"focus\":" + HwndNum(info.hwndFocus) +
              ",\"capture\":" + HwndNum(info.hwndCapture) +
              ",\"menuowner\":" + HwndNum(info.hwndMenuOwner) +
              ",\"movesize\":" + HwndNum(info.hwndMoveSize) + ",\"flags\":" + Num(info.flags) +
              ",\"foreground\":" + HwndNum(GetForegroundWindow()));
}

std::string ForegroundWindow(const Args&) {
    return Ok(",\"hwnd\":" + HwndNum(GetForegroundWindow()));
}

std::string XWindowId(const Args& args) {
    const std::optional<HWND> window = args.Window(1);
    if (!window) return Error("usage: xwin HWND");
    const HANDLE id = GetPropA(*window, "__wine_x11_whole_window");
    return Ok(",\"xid\":" + Num(static_cast<long long>(reinterpret_cast<uintptr_t>(id))));
}

}  // namespace inspect
