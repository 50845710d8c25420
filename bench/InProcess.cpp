// The in-process part of the benchmark: Pelmora's own windows, created as the shell creates
// them, against the floor, the least that the same work costs on this platform. Each
// measurement alternates program and floor, round by round, so that both see the same machine.
//
//   bench_inproc.exe [ROUND_SCALE [PART]]
//
// PART runs one part alone: "move", "list" or "save" (Save and Recall); all by default.
// Prints one line per sample: "KIND WHO [N] MILLISECONDS", WHO being "program", "floor" or a
// reference series.
//
// The parts: MoveAndListBench.cpp (the readout per move, the list fill), SaveRecallBench.cpp
// (Save and Recall); what they share is in InProcessSupport.*, the settings files in
// SettingsFiles.cpp.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ApplicationShell.h"
#include "InProcessSupport.h"
#include "SettingsFile.h"

namespace {

using namespace bench;

// The floor's windows: of the same kinds, sizes and owner as Pelmora's, with no handler.
PlainWindows CreatePlainWindows(HWND owner) {
    PlainWindows plain{};
    plain.main = CreatePlainWindow(WS_EX_CONTROLPARENT,
                                   WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 192,
                                   400, 300, 182, owner);
    plain.combo = CreateWindowExA(
        0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 48, 8,
        233, 200, plain.main, nullptr, GetModuleHandleW(nullptr), nullptr);
    plain.checker = CreatePlainWindow(
        WS_EX_TOOLWINDOW, WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 497, 314,
        244, 157, owner);
    plain.memo = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "pos_x=\r\npos_y=\r\nwidth=",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 78,
        292, 70, plain.main, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!plain.combo || !plain.memo) Fail("cannot create the plain controls");
    SetWindowPos(plain.checker, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ShowWindow(plain.main, SW_SHOWNOACTIVATE);
    ShowWindow(plain.checker, SW_SHOWNOACTIVATE);
    Pump();
    return plain;
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const std::string part = argc > 2 ? argv[2] : "";
    auto runs = [&](const char* name) { return part.empty() || part == name; };
    auto rounds = [&](int n) { return std::max(1, static_cast<int>(n * scale + 0.5)); };

    // The windows, created and shown as the shell does at start-up.
    pelmora::app::ApplicationShell application;
    application.CreateWindows(pelmora::ModuleSettingsPath);
    application.ShowAtStart(SW_SHOWNORMAL);
    Pump();
    if (!application.Main() || !application.Checker()) Fail("the windows were not created");
    const ProgramWindows program{*application.Main(), *application.Checker()};
    const std::string path = pelmora::ModuleSettingsPath();
    const PlainWindows plain = CreatePlainWindows(application.Handle());

    if (runs("move")) BenchMoves(rounds(5), program, plain);
    if (runs("list")) {
        BenchListFill(rounds(15), 100, path, program, plain);
        BenchListFill(rounds(11), 1000, path, program, plain);
        BenchListFill(rounds(7), 10000, path, program, plain);
    }
    if (runs("save")) BenchSaveRecall(rounds(25), path, program, plain);

    DeleteFileA(path.c_str());
    DestroyWindow(plain.checker);
    DestroyWindow(plain.main);
    application.DestroyWindows();
    return 0;
}
