// The window system's handles as UniqueHandle owns them: fonts, device contexts and the objects
// selected into them.
#pragma once

#include <windows.h>

#include "UniqueHandle.h"

namespace pelmora::ui {

struct FontTraits {
    using Handle = HFONT;
    static void Close(HFONT font) noexcept { DeleteObject(font); }
};
using UniqueFont = UniqueHandle<FontTraits>;

// A device context from GetDC, given back to its window (none: the screen).
struct BorrowedDCTraits {
    using Handle = HDC;
    HWND window = nullptr;
    void Close(HDC dc) const noexcept { ReleaseDC(window, dc); }
};
using BorrowedDC = UniqueHandle<BorrowedDCTraits>;

inline BorrowedDC BorrowDC(HWND window) noexcept {
    return BorrowedDC(GetDC(window), {window});
}

// The device context of a WM_PAINT, ended with the paint structure that BeginPaint filled.
struct PaintDCTraits {
    using Handle = HDC;
    HWND window = nullptr;
    PAINTSTRUCT paint{};
    void Close(HDC) const noexcept { EndPaint(window, &paint); }
};
using PaintDC = UniqueHandle<PaintDCTraits>;

inline PaintDC BeginPainting(HWND window) noexcept {
    PaintDCTraits traits{window};
    const HDC dc = BeginPaint(window, &traits.paint);
    return PaintDC(dc, traits);
}

// A GDI object selected into a device context for one scope: the owner holds the object that
// was selected before and selects it again when it goes.
struct SelectionTraits {
    using Handle = HGDIOBJ;
    HDC dc = nullptr;
    void Close(HGDIOBJ previous) const noexcept { SelectObject(dc, previous); }
};
using Selection = UniqueHandle<SelectionTraits>;

inline Selection SelectInto(HDC dc, HGDIOBJ object) noexcept {
    return Selection(SelectObject(dc, object), {dc});
}

}  // namespace pelmora::ui
