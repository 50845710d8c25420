// The start-up floor: the least a program can do to reach the state that Pelmora reaches at
// start-up. An owner window of zero size, an owned overlapped window of 300 x 182 with the main
// window's styles and a plain edit control (ID 121) that receives the same three-line readout,
// and an owned tool window of 244 x 157 with the checker's styles, put in the always-on-top band.
// Both are shown; closing the main window ends the program. No fonts, no settings file, no
// standard library beyond what the entry point needs.
#include <windows.h>

#include <cstdio>

namespace {

struct Frame {
    const wchar_t* className;
    const wchar_t* caption;
    int left, top, width, height;
    DWORD style, exStyle;
};

constexpr Frame kOwner = {L"BenchFloorApp",
                          L"Floor",
                          640,
                          512,
                          0,
                          0,
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                          0};
constexpr Frame kMain = {L"BenchFloorMain",
                         L"Floor main",
                         192,
                         114,
                         300,
                         182,
                         WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                         WS_EX_CONTROLPARENT};
constexpr Frame kChecker = {L"BenchFloorChecker",
                            L"Floor checker",
                            497,
                            114,
                            244,
                            157,
                            WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                            WS_EX_TOOLWINDOW};
constexpr int kReadoutId = 121;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateFrame(const Frame& frame, WNDPROC proc, HWND owner) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = frame.className;
    RegisterClassExW(&wc);
    return CreateWindowExW(frame.exStyle, frame.className, frame.caption, frame.style, frame.left,
                           frame.top, frame.width, frame.height, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    HWND owner = CreateFrame(kOwner, DefWindowProcW, nullptr);
    HWND main = CreateFrame(kMain, MainProc, owner);
    HWND readout =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"pos_x=\r\npos_y=\r\nwidth=",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE, 0, 78, 292, 70, main,
                        reinterpret_cast<HMENU>(kReadoutId), GetModuleHandleW(nullptr), nullptr);
    HWND checker = CreateFrame(kChecker, DefWindowProcW, owner);
    if (!owner || !main || !readout || !checker) return 1;
    SetWindowPos(checker, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    ShowWindow(main, show);
    ShowWindow(checker, SW_SHOW);
    RECT r{};
    GetWindowRect(checker, &r);
    char text[64];
    std::snprintf(text, sizeof text, "pos_x=%ld\r\npos_y=%ld\r\nwidth=%ld", r.left, r.top,
                  r.right - r.left);
    SetWindowTextA(readout, text);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
