// What the parts of the in-process benchmark share: the windows measured, the message queue,
// reporting samples, running series in turn, and the settings files they work on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "CheckerWindow.h"
#include "Clock.h"
#include "MainWindow.h"

namespace bench {

// Pelmora's windows, created and shown as the shell does at start-up.
struct ProgramWindows {
    pelmora::ui::MainWindow& main;
    pelmora::ui::CheckerWindow& checker;
};

// The floor's windows: of the same kinds, sizes and owner as Pelmora's, with no handler.
struct PlainWindows {
    HWND main;
    HWND combo;    // a plain combo box of the name box's kind
    HWND checker;  // a plain window of the checker's styles
    HWND memo;     // a plain edit control of the readout's kind
};

void Pump();
[[noreturn]] void Fail(const std::string& what);
// One sample: "KIND WHO [N] MILLISECONDS".
void Report(const char* kind, const char* who, int n, double ms);

using Series = std::pair<const char*, std::function<double()>>;
// Runs the series in turn, `rounds` times each, in a different order each round. With `settle`,
// each run starts on a settled system, as a click does: the window system has drawn what the run
// before moved (the desktop behind a window that moved is drawn by another process, on its own
// time).
void Rotate(int rounds, const char* kind, int n, const std::vector<Series>& series,
            bool settle = true);

HWND CreatePlainWindow(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND owner);
// The readout text for the window's geometry, as the program writes it.
std::string ReadoutFor(HWND window);

// ---- settings files (SettingsFiles.cpp) ----

// Setting names as a user might type them: Japanese (Shift-JIS) and ASCII, mixed.
std::string SettingName(int i);
// Writes a settings file of `sections` settings, laid out as the profile functions write it.
void WriteSettingsFile(const std::string& path, int sections);
// Every run starts as a command starts: the system holds nothing of the file.
void ForgetFile(const std::string& path);
// Sets the file's last write to `secondsAgo` before now.
void SetLastWriteTime(const std::string& path, int secondsAgo);
// The whole file in one plain read.
std::string ReadWhole(const std::string& path);
// The bare call: the names of the file in one read, NUL-separated.
std::string ReadNames(const std::string& path, std::size_t bufferSize);
// Appends NUL-separated names to a combo box.
void AddNames(HWND combo, const std::string& names);
// Room for the names of a file of `sections` settings.
inline std::size_t NamesBufferSize(int sections) {
    return static_cast<std::size_t>(sections) * 16 + 2;
}

// ---- the parts ----
void BenchMoves(int rounds, const ProgramWindows& program, const PlainWindows& plain);
void BenchListFill(int rounds, int sections, const std::string& path, const ProgramWindows& program,
                   const PlainWindows& plain);
void BenchSaveRecall(int rounds, const std::string& path, const ProgramWindows& program,
                     const PlainWindows& plain);

}  // namespace bench
