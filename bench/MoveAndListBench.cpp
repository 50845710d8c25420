// The readout per move, and the list of names filled from the settings file.
#include "InProcessSupport.h"
#include "WindowText.h"

namespace bench {
namespace {

using pelmora::ui::MainWindow;

constexpr int kMoves = 10000;
constexpr int kPumpEvery = 100;  // moves between two emptyings of the message queue
constexpr UINT kMoveOnly = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE;

// Moves the window to and fro by a pixel, the queue emptied every kPumpEvery moves; `after`
// runs after each move.
template <typename AfterMove>
double MoveMany(HWND window, int x, int y, AfterMove after) {
    const double start = Now();
    for (int i = 0; i < kMoves; ++i) {
        SetWindowPos(window, nullptr, x + (i & 1), y, 0, 0, kMoveOnly);
        after();
        if (i % kPumpEvery == kPumpEvery - 1) Pump();
    }
    Pump();
    return Now() - start;
}

}  // namespace

// The moves of the checker against the same moves of a plain window (the floor), and against
// the same moves of a plain window each followed by a replacement of the same text in a plain
// edit control of the readout's kind ("text"): what a readout costs the platform itself.
void BenchMoves(int rounds, const ProgramWindows& program, const PlainWindows& plain) {
    const HWND checker = program.checker.Handle();
    const HWND memo = program.main.ControlHandle(MainWindow::kReadout);
    RECT r{};
    GetWindowRect(checker, &r);
    const int x = r.left, y = r.top;
    const auto nothing = [] {};
    const auto programMoves = [&] {
        const double ms = MoveMany(checker, x, y, nothing);
        if (pelmora::WindowTextA(memo) != ReadoutFor(checker)) Fail("the readout did not follow");
        return ms;
    };
    const auto floorMoves = [&] { return MoveMany(plain.checker, x, y + 200, nothing); };
    const auto textMoves = [&] {
        return MoveMany(plain.checker, x, y + 200,
                        [&] { SetWindowTextA(plain.memo, ReadoutFor(plain.checker).c_str()); });
    };
    // A different order each round: program, floor, text; floor, text, program; ...
    Rotate(rounds, "move", 0,
           {{"program", programMoves}, {"floor", floorMoves}, {"text", textMoves}}, false);
    SetWindowPos(checker, nullptr, x, y, 0, 0, kMoveOnly);
    Pump();
}

// ListSettings filling the empty name box from a file of `sections` settings, against the
// floor: one read of the names with a buffer that takes them all, each appended to an empty
// plain combo box. Program and floor alternate which goes first.
void BenchListFill(int rounds, int sections, const std::string& path, const ProgramWindows& program,
                   const PlainWindows& plain) {
    WriteSettingsFile(path, sections);
    const HWND combo = program.main.ControlHandle(MainWindow::kNameBox);
    const auto programFill = [&] {
        // A fill, not a refresh: the box starts empty, as at start-up (the box keeps the
        // names that stay when the list already holds them).
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        ForgetFile(path);
        const double start = Now();
        program.main.Commands().ListSettings("");
        Pump();
        const double ms = Now() - start;
        if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != sections) Fail("ListSettings lost names");
        return ms;
    };
    const auto floorFill = [&] {
        SendMessageA(plain.combo, CB_RESETCONTENT, 0, 0);
        ForgetFile(path);
        const double start = Now();
        AddNames(plain.combo, ReadNames(path, NamesBufferSize(sections)));
        Pump();
        const double ms = Now() - start;
        if (SendMessageA(plain.combo, CB_GETCOUNT, 0, 0) != sections) Fail("floor lost names");
        return ms;
    };
    Rotate(rounds, "list", sections, {{"program", programFill}, {"floor", floorFill}}, false);
}

}  // namespace bench
