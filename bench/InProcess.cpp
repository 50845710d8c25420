// The in-process part of the benchmark: Pelmora's own windows, created as the shell creates
// them, against the floor, the least that the same work costs on this platform. Each
// measurement alternates program and floor, round by round, so that both see the same machine.
//
//   bench_inproc.exe [ROUND_SCALE [PART]]
//
// PART runs one part alone: "move", "list" or "save" (Save and Recall); all by default.
// Prints one line per sample: "KIND WHO [N] MILLISECONDS", WHO being "program", "floor" or a
// reference series.
#include <windows.h>

#include "Clock.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ApplicationShell.h"
#include "MainWindow.h"
#include "SettingsFile.h"
#include "CheckerWindow.h"

namespace {

using pelmora::app::ApplicationShell;
using pelmora::ui::CheckerWindow;
using pelmora::ui::MainWindow;

// Pelmora's windows, as the shell created them in main().
MainWindow* mainWindow = nullptr;
CheckerWindow* checkerWindow = nullptr;

constexpr int kMoves = 10000;
constexpr int kPumpEvery = 100;  // moves between two emptyings of the message queue
constexpr int kSaveRecallSections = 10000;

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_inproc: %s\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(1);
}

void Report(const char* kind, const char* who, int n, double ms) {
    if (n > 0) {
        std::printf("%s %s %d %.4f\n", kind, who, n, ms);
    } else {
        std::printf("%s %s %.4f\n", kind, who, ms);
    }
    std::fflush(stdout);
}

std::string WindowTextA(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Runs `program` and `floor` `rounds` times each, alternating which goes first.
void Alternate(int rounds, const std::function<double()>& program,
               const std::function<double()>& floor, const char* kind, int n = 0) {
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            Report(kind, "program", n, program());
            Report(kind, "floor", n, floor());
        } else {
            Report(kind, "floor", n, floor());
            Report(kind, "program", n, program());
        }
    }
}

// The plain windows of the floor: DefWindowProc and nothing else.
HWND CreatePlainWindow(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                       HWND owner) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"BenchPlain";
        return RegisterClassExW(&wc);
    }();
    HWND window = CreateWindowExW(exStyle, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)),
                                  L"plain", style, x, y, width, height, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) Fail("cannot create a plain window");
    return window;
}

std::string ReadoutFor(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return "pos_x=" + std::to_string(r.left) + "\r\npos_y=" + std::to_string(r.top) +
           "\r\nwidth=" + std::to_string(r.right - r.left);
}

// ---- 2. Readout per move ----------------------------------------------------------------

double MoveMany(HWND window, int x, int y) {
    const double start = Now();
    for (int i = 0; i < kMoves; ++i) {
        SetWindowPos(window, nullptr, x + (i & 1), y, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        if (i % kPumpEvery == kPumpEvery - 1) Pump();
    }
    Pump();
    return Now() - start;
}

// The moves of the checker against the same moves of a plain window (the floor), and against
// the same moves of a plain window each followed by a replacement of the same text in a plain
// edit control of the readout's kind ("text"): what a readout costs the platform itself.
void BenchMoves(int rounds, HWND plainChecker, HWND memo, HWND plainMemo) {
    const HWND checker = checkerWindow->Handle();
    RECT r{};
    GetWindowRect(checker, &r);
    const int x = r.left, y = r.top;
    auto program = [&] {
        const double ms = MoveMany(checker, x, y);
        if (WindowTextA(memo) != ReadoutFor(checker)) Fail("the readout did not follow");
        return ms;
    };
    auto floor = [&] { return MoveMany(plainChecker, x, y + 200); };
    auto text = [&] {
        const double start = Now();
        for (int i = 0; i < kMoves; ++i) {
            SetWindowPos(plainChecker, nullptr, x + (i & 1), y + 200, 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
            SetWindowTextA(plainMemo, ReadoutFor(plainChecker).c_str());
            if (i % kPumpEvery == kPumpEvery - 1) Pump();
        }
        Pump();
        return Now() - start;
    };
    for (int round = 0; round < rounds; ++round) {
        // A different order each round: program, floor, text; floor, text, program; ...
        for (int k = 0; k < 3; ++k) {
            switch ((round + k) % 3) {
                case 0:
                    Report("move", "program", 0, program());
                    break;
                case 1:
                    Report("move", "floor", 0, floor());
                    break;
                default:
                    Report("move", "text", 0, text());
                    break;
            }
        }
    }
    SetWindowPos(checker, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    Pump();
}

// ---- Settings files ---------------------------------------------------------------------

// Setting names as a user might type them: Japanese (Shift-JIS) and ASCII, mixed.
std::string SettingName(int i) {
    char name[32];
    if (i % 3 == 0) {
        std::snprintf(name, sizeof name, "layout-%05d", i);
    } else {
        std::snprintf(name, sizeof name, "\x90\xdd\x92\xe8%05d", i);  // "設定" + number
    }
    return name;
}

// Writes a settings file of `sections` settings, laid out as the profile functions write it.
void WriteSettingsFile(const std::string& path, int sections) {
    std::string text;
    text.reserve(static_cast<std::size_t>(sections) * 64);
    for (int i = 0; i < sections; ++i) {
        char section[160];
        std::snprintf(
            section, sizeof section, "[%s]\r\npos_x=%d\r\npos_y=%d\r\nwidth=%d\r\nheight=%d\r\n",
            SettingName(i).c_str(), 100 + i % 500, 80 + i % 300, 200 + i % 50, 150 + i % 40);
        text += section;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (written != text.size()) Fail("cannot write " + path);
}

// Every run starts as a command starts: the system holds nothing of the file.
void ForgetFile(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

// Sets the file's last write to `secondsAgo` before now.
void SetLastWriteTime(const std::string& path, int secondsAgo) {
    HANDLE file =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + path);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
    const FILETIME when{t.LowPart, t.HighPart};
    const BOOL set = SetFileTime(file, nullptr, nullptr, &when);
    CloseHandle(file);
    if (!set) Fail("cannot set the time of " + path);
}

// ---- 3. List fill -------------------------------------------------------------------------

// The floor: one read of the names with a buffer that takes them all, each appended to a
// plain combo box (empty).
void FloorFill(HWND combo, const std::string& path, std::size_t bufferSize) {
    std::string buffer(bufferSize, '\0');
    const DWORD filled = GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer.data(),
                                                  static_cast<DWORD>(bufferSize), path.c_str());
    for (const char* p = buffer.data(); p < buffer.data() + filled && *p; p += std::strlen(p) + 1) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
    }
}

void BenchListFill(int rounds, int sections, const std::string& path, HWND plainCombo) {
    WriteSettingsFile(path, sections);
    const std::size_t bufferSize = static_cast<std::size_t>(sections) * 16 + 2;
    const HWND combo = mainWindow->ControlHandle(MainWindow::kNameBox);
    Alternate(
        rounds,
        [&] {
            // A fill, not a refresh: the box starts empty, as at start-up (the box keeps the
            // names that stay when the list already holds them).
            SendMessageA(combo, CB_RESETCONTENT, 0, 0);
            ForgetFile(path);
            const double start = Now();
            mainWindow->Commands().ListSettings("");
            Pump();
            const double ms = Now() - start;
            if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != sections) Fail("ListSettings lost names");
            return ms;
        },
        [&] {
            SendMessageA(plainCombo, CB_RESETCONTENT, 0, 0);
            ForgetFile(path);
            const double start = Now();
            FloorFill(plainCombo, path, bufferSize);
            Pump();
            const double ms = Now() - start;
            if (SendMessageA(plainCombo, CB_GETCOUNT, 0, 0) != sections) Fail("floor lost names");
            return ms;
        },
        "list", sections);
}

// ---- 4. Save and Recall -------------------------------------------------------------------

constexpr const char* kKeys[] = {"pos_x", "pos_y", "width", "height"};
constexpr const char kNewName[] = "new setting";  // a name the settings file does not hold

void Click(int id) {
    const HWND main = mainWindow->Handle();
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
}

// Puts `name` into the name box, lets `beforeClock` ready the file, then times a click on the
// button `id` until what it changed is drawn.
double TimedClick(HWND combo, const std::string& name, int id,
                  const std::function<void()>& beforeClock) {
    SetWindowTextA(combo, name.c_str());
    Pump();
    beforeClock();
    const double start = Now();
    Click(id);
    Pump();
    return Now() - start;
}

// Runs the series in turn, `rounds` times each, in a different order each round. Each run
// starts on a settled system, as a click does: the window system has drawn what the run before
// moved (the desktop behind a window that moved is drawn by another process, on its own time).
void Rotate(int rounds, const char* kind, int n,
            const std::vector<std::pair<const char*, std::function<double()>>>& series) {
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < series.size(); ++k) {
            const auto& [who, run] = series[(round + k) % series.size()];
            Pump();
            Sleep(40);
            Pump();
            Report(kind, who, n, run());
        }
    }
}

// The whole file in one plain read.
std::string ReadWhole(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The bare calls: the names of the file in one read.
std::string ReadNames(const std::string& path, std::size_t bufferSize) {
    std::string buffer(bufferSize, '\0');
    const DWORD filled = GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer.data(),
                                                  static_cast<DWORD>(bufferSize), path.c_str());
    buffer.resize(filled);
    return buffer;
}

// Save against the bare profile calls it makes ("floor"), and, for reference, a Save under a
// new name ("newname") against its own bare calls ("newfloor") and the bare calls plus the list
// refilled and the name selected in a plain combo box ("plain").
// Recall against its bare reads plus the same four steps on plain windows ("floor": the plain
// checker moved and sized in four steps, each followed by its readout in a plain edit control),
// for reference also against the bare reads alone ("reads").
void BenchSaveRecall(int rounds, const std::string& path, HWND plainCombo, HWND plainChecker,
                     HWND plainMemo) {
    WriteSettingsFile(path, kSaveRecallSections);
    const HWND combo = mainWindow->ControlHandle(MainWindow::kNameBox);
    const HWND checker = checkerWindow->Handle();
    const HWND memo = mainWindow->ControlHandle(MainWindow::kReadout);
    const std::string saved = SettingName(kSaveRecallSections / 2);
    const std::size_t bufferSize = static_cast<std::size_t>(kSaveRecallSections) * 16 + 2;

    // Save: the checker stands somewhere else each time, so every write changes the file.
    int turn = 0;
    const auto forget = [&] { ForgetFile(path); };
    // The bare calls of a Save made on a copy, as any Save that checks its writes before they
    // reach the file makes them: the copy, the 4 writes on it and its release, one plain read of
    // it (the least that any check needs), the copy put in the file's place in one step, then
    // the names and their release.
    const std::string floorCopy = path + ".floor";
    auto bareSave = [&](const std::string& section, const std::array<int, 4>& values) {
        if (!CopyFileA(path.c_str(), floorCopy.c_str(), FALSE)) Fail("cannot copy " + path);
        for (int k = 0; k < 4; ++k) {
            WritePrivateProfileStringA(section.c_str(), kKeys[k], std::to_string(values[k]).c_str(),
                                       floorCopy.c_str());
        }
        ForgetFile(floorCopy);
        if (ReadWhole(floorCopy).empty()) Fail("cannot read " + floorCopy);
        if (!MoveFileExA(floorCopy.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Fail("cannot replace " + path);
        }
        const std::string names = ReadNames(path, bufferSize);
        ForgetFile(path);
        return names;
    };
    Rotate(rounds, "save", kSaveRecallSections,
           {{"program",
             [&] {
                 SetWindowPos(checker, nullptr, 500 + turn++ % 7, 120, 244, 157,
                              SWP_NOZORDER | SWP_NOACTIVATE);
                 const double ms = TimedClick(combo, saved, 111, forget);
                 if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != kSaveRecallSections ||
                     WindowTextA(combo) != saved) {
                     Fail("Save did not end with the saved name selected");
                 }
                 return ms;
             }},
            {"newname",
             [&] {
                 // Under a name the file does not hold yet: the list gains one. Deleted again
                 // afterwards, outside the clock, so that the file stays as it was.
                 const double ms = TimedClick(combo, kNewName, 111, forget);
                 if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != kSaveRecallSections + 1 ||
                     WindowTextA(combo) != kNewName) {
                     Fail("Save under a new name did not add it to the list");
                 }
                 Click(113);
                 Pump();
                 if (SendMessageA(combo, CB_GETCOUNT, 0, 0) != kSaveRecallSections) {
                     Fail("Delete did not take the new name away");
                 }
                 return ms;
             }},
            {"newfloor",
             [&] {
                 // The bare calls of a Save under a new name: four writes that each change the
                 // file, and the names. The section goes again outside the clock.
                 ForgetFile(path);
                 const double start = Now();
                 bareSave(kNewName, {123, 123, 123, 123});
                 const double ms = Now() - start;
                 WritePrivateProfileStringA(kNewName, nullptr, nullptr, path.c_str());
                 ForgetFile(path);
                 return ms;
             }},
            {"floor",
             [&] {
                 ForgetFile(path);
                 const double start = Now();
                 bareSave(saved, {500 + turn++ % 7, 120, 244, 157});
                 return Now() - start;
             }},
            {"plain", [&] {
                 SetWindowTextA(plainCombo, saved.c_str());
                 Pump();
                 ForgetFile(path);
                 const double start = Now();
                 const std::string names = bareSave(saved, {500 + turn++ % 7, 120, 244, 157});
                 SendMessageA(plainCombo, CB_RESETCONTENT, 0, 0);
                 for (const char* p = names.data(); p < names.data() + names.size() && *p;
                      p += std::strlen(p) + 1) {
                     SendMessageA(plainCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
                 }
                 SetWindowTextA(plainCombo, "");
                 SendMessageA(plainCombo, CB_SETCURSEL,
                              SendMessageA(plainCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(saved.c_str())),
                              0);
                 Pump();
                 return Now() - start;
             }}});

    // Recall: two settings at different places, taken in turn by each series, so that every
    // recall of the program moves the checker.
    const std::string recalled[] = {SettingName(kSaveRecallSections / 3),
                                    SettingName(kSaveRecallSections * 2 / 3)};
    auto bareRecall = [&](const std::string& name) {
        std::vector<int> values;
        for (const char* key : kKeys) {
            char value[2048];
            GetPrivateProfileStringA(name.c_str(), key, "", value, sizeof value, path.c_str());
            values.push_back(std::atoi(value));
        }
        ForgetFile(path);
        return values;
    };
    // Two states of the file: saved a while ago, as a recall usually finds it, and rewritten a
    // moment ago. The profile functions trust what they hold of a file only once its last write
    // is some seconds old; before that they read it anew for every call.
    int programTurn = 0;  // goes on from one state to the other: the checker always moves
    for (const auto& [kind, secondsAgo] : {std::pair{"recall", 3600}, std::pair{"recallnew", 0}}) {
        auto prepare = [&, secondsAgo = secondsAgo] {
            ForgetFile(path);
            SetLastWriteTime(path, secondsAgo);
        };
        int readsTurn = 0, floorTurn = 0;
        Rotate(rounds, kind, kSaveRecallSections,
               {{"program",
                 [&] {
                     const std::string& name = recalled[programTurn++ % 2];
                     RECT before{};
                     GetWindowRect(checker, &before);
                     const double ms = TimedClick(combo, name, 112, prepare);
                     pelmora::SettingsFile file(path);
                     RECT r{};
                     GetWindowRect(checker, &r);
                     if (r.left != file.ReadIntValue(name, "pos_x", 50) || r.left == before.left ||
                         WindowTextA(memo) != ReadoutFor(checker)) {
                         Fail("Recall did not move the checker");
                     }
                     return ms;
                 }},
                {"reads",
                 [&] {
                     const std::string& name = recalled[readsTurn++ % 2];
                     prepare();
                     const double start = Now();
                     bareRecall(name);
                     return Now() - start;
                 }},
                {"floor", [&] {
                     const std::string& name = recalled[floorTurn++ % 2];
                     prepare();
                     const double start = Now();
                     const std::vector<int> v = bareRecall(name);
                     RECT r{};
                     GetWindowRect(plainChecker, &r);
                     int bounds[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
                     for (int k = 0; k < 4; ++k) {
                         bounds[k] = v[k];
                         SetWindowPos(plainChecker, nullptr, bounds[0], bounds[1], bounds[2],
                                      bounds[3], SWP_NOZORDER | SWP_NOACTIVATE);
                         // The readout shows no height: the last step leaves its text as it was.
                         if (k < 3) SetWindowTextA(plainMemo, ReadoutFor(plainChecker).c_str());
                     }
                     Pump();
                     return Now() - start;
                 }}});
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const std::string part = argc > 2 ? argv[2] : "";
    auto runs = [&](const char* name) { return part.empty() || part == name; };
    auto rounds = [&](int n) { return std::max(1, static_cast<int>(n * scale + 0.5)); };

    // The windows, created and shown as the shell does at start-up.
    ApplicationShell application;
    application.CreateWindows(pelmora::ModuleSettingsPath);
    application.ShowAtStart(SW_SHOWNORMAL);
    Pump();
    mainWindow = application.Main();
    checkerWindow = application.Checker();
    if (!mainWindow || !checkerWindow) Fail("the windows were not created");
    const std::string path = pelmora::ModuleSettingsPath();

    // The floor's windows: of the same kinds, sizes and owner, with no handler.
    const HWND owner = GetWindow(mainWindow->Handle(), GW_OWNER);
    const HWND plainMain = CreatePlainWindow(
        WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 192, 400, 300,
        182, owner);
    const HWND plainCombo = CreateWindowExA(
        0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 48, 8,
        233, 200, plainMain, nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND plainChecker = CreatePlainWindow(
        WS_EX_TOOLWINDOW, WS_CAPTION | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 497, 314,
        244, 157, owner);
    const HWND plainMemo = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "pos_x=\r\npos_y=\r\nwidth=",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 78,
        292, 70, plainMain, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!plainCombo || !plainMemo) Fail("cannot create the plain controls");
    SetWindowPos(plainChecker, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ShowWindow(plainMain, SW_SHOWNOACTIVATE);
    ShowWindow(plainChecker, SW_SHOWNOACTIVATE);
    Pump();

    if (runs("move")) {
        BenchMoves(rounds(5), plainChecker, mainWindow->ControlHandle(MainWindow::kReadout),
                   plainMemo);
    }
    if (runs("list")) {
        BenchListFill(rounds(15), 100, path, plainCombo);
        BenchListFill(rounds(11), 1000, path, plainCombo);
        BenchListFill(rounds(7), 10000, path, plainCombo);
    }
    if (runs("save")) BenchSaveRecall(rounds(9), path, plainCombo, plainChecker, plainMemo);

    DeleteFileA(path.c_str());
    DestroyWindow(plainChecker);
    DestroyWindow(plainMain);
    application.DestroyWindows();
    return 0;
}
