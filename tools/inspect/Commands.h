// inspect.exe's commands: each takes the words of its line and answers with one line of JSON.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace inspect {

// The words of a command line, the command's name first.
class Args {
  public:
    explicit Args(std::vector<std::string> words) : words_(std::move(words)) {}

    const std::string& Command() const { return words_[0]; }
    // The word at `index` as it came; empty when there is none.
    std::string Word(size_t index) const { return index < words_.size() ? words_[index] : ""; }
    // A decimal or 0x-hexadecimal number; nothing when the word is missing or is none.
    std::optional<long long> Number(size_t index) const;
    // A window handle, written as a plain number.
    std::optional<HWND> Window(size_t index) const;
    // Bytes written in hexadecimal ("-" for none); nothing when the word is missing or is none.
    std::optional<std::string> Bytes(size_t index) const;

  private:
    std::vector<std::string> words_;
};

inline HWND HandleFromNumber(long long number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

using Command = std::string (*)(const Args& args);

// The system (SystemCommands.cpp).
std::string Ping(const Args& args);
std::string CodePages(const Args& args);
std::string ScreenMetrics(const Args& args);
std::string Monitors(const Args& args);
std::string CursorPosition(const Args& args);

// Processes (ProcessCommands.cpp).
std::string StartProgram(const Args& args);
std::string IsAlive(const Args& args);
std::string WaitForExit(const Args& args);
std::string KillProcess(const Args& args);
// Ends the programs that `start` started and that still run.
void EndStartedPrograms();

// Reading windows (WindowCommands.cpp).
std::string ListWindows(const Args& args);
std::string FindWindows(const Args& args);
std::string WindowInfo(const Args& args);
std::string ChildById(const Args& args);
std::string ChildrenOf(const Args& args);
std::string TextOf(const Args& args);
std::string ComboBoxState(const Args& args);
std::string ThreadInput(const Args& args);
std::string ForegroundWindow(const Args& args);
std::string XWindowId(const Args& args);

// Acting on windows (WindowActions.cpp).
std::string PostToWindow(const Args& args);
std::string SendToWindow(const Args& args);
std::string SetWindowPlace(const Args& args);
std::string PostClose(const Args& args);
std::string SetAnsiText(const Args& args);
std::string MakeWindow(const Args& args);

}  // namespace inspect
