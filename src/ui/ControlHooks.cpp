#include "ControlHooks.h"

#include <algorithm>

#include "Failure.h"

namespace pelmora::ui {

Exception ControlCreationFailure() {
    return Exception(AnsiFromWide(L"コントロールを作成できません"));
}

ControlHooks::ControlHooks(IControlMessageHandler& handler, std::size_t capacity)
    : handler_(handler), entries_(capacity) {}

ControlHooks::~ControlHooks() {
    for (Entry& entry : entries_) {
        if (!entry.control || !IsWindow(entry.control)) continue;
        SetWindowLongPtrW(entry.control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.original));
        SetWindowLongPtrW(entry.control, GWLP_USERDATA, 0);
    }
}

void ControlHooks::Hook(HWND control) {
    const auto free = std::find_if(entries_.begin(), entries_.end(),
                                   [](const Entry& entry) { return !entry.control; });
    const bool hooked =
        control && (Find(control) || GetWindowLongPtrW(control, GWLP_WNDPROC) ==
                                         reinterpret_cast<LONG_PTR>(&ControlHooks::Procedure));
    if (!control || !IsWindow(control) || hooked || free == entries_.end()) {
        throw ControlCreationFailure();
    }
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const auto original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlHooks::Procedure)));
    if (!original) {
        SetWindowLongPtrW(control, GWLP_USERDATA, 0);
        throw ControlCreationFailure();
    }
    *free = {control, original};
}

ControlHooks::Entry* ControlHooks::Find(HWND control) noexcept {
    for (Entry& entry : entries_) {
        if (entry.control == control) return &entry;
    }
    return nullptr;
}

const ControlHooks::Entry* ControlHooks::Find(HWND control) const noexcept {
    return const_cast<ControlHooks*>(this)->Find(control);
}

LRESULT ControlHooks::CallOriginal(HWND control, UINT message, WPARAM wParam,
                                   LPARAM lParam) const noexcept {
    const Entry* entry = Find(control);
    return entry ? CallWindowProcW(entry->original, control, message, wParam, lParam)
                 : DefWindowProcW(control, message, wParam, lParam);
}

LRESULT CALLBACK ControlHooks::Procedure(HWND control, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<ControlHooks*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    Entry* entry = self ? self->Find(control) : nullptr;
    if (!entry) return DefWindowProcW(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The control goes: its own procedure takes its last message.
        const WNDPROC original = entry->original;
        *entry = {};
        SetWindowLongPtrW(control, GWLP_USERDATA, 0);
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return CallWindowProcW(original, control, message, wParam, lParam);
    }
    try {
        return self->handler_.OnControlMessage(control, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
}

}  // namespace pelmora::ui
