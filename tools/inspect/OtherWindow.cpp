// A window of inspect.exe's own, for "another application".
#include "Json.h"
#include "KernelHandle.h"
#include "WindowFacts.h"

namespace inspect {
namespace {

LRESULT CALLBACK OtherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct OtherWindowRequest {
    RECT rect;
    std::wstring caption;
    HWND window = nullptr;
    pelmora::KernelHandle ready;
};

DWORD WINAPI OtherWindowThread(LPVOID parameter) {
    auto* request = static_cast<OtherWindowRequest*>(parameter);
    static const wchar_t kClass[] = L"PelmoraInspectWindow";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = OtherWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when registered by an earlier window
    const RECT r = request->rect;
    HWND window = CreateWindowExW(0, kClass, request->caption.c_str(), WS_OVERLAPPEDWINDOW, r.left,
                                  r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    request->window = window;
    SetEvent(request->ready.get());  // `request` must not be touched after this
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNA);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

std::string MakeOtherWindow(const RECT& rect, const std::wstring& caption) {
    OtherWindowRequest request;
    request.rect = rect;
    request.caption = caption;
    request.ready = pelmora::KernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    pelmora::KernelHandle thread(CreateThread(nullptr, 0, OtherWindowThread, &request, 0, nullptr));
    if (!thread) return Error("CreateThread failed");
    if (WaitForSingleObject(request.ready.get(), 10000) != WAIT_OBJECT_0)
        return Error("window thread did not answer");
    if (!request.window) return Error("CreateWindowEx failed");
    return Ok(",\"hwnd\":" + HwndNum(request.window));
}

}  // namespace inspect
