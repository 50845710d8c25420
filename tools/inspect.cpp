// inspect: a small console server through which the end-to-end tests look at the windows of
// other processes. It reads one command per line on standard input and answers each with one
// line of JSON on standard output (flushed at once), so that one start-up of it serves a whole
// test run.
//
// Arguments are separated by single blanks. Numbers are decimal or 0x-hexadecimal; window
// handles are plain numbers. Strings are hexadecimal UTF-8 bytes ("-" for none or empty), except
// where an ANSI byte string is asked for. Texts come back twice: "hex" holds the bytes that the
// ANSI call gives (code page of the system, 932 in the tests; for combo box items the wide text
// converted to that code page), "text" the wide-character text as a JSON string.
//
// Programs started by `start` that still run when the input ends (or at `quit`) are ended.
//
// Commands (kCommands below, one small function each in inspect/):
//   ping | acp | quit
//   screen                     screen size, caption height, frame width, smallest tracking size
//   cursor                     the pointer's position
//   monitors                   every monitor's rectangle and work area, which one is the
//                              primary one, and the rectangle around them all
//   start EXE CWD [SHOW]       start a program (no console, no inherited handles), optionally
//                              with a window-show request (SW_...) -> pid
//   alive PID | waitexit PID MS | kill PID
//   windows [PID]              all top-level windows, topmost first (Z order), hidden ones too
//   find CLASS CAPTION [PID]   top-level windows by class and caption ("-" matches any)
//   info HWND | child HWND ID | children HWND
//   text HWND                  WM_GETTEXT, ANSI and wide
//   combo HWND [MAX]           items (the first MAX), selection, edit text, list state of a
//                              combo box
//   gui TID                    active, focus and capture windows of a thread; foreground window
//   foreground                 the foreground window
//   post HWND MSG WPARAM LPARAM | send HWND MSG WPARAM LPARAM | close HWND
//   settext HWND ANSIHEX       WM_SETTEXT with ANSI bytes
//   swp HWND AFTER X Y W H FLAGS   SetWindowPos (AFTER: -1 topmost, -2 not topmost, 0 top)
//   mkwin X Y W H CAPTION      an ordinary window of this process, shown without activation
//   xwin HWND                  the X11 window id that Wine keeps for a window (0 when none)

#include <windows.h>

#include <string>
#include <vector>

#include "inspect/Commands.h"
#include "inspect/Json.h"

namespace inspect {
namespace {

struct NamedCommand {
    const char* name;
    Command run;
};

constexpr NamedCommand kCommands[] = {
    {"ping", Ping},
    {"acp", CodePages},
    {"screen", ScreenMetrics},
    {"cursor", CursorPosition},
    {"monitors", Monitors},
    {"start", StartProgram},
    {"alive", IsAlive},
    {"waitexit", WaitForExit},
    {"kill", KillProcess},
    {"windows", ListWindows},
    {"find", FindWindows},
    {"info", WindowInfo},
    {"child", ChildById},
    {"children", ChildrenOf},
    {"text", TextOf},
    {"combo", ComboBoxState},
    {"gui", ThreadInput},
    {"foreground", ForegroundWindow},
    {"post", PostToWindow},
    {"send", SendToWindow},
    {"swp", SetWindowPlace},
    {"close", PostClose},
    {"settext", SetAnsiText},
    {"mkwin", MakeWindow},
    {"xwin", XWindowId},
};

std::string Run(const Args& args) {
    for (const NamedCommand& command : kCommands) {
        if (args.Command() == command.name) return command.run(args);
    }
    return Error("unknown command: " + args.Command());
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool ReadLine(HANDLE in, std::string& line) {
    line.clear();
    char c;
    DWORD got = 0;
    while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') return true;
        if (c != '\r') line.push_back(c);
    }
    return !line.empty();
}

void WriteLine(HANDLE out, const std::string& text) {
    const std::string line = text + "\n";
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(out);
}

}  // namespace
}  // namespace inspect

int main() {
    using namespace inspect;
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    WriteLine(out, Ok(",\"ready\":true,\"pid\":" + Num(GetCurrentProcessId())));
    std::string line;
    while (ReadLine(in, line)) {
        std::vector<std::string> words = Split(line);
        if (words.empty()) continue;
        if (words[0] == "quit") {
            WriteLine(out, Ok());
            break;
        }
        WriteLine(out, Run(Args(std::move(words))));
    }
    // Whoever drove us is gone or done: programs we started must not outlive the run.
    EndStartedPrograms();
    return 0;
}
