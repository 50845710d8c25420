// The start-up floor: the least a program can do to reach the state that Pelmora reaches at
// start-up. An owner window of zero size, shown; an owned overlapped window of 300 x 182 with the
// main window's styles and its standard controls of the same classes and places (name box,
// three buttons, and a multi-line edit, ID 121, that receives the same three-line readout); and
// an owned tool window of 244 x 157 with the checker's styles, put in the always-on-top band.
// Both are shown; closing the main window ends the program. It carries Pelmora's manifest, so its
// controls are of the same kind. No fonts, no layout, no handlers, no settings file.
// Built twice: bench_floor as above, bench_floor_bare (FLOOR_BARE) with the edit control only.
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

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style, exStyle;
    int left, top, width, height;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

constexpr Control kControls[] = {
#ifndef FLOOR_BARE
    {101, L"COMBOBOX", L"", kChild | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 48, 8, 233,
     130},
    {112, L"BUTTON", L"\u547c\u3073\u51fa\u3057", kChild | BS_PUSHBUTTON, 0, 128, 32, 75, 25},
#endif
    {kReadoutId, L"EDIT", L"pos_x=\r\npos_y=\r\nwidth=",
     kChild | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE, 0, 78, 292, 70},
#ifndef FLOOR_BARE
    {111, L"BUTTON", L"\u4fdd\u5b58", kChild | BS_PUSHBUTTON, 0, 208, 32, 75, 25},
    {113, L"BUTTON", L"\u524a\u9664", kChild | BS_PUSHBUTTON, 0, 48, 32, 75, 25},
#endif
};

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
    if (!owner || !main) return 1;
    for (const Control& c : kControls) {
        CreateWindowExW(c.exStyle, c.className, c.text, c.style, c.left, c.top, c.width, c.height,
                        main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                        GetModuleHandleW(nullptr), nullptr);
    }
    HWND readout = GetDlgItem(main, kReadoutId);
    HWND checker = CreateFrame(kChecker, DefWindowProcW, owner);
    if (!readout || !checker) return 1;
    SetWindowPos(checker, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    ShowWindow(owner, SW_SHOWNA);
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
