// The window system's handles as UniqueHandle owns them: fonts and device contexts.
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

// Selects a GDI object into a device context for one scope.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace pelmora::ui
