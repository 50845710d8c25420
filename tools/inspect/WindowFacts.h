// What inspect.exe reads of a window, its own or another process's, as JSON.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace inspect {

std::wstring ClassOf(HWND window);

// A message sent with a time limit, so that a program that hangs does not hang the server.
bool SendAnsi(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result);
bool SendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result);

// The window's text through WM_GETTEXT, both ways: {"hex":ANSI bytes,"text":wide text}.
std::string TextJson(HWND window);
// Class, caption, rectangles, styles, state, owner, parent, ID, process and thread; "null"
// when the window is gone.
std::string InfoJson(HWND window);
// The InfoJson of each window that is still there, as a JSON array.
std::string InfoList(const std::vector<HWND>& windows);
// The first `count` items of a combo box, each as TextJson gives a text.
std::string ComboItemsJson(HWND combo, long long count);

// All top-level windows, topmost first (Z order); the child windows of `parent`, all levels.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildWindows(HWND parent);

// An ordinary window of this process on a thread of its own, shown without activation: for the
// program under test, another application. Answers with its handle.
std::string MakeOtherWindow(const RECT& rect, const std::wstring& caption);

}  // namespace inspect
