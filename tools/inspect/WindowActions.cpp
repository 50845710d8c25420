// The commands that act on windows: messages, places, texts, and a window of inspect.exe's own.
#include "Commands.h"
#include "Json.h"
#include "WindowFacts.h"

namespace inspect {
namespace {

struct WindowMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// HWND MSG WPARAM LPARAM; nothing when one is missing.
std::optional<WindowMessage> MessageOf(const Args& args) {
    const std::optional<HWND> window = args.Window(1);
    const std::optional<long long> message = args.Number(2);
    const std::optional<long long> wParam = args.Number(3);
    const std::optional<long long> lParam = args.Number(4);
    if (!window || !message || !wParam || !lParam) return std::nullopt;
    return WindowMessage{*window, static_cast<UINT>(*message), static_cast<WPARAM>(*wParam),
                         static_cast<LPARAM>(*lParam)};
}

}  // namespace

std::string PostToWindow(const Args& args) {
    const std::optional<WindowMessage> posted = MessageOf(args);
    if (!posted) return Error("usage: post HWND MSG WP LP");
    if (!PostMessageW(posted->window, posted->message, posted->wParam, posted->lParam))
        return Error("PostMessage failed");
    return Ok();
}

std::string SendToWindow(const Args& args) {
    const std::optional<WindowMessage> sent = MessageOf(args);
    if (!sent) return Error("usage: send HWND MSG WP LP");
    DWORD_PTR result = 0;
    if (!SendWide(sent->window, sent->message, sent->wParam, sent->lParam, result))
        return Error("SendMessageTimeout failed");
    return Ok(",\"result\":" + Num(static_cast<LONG_PTR>(result)));
}

std::string SetWindowPlace(const Args& args) {
    long long numbers[8] = {};
    for (size_t i = 1; i <= 7; ++i) {
        const std::optional<long long> number = args.Number(i);
        if (!number) return Error("usage: swp HWND AFTER X Y W H FLAGS");
        numbers[i] = *number;
    }
    if (!SetWindowPos(HandleFromNumber(numbers[1]), HandleFromNumber(numbers[2]),
                      static_cast<int>(numbers[3]), static_cast<int>(numbers[4]),
                      static_cast<int>(numbers[5]), static_cast<int>(numbers[6]),
                      static_cast<UINT>(numbers[7])))
        return Error("SetWindowPos failed");
    return Ok();
}

std::string PostClose(const Args& args) {
    const std::optional<HWND> window = args.Window(1);
    if (!window) return Error("usage: close HWND");
    if (!PostMessageW(*window, WM_CLOSE, 0, 0)) return Error("PostMessage failed");
    return Ok();
}

std::string SetAnsiText(const Args& args) {
    const std::optional<HWND> window = args.Window(1);
    const std::optional<std::string> bytes = window ? args.Bytes(2) : std::nullopt;
    if (!window || !bytes) return Error("usage: settext HWND ANSIHEX");
    DWORD_PTR result = 0;
    if (!SendAnsi(*window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes->c_str()), result))
        return Error("WM_SETTEXT failed");
    return Ok(",\"result\":" + Num(static_cast<LONG_PTR>(result)));
}

std::string MakeWindow(const Args& args) {
    const std::optional<long long> x = args.Number(1), y = args.Number(2);
    const std::optional<long long> width = args.Number(3), height = args.Number(4);
    const std::optional<std::string> caption = args.Bytes(5);
    if (!x || !y || !width || !height || !caption) return Error("usage: mkwin X Y W H CAPTIONHEX");
    const RECT rect = {static_cast<LONG>(*x), static_cast<LONG>(*y), static_cast<LONG>(*x + *width),
                       static_cast<LONG>(*y + *height)};
    return MakeOtherWindow(rect, Utf8ToWide(*caption));
}

}  // namespace inspect
