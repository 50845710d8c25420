// Helpers for the window tests: pumping messages, watching for failure boxes from a second
// thread, reading windows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Errors.h"
#include "WindowText.h"

namespace pelmora::test {

// Dispatches this thread's messages for a while.
inline void Pump(int milliseconds = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

// Pumps until `done` holds or the time is up; returns whether it held.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (!done()) {
        if (static_cast<LONG>(GetTickCount() - end) >= 0) return false;
        Pump(5);
    }
    return true;
}

inline std::wstring TextOf(HWND window) {
    return WindowTextW(window);
}

inline std::string TextOfA(HWND window) {
    return WindowTextA(window);
}

inline std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

inline RECT ClientRectIn(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline bool IsTopMost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// True when `upper` lies above `lower` in the stacking order.
inline bool IsAbove(HWND upper, HWND lower) {
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) return true;
    }
    return false;
}

// The items of a combo box, as the ANSI messages give them.
inline std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buffer[512] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        items.push_back(buffer);
    }
    return items;
}

// A window of another thread that takes the foreground: for the thread under test, another
// application. It goes when the object goes.
class OtherApplication {
  public:
    OtherApplication()
        : thread_([this] {
              HWND window =
                  CreateWindowExW(0, L"Static", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                                  300, 200, 200, nullptr, nullptr, nullptr, nullptr);
              SetForegroundWindow(window);
              window_ = window;
              while (!done_) {
                  MSG message;
                  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                      DispatchMessageW(&message);
                  }
                  Sleep(5);
              }
              DestroyWindow(window);
          }) {}
    ~OtherApplication() {
        done_ = true;
        thread_.join();
    }
    OtherApplication(const OtherApplication&) = delete;
    OtherApplication& operator=(const OtherApplication&) = delete;

    // The window, once the thread has made it.
    HWND Window() const { return window_; }

  private:
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Watches this process for message boxes from a second thread while the test thread is inside
// the box's modal loop; records each box and closes it with OK. A box is looked at once it is
// visible: its texts are in place by then. `whileUp` tells which of the states that the test
// expects while a box is up hold; the watcher asks it until all of them hold, for a few seconds
// at most, and records the last answer.
class BoxWatcher {
  public:
    struct Box {
        std::wstring text;
        std::wstring caption;
        HWND owner = nullptr;
        std::vector<bool> observations;  // what `whileUp` found last while the box was up
    };

    explicit BoxWatcher(std::function<std::vector<bool>()> whileUp = {})
        : whileUp_(std::move(whileUp)), thread_([this] { Watch(); }) {}
    ~BoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    static BOOL CALLBACK Find(HWND window, LPARAM found) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            ClassOf(window) == L"#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static std::wstring BoxText(HWND box) {
        // The message is the box's longest static text.
        std::wstring best;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) != L"Static") continue;
            std::wstring text = TextOf(child);
            if (text.size() > best.size()) best = text;
        }
        return best;
    }

    static std::vector<bool> UntilAllHold(const std::function<std::vector<bool>()>& probe) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        std::vector<bool> seen = probe();
        while (std::find(seen.begin(), seen.end(), false) != seen.end() &&
               std::chrono::steady_clock::now() < end) {
            Sleep(10);
            seen = probe();
        }
        return seen;
    }

    void Watch() {
        while (!stop_) {
            HWND box = nullptr;
            EnumWindows(&Find, reinterpret_cast<LPARAM>(&box));
            if (box && box != last_) {
                last_ = box;
                Box record;
                record.text = BoxText(box);
                record.caption = TextOf(box);
                record.owner = GetWindow(box, GW_OWNER);
                if (whileUp_) record.observations = UntilAllHold(whileUp_);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    boxes_.push_back(record);
                }
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
            Sleep(20);
        }
    }

    std::function<std::vector<bool>()> whileUp_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    HWND last_ = nullptr;
    std::thread thread_;
};

}  // namespace pelmora::test
