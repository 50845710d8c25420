// inspect: a small console server through which the end-to-end tests look at the windows of
// other processes. It reads one command per line on standard input and answers each with one
// line of JSON on standard output (flushed at once), so that one start-up of it serves a whole
// test run.
//
// Arguments are separated by single blanks. Numbers are decimal or 0x-hexadecimal; window
// handles are plain numbers. Strings are hexadecimal UTF-8 bytes ("-" for none or empty), except
// where an ANSI byte string is asked for. Texts come back twice: "hex" holds the bytes that the
// ANSI call gives (code page of the system, 932 in the tests; for combo box items the wide text
// converted to that code page), "text" the wide-character text as a JSON string.
//
// Programs started by `start` that still run when the input ends (or at `quit`) are ended.
//
// Commands:
//   ping | acp | quit
//   start EXE CWD [SHOW]       start a program (no console, no inherited handles), optionally
//                              with a window-show request (SW_...) -> pid
//   alive PID | waitexit PID MS | kill PID
//   windows [PID]              all top-level windows, topmost first (Z order), hidden ones too
//   find CLASS CAPTION [PID]   top-level windows by class and caption ("-" matches any)
//   info HWND | child HWND ID | children HWND
//   text HWND                  WM_GETTEXT, ANSI and wide
//   combo HWND [MAX]           items (the first MAX), selection, edit text, list state of a
//                              combo box
//   gui TID                    active, focus and capture windows of a thread; foreground window
//   post HWND MSG WPARAM LPARAM | send HWND MSG WPARAM LPARAM | close HWND
//   settext HWND ANSIHEX       WM_SETTEXT with ANSI bytes
//   swp HWND AFTER X Y W H FLAGS   SetWindowPos (AFTER: -1 topmost, -2 not topmost, 0 top)
//   mkwin X Y W H CAPTION      an ordinary window of this process, shown without activation
//   cursor | screen
//   xwin HWND                  the X11 window id that Wine keeps for a window (0 when none)

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "UniqueHandle.h"
#include "WindowText.h"

namespace {

// ---- owned handles -------------------------------------------------------------------------

// Every call here that opens a handle gives null when it fails (none is CreateFile's kind).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using OwnedHandle = pelmora::UniqueHandle<KernelHandleTraits>;

// Processes started by `start`, by process id.
std::map<DWORD, OwnedHandle>& StartedProcesses() {
    static std::map<DWORD, OwnedHandle> processes;
    return processes;
}

// ---- text conversions ----------------------------------------------------------------------

std::wstring Utf8ToWide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string WideToAnsi(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool FromHex(const std::string& hex, std::string& out) {
    out.clear();
    if (hex == "-") return true;
    if (hex.size() % 2 != 0) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

std::string ToHex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}

// ---- JSON output ---------------------------------------------------------------------------

std::string JsonString(const std::wstring& w) {
    std::string out = "\"";
    char buf[8];
    for (wchar_t c : w) {
        if (c == L'"' || c == L'\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c) & 0xFFFF);
            out += buf;
        }
    }
    out.push_back('"');
    return out;
}

std::string JsonAscii(const std::string& s) {
    std::wstring w(s.begin(), s.end());
    return JsonString(w);
}

std::string Num(long long v) {
    return std::to_string(v);
}
std::string Bool(bool b) {
    return b ? "true" : "false";
}
std::string HwndNum(HWND h) {
    return Num(static_cast<long long>(reinterpret_cast<uintptr_t>(h)));
}

std::string Error(const std::string& what) {
    return "{\"ok\":false,\"error\":" + JsonAscii(what) + ",\"code\":" + Num(GetLastError()) + "}";
}

// ---- argument parsing ----------------------------------------------------------------------

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) parts.push_back(line.substr(start, i - start));
    }
    return parts;
}

bool ParseNum(const std::string& s, long long& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtoll(s.c_str(), &end, 0);
    return end != nullptr && *end == '\0';
}

HWND ToHwnd(long long v) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
}

// ---- window facts --------------------------------------------------------------------------

std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

constexpr UINT kSendTimeoutMs = 2000;

bool SendA(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR& result) {
    return SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

bool SendW(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR& result) {
    return SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

// The window's text through WM_GETTEXT, both ways, as a JSON object.
std::string TextJson(HWND h) {
    DWORD_PTR lenA = 0, lenW = 0;
    std::string ansi;
    std::wstring wide;
    if (SendA(h, WM_GETTEXTLENGTH, 0, 0, lenA)) {
        std::vector<char> buf(lenA + 2, '\0');
        DWORD_PTR got = 0;
        if (SendA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), got))
            ansi.assign(buf.data(), got);
    }
    if (SendW(h, WM_GETTEXTLENGTH, 0, 0, lenW)) {
        std::vector<wchar_t> buf(lenW + 2, L'\0');
        DWORD_PTR got = 0;
        if (SendW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), got))
            wide.assign(buf.data(), got);
    }
    return "{\"hex\":\"" + ToHex(ansi) + "\",\"text\":" + JsonString(wide) + "}";
}

std::string RectJson(const RECT& r) {
    return "{\"left\":" + Num(r.left) + ",\"top\":" + Num(r.top) +
           ",\"width\":" + Num(r.right - r.left) + ",\"height\":" + Num(r.bottom - r.top) + "}";
}

std::string InfoJson(HWND h) {
    if (!IsWindow(h)) return "null";
    RECT wr = {}, cr = {};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT origin = {0, 0};
    ClientToScreen(h, &origin);
    OffsetRect(&cr, origin.x, origin.y);
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(h, &pid);
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    const LONG exstyle = GetWindowLongW(h, GWL_EXSTYLE);
    return "{\"hwnd\":" + HwndNum(h) + ",\"class\":" + JsonString(ClassOf(h)) +
           ",\"caption\":" + JsonString(pelmora::WindowTextW(h)) + ",\"rect\":" + RectJson(wr) +
           ",\"client\":" + RectJson(cr) + ",\"style\":" + Num(static_cast<DWORD>(style)) +
           ",\"exstyle\":" + Num(static_cast<DWORD>(exstyle)) +
           ",\"visible\":" + Bool(IsWindowVisible(h)) + ",\"enabled\":" + Bool(IsWindowEnabled(h)) +
           ",\"iconic\":" + Bool(IsIconic(h)) + ",\"zoomed\":" + Bool(IsZoomed(h)) +
           ",\"topmost\":" + Bool((exstyle & WS_EX_TOPMOST) != 0) +
           ",\"owner\":" + HwndNum(GetWindow(h, GW_OWNER)) +
           ",\"parent\":" + HwndNum(GetAncestor(h, GA_PARENT)) + ",\"id\":" + Num(GetDlgCtrlID(h)) +
           ",\"pid\":" + Num(pid) + ",\"tid\":" + Num(tid) + "}";
}

struct EnumState {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
    reinterpret_cast<EnumState*>(lp)->found.push_back(h);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    EnumState state;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
    EnumState state;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::string InfoList(const std::vector<HWND>& windows) {
    // A window can go between the enumeration and its reading (a message box closing): the
    // list holds the windows that are still there.
    std::string out = "[";
    bool first = true;
    for (HWND window : windows) {
        const std::string info = InfoJson(window);
        if (info == "null") continue;
        if (!first) out += ",";
        first = false;
        out += info;
    }
    return out + "]";
}

// ---- a window of this process, for "another application" --------------------------------

LRESULT CALLBACK OtherWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

struct OtherWindowRequest {
    RECT rect;
    std::wstring caption;
    HWND hwnd = nullptr;
    OwnedHandle ready;
};

DWORD WINAPI OtherWindowThread(LPVOID param) {
    auto* request = static_cast<OtherWindowRequest*>(param);
    static const wchar_t kClass[] = L"PelmoraInspectWindow";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = OtherWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when registered by an earlier window
    const RECT r = request->rect;
    HWND h = CreateWindowExW(0, kClass, request->caption.c_str(), WS_OVERLAPPEDWINDOW, r.left,
                             r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                             wc.hInstance, nullptr);
    request->hwnd = h;
    SetEvent(request->ready.get());  // `request` must not be touched after this
    if (!h) return 1;
    ShowWindow(h, SW_SHOWNA);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

std::string MakeOtherWindow(const RECT& rect, const std::wstring& caption) {
    OtherWindowRequest request;
    request.rect = rect;
    request.caption = caption;
    request.ready = OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OwnedHandle thread(CreateThread(nullptr, 0, OtherWindowThread, &request, 0, nullptr));
    if (!thread) return Error("CreateThread failed");
    if (WaitForSingleObject(request.ready.get(), 10000) != WAIT_OBJECT_0)
        return Error("window thread did not answer");
    if (!request.hwnd) return Error("CreateWindowEx failed");
    return "{\"ok\":true,\"hwnd\":" + HwndNum(request.hwnd) + "}";
}

// ---- commands ------------------------------------------------------------------------------

std::string ProcessHandleFor(DWORD pid, OwnedHandle& temporary, HANDLE& h) {
    auto& started = StartedProcesses();
    auto it = started.find(pid);
    if (it != started.end()) {
        h = it->second.get();
        return {};
    }
    temporary = OwnedHandle(OpenProcess(
        PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!temporary) return Error("OpenProcess failed");
    h = temporary.get();
    return {};
}

std::string ExitJson(HANDLE h, DWORD wait) {
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    const bool exited = WaitForSingleObject(h, wait) == WAIT_OBJECT_0;
    if (exited) GetExitCodeProcess(h, &code);
    return "{\"ok\":true,\"exited\":" + Bool(exited) + ",\"exit_code\":" + Num(code) + "}";
}

std::string Run(const std::vector<std::string>& a) {
    const std::string& cmd = a[0];
    std::vector<long long> n(a.size(), 0);
    auto num = [&](size_t i) -> bool { return i < a.size() && ParseNum(a[i], n[i]); };
    auto str = [&](size_t i, std::string& out) -> bool {
        return i < a.size() && FromHex(a[i], out);
    };
    // The window that the first argument names; when there is none, nullptr and `failure` holds
    // the answer.
    std::string failure;
    auto windowArg = [&](const char* usage) -> HWND {
        if (!num(1)) {
            failure = Error(usage);
            return nullptr;
        }
        const HWND h = ToHwnd(n[1]);
        if (!IsWindow(h)) {
            failure = Error("no such window");
            return nullptr;
        }
        return h;
    };

    if (cmd == "ping") return "{\"ok\":true}";
    if (cmd == "acp")
        return "{\"ok\":true,\"acp\":" + Num(GetACP()) + ",\"oemcp\":" + Num(GetOEMCP()) + "}";
    if (cmd == "screen") {
        return "{\"ok\":true,\"width\":" + Num(GetSystemMetrics(SM_CXSCREEN)) +
               ",\"height\":" + Num(GetSystemMetrics(SM_CYSCREEN)) +
               ",\"caption\":" + Num(GetSystemMetrics(SM_CYCAPTION)) +
               ",\"frame\":" + Num(GetSystemMetrics(SM_CXSIZEFRAME)) +
               ",\"min_track_width\":" + Num(GetSystemMetrics(SM_CXMINTRACK)) +
               ",\"min_track_height\":" + Num(GetSystemMetrics(SM_CYMINTRACK)) + "}";
    }
    if (cmd == "cursor") {
        POINT p = {};
        if (!GetCursorPos(&p)) return Error("GetCursorPos failed");
        return "{\"ok\":true,\"x\":" + Num(p.x) + ",\"y\":" + Num(p.y) + "}";
    }
    if (cmd == "start") {
        std::string exe, cwd;
        if (!str(1, exe) || !str(2, cwd)) return Error("usage: start EXEHEX CWDHEX [SHOWCMD]");
        std::wstring exeW = Utf8ToWide(exe), cwdW = Utf8ToWide(cwd);
        std::wstring commandLine = L"\"" + exeW + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (num(3)) {  // the window-show request the program is started with
            si.dwFlags = STARTF_USESHOWWINDOW;
            si.wShowWindow = static_cast<WORD>(n[3]);
        }
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(exeW.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            DETACHED_PROCESS, nullptr, cwdW.empty() ? nullptr : cwdW.c_str(), &si,
                            &pi))
            return Error("CreateProcess failed");
        OwnedHandle thread(pi.hThread);  // not needed: closed at once
        StartedProcesses()[pi.dwProcessId] = OwnedHandle(pi.hProcess);
        return "{\"ok\":true,\"pid\":" + Num(pi.dwProcessId) + "}";
    }
    if (cmd == "alive" || cmd == "waitexit" || cmd == "kill") {
        if (!num(1)) return Error("usage: " + cmd + " PID");
        OwnedHandle temporary;
        HANDLE h = nullptr;
        failure = ProcessHandleFor(static_cast<DWORD>(n[1]), temporary, h);
        if (!failure.empty()) return failure;
        if (cmd == "alive") return ExitJson(h, 0);
        if (cmd == "waitexit") {
            if (!num(2)) return Error("usage: waitexit PID MS");
            return ExitJson(h, static_cast<DWORD>(n[2]));
        }
        if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0 && !TerminateProcess(h, 1))
            return Error("TerminateProcess failed");
        std::string result = ExitJson(h, 5000);
        StartedProcesses().erase(static_cast<DWORD>(n[1]));
        return result;
    }
    if (cmd == "windows" || cmd == "find") {
        std::wstring cls, caption;
        bool anyClass = true, anyCaption = true;
        size_t pidArg = 1;
        if (cmd == "find") {
            std::string c, t;
            if (!str(1, c) || !str(2, t)) return Error("usage: find CLASSHEX CAPTIONHEX [PID]");
            anyClass = a[1] == "-";
            anyCaption = a[2] == "-";
            cls = Utf8ToWide(c);
            caption = Utf8ToWide(t);
            pidArg = 3;
        }
        const bool byPid = num(pidArg);
        std::vector<HWND> matches;
        for (HWND h : TopLevelWindows()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (byPid && pid != static_cast<DWORD>(n[pidArg])) continue;
            if (!anyClass && ClassOf(h) != cls) continue;
            if (!anyCaption && pelmora::WindowTextW(h) != caption) continue;
            matches.push_back(h);
        }
        return "{\"ok\":true,\"windows\":" + InfoList(matches) + "}";
    }
    if (cmd == "info") {
        const HWND h = windowArg("usage: info HWND");
        if (!h) return failure;
        return "{\"ok\":true,\"window\":" + InfoJson(h) + "}";
    }
    if (cmd == "child") {
        if (!num(1) || !num(2)) return Error("usage: child HWND ID");
        HWND h = GetDlgItem(ToHwnd(n[1]), static_cast<int>(n[2]));
        if (!h) return Error("no such child");
        return "{\"ok\":true,\"window\":" + InfoJson(h) + "}";
    }
    if (cmd == "children") {
        const HWND parent = windowArg("usage: children HWND");
        if (!parent) return failure;
        std::string out = "{\"ok\":true,\"children\":[";
        bool first = true;
        for (HWND h : ChildWindows(parent)) {
            if (!first) out += ",";
            first = false;
            out += "{\"window\":" + InfoJson(h) + ",\"text\":" + TextJson(h) + "}";
        }
        return out + "]}";
    }
    if (cmd == "text") {
        const HWND h = windowArg("usage: text HWND");
        if (!h) return failure;
        return "{\"ok\":true,\"text\":" + TextJson(h) + "}";
    }
    if (cmd == "combo") {
        const HWND h = windowArg("usage: combo HWND [MAXITEMS]");
        if (!h) return failure;
        DWORD_PTR count = 0, sel = 0, dropped = 0;
        if (!SendA(h, CB_GETCOUNT, 0, 0, count)) return Error("CB_GETCOUNT failed");
        SendA(h, CB_GETCURSEL, 0, 0, sel);
        SendA(h, CB_GETDROPPEDSTATE, 0, 0, dropped);
        std::string items = "[";
        // The items are read wide and converted here: an ANSI CB_GETLBTEXT sent to another
        // process comes back from Wine as the raw wide buffer.
        const long long shown = num(2) ? std::min<long long>(n[2], count) : count;
        for (int i = 0; i < static_cast<int>(shown); ++i) {
            DWORD_PTR lenW = 0, got = 0;
            std::wstring wide;
            if (SendW(h, CB_GETLBTEXTLEN, i, 0, lenW) && static_cast<LONG_PTR>(lenW) >= 0) {
                std::vector<wchar_t> buf(lenW + 2, L'\0');
                if (SendW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()), got) &&
                    static_cast<LONG_PTR>(got) >= 0)
                    wide.assign(buf.data(), got);
            }
            if (i) items += ",";
            items +=
                "{\"hex\":\"" + ToHex(WideToAnsi(wide)) + "\",\"text\":" + JsonString(wide) + "}";
        }
        items += "]";
        return "{\"ok\":true,\"count\":" + Num(static_cast<LONG_PTR>(count)) +
               ",\"cursel\":" + Num(static_cast<LONG_PTR>(sel)) +
               ",\"dropped\":" + Bool(dropped != 0) + ",\"items\":" + items +
               ",\"edit\":" + TextJson(h) + "}";
    }
    if (cmd == "gui") {
        if (!num(1)) return Error("usage: gui TID");
        GUITHREADINFO gi = {};
        gi.cbSize = sizeof gi;
        if (!GetGUIThreadInfo(static_cast<DWORD>(n[1]), &gi))
            return Error("GetGUIThreadInfo failed");
        return "{\"ok\":true,\"active\":" + HwndNum(gi.hwndActive) +
               ",\"focus\":" + HwndNum(gi.hwndFocus) + ",\"capture\":" + HwndNum(gi.hwndCapture) +
               ",\"menuowner\":" + HwndNum(gi.hwndMenuOwner) +
               ",\"movesize\":" + HwndNum(gi.hwndMoveSize) + ",\"flags\":" + Num(gi.flags) +
               ",\"foreground\":" + HwndNum(GetForegroundWindow()) + "}";
    }
    if (cmd == "foreground") {
        return "{\"ok\":true,\"hwnd\":" + HwndNum(GetForegroundWindow()) + "}";
    }
    if (cmd == "post" || cmd == "send") {
        if (!num(1) || !num(2) || !num(3) || !num(4))
            return Error("usage: " + cmd + " HWND MSG WP LP");
        HWND h = ToHwnd(n[1]);
        const UINT msg = static_cast<UINT>(n[2]);
        const WPARAM wp = static_cast<WPARAM>(n[3]);
        const LPARAM lp = static_cast<LPARAM>(n[4]);
        if (cmd == "post") {
            if (!PostMessageW(h, msg, wp, lp)) return Error("PostMessage failed");
            return "{\"ok\":true}";
        }
        DWORD_PTR result = 0;
        if (!SendW(h, msg, wp, lp, result)) return Error("SendMessageTimeout failed");
        return "{\"ok\":true,\"result\":" + Num(static_cast<LONG_PTR>(result)) + "}";
    }
    if (cmd == "swp") {
        for (size_t i = 1; i <= 7; ++i)
            if (!num(i)) return Error("usage: swp HWND AFTER X Y W H FLAGS");
        if (!SetWindowPos(ToHwnd(n[1]), ToHwnd(n[2]), static_cast<int>(n[3]),
                          static_cast<int>(n[4]), static_cast<int>(n[5]), static_cast<int>(n[6]),
                          static_cast<UINT>(n[7])))
            return Error("SetWindowPos failed");
        return "{\"ok\":true}";
    }
    if (cmd == "close") {
        if (!num(1)) return Error("usage: close HWND");
        if (!PostMessageW(ToHwnd(n[1]), WM_CLOSE, 0, 0)) return Error("PostMessage failed");
        return "{\"ok\":true}";
    }
    if (cmd == "settext") {
        std::string bytes;
        if (!num(1) || !str(2, bytes)) return Error("usage: settext HWND ANSIHEX");
        DWORD_PTR result = 0;
        if (!SendA(ToHwnd(n[1]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), result))
            return Error("WM_SETTEXT failed");
        return "{\"ok\":true,\"result\":" + Num(static_cast<LONG_PTR>(result)) + "}";
    }
    if (cmd == "mkwin") {
        std::string caption;
        if (!num(1) || !num(2) || !num(3) || !num(4) || !str(5, caption))
            return Error("usage: mkwin X Y W H CAPTIONHEX");
        const RECT r = {static_cast<LONG>(n[1]), static_cast<LONG>(n[2]),
                        static_cast<LONG>(n[1] + n[3]), static_cast<LONG>(n[2] + n[4])};
        return MakeOtherWindow(r, Utf8ToWide(caption));
    }
    if (cmd == "xwin") {
        if (!num(1)) return Error("usage: xwin HWND");
        HANDLE x = GetPropA(ToHwnd(n[1]), "__wine_x11_whole_window");
        return "{\"ok\":true,\"xid\":" +
               Num(static_cast<long long>(reinterpret_cast<uintptr_t>(x))) + "}";
    }
    return Error("unknown command: " + cmd);
}

bool ReadLine(HANDLE in, std::string& line) {
    line.clear();
    char c;
    DWORD got = 0;
    while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') return true;
        if (c != '\r') line.push_back(c);
    }
    return !line.empty();
}

void WriteLine(HANDLE out, const std::string& text) {
    std::string line = text + "\n";
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(out);
}

}  // namespace

int main() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    std::string line;
    WriteLine(out, "{\"ok\":true,\"ready\":true,\"pid\":" + Num(GetCurrentProcessId()) + "}");
    while (ReadLine(in, line)) {
        const std::vector<std::string> args = Split(line);
        if (args.empty()) continue;
        if (args[0] == "quit") {
            WriteLine(out, "{\"ok\":true}");
            break;
        }
        WriteLine(out, Run(args));
    }
    // Whoever drove us is gone or done: programs we started must not outlive the run.
    for (auto& [pid, process] : StartedProcesses()) {
        if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(process.get(), 1);
    }
    return 0;
}
