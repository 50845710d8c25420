#include "InProcessSupport.h"

#include <cstdio>

namespace bench {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_inproc: %s\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(1);
}

void Report(const char* kind, const char* who, int n, double ms) {
    if (n > 0) {
        std::printf("%s %s %d %.4f\n", kind, who, n, ms);
    } else {
        std::printf("%s %s %.4f\n", kind, who, ms);
    }
    std::fflush(stdout);
}

void Rotate(int rounds, const char* kind, int n, const std::vector<Series>& series, bool settle) {
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < series.size(); ++k) {
            const auto& [who, run] = series[(round + k) % series.size()];
            if (settle) {
                Pump();
                Sleep(40);
                Pump();
            }
            Report(kind, who, n, run());
        }
    }
}

HWND CreatePlainWindow(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                       HWND owner) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"BenchPlain";
        return RegisterClassExW(&wc);
    }();
    HWND window = CreateWindowExW(exStyle, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)),
                                  L"plain", style, x, y, width, height, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) Fail("cannot create a plain window");
    return window;
}

std::string ReadoutFor(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return "pos_x=" + std::to_string(r.left) + "\r\npos_y=" + std::to_string(r.top) +
           "\r\nwidth=" + std::to_string(r.right - r.left);
}

}  // namespace bench
