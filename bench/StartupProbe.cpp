// Measures start-up from outside: from just before CreateProcess until the program's main window
// and checker window are both visible and the readout control (ID 121 of the main window) holds
// the checker's geometry. Programs are started one after the other, alternating, so that both
// see the same machine. Also takes the peak working set at that moment.
//
//   bench_startup.exe ROUNDS EXPECTED NAME EXE MAINCLASS CHECKERCLASS [NAME EXE MAINCLASS ...]
//
// Prints one line per start: "startup NAME MILLISECONDS PEAK_WORKING_SET_BYTES".
#include <windows.h>

#include "Clock.h"
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Candidate {
    std::wstring name, exe, mainClass, checkerClass;
};

// The first visible top-level window of `className` that belongs to `processId`.
HWND FindVisibleWindow(const std::wstring& className, DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

bool Ready(const Candidate& c, DWORD processId, const std::wstring& expected, HWND* main) {
    *main = FindVisibleWindow(c.mainClass, processId);
    if (!*main || !FindVisibleWindow(c.checkerClass, processId)) return false;
    HWND readout = GetDlgItem(*main, 121);
    if (!readout) return false;
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(readout, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
        return false;
    }
    return expected == text;
}

// Starts the program, waits for its start-up to finish, closes it. Returns false on a failure.
bool MeasureOnce(const Candidate& c, const std::wstring& expected, double* ms, SIZE_T* peak) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + c.exe + L"\"";
    const double start = Now();
    if (!CreateProcessW(c.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", c.exe.c_str(), GetLastError());
        return false;
    }
    // Sleep until the program first waits for input, then look every millisecond.
    WaitForInputIdle(pi.hProcess, 20000);
    HWND main = nullptr;
    bool ready = false;
    const double deadline = start + 20000;
    while (!(ready = Ready(c, pi.dwProcessId, expected, &main)) && Now() < deadline) {
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    *ms = Now() - start;

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    *peak = GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)
                ? counters.PeakWorkingSetSize
                : 0;

    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not end after its main window was closed\n",
                      c.name.c_str());
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        ready = false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!ready) std::fwprintf(stderr, L"%ls never reached its ready state\n", c.name.c_str());
    return ready;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 7 || (argc - 3) % 4 != 0) {
        std::fwprintf(
            stderr, L"usage: bench_startup ROUNDS EXPECTED NAME EXE MAINCLASS CHECKERCLASS ...\n");
        return 2;
    }
    const int rounds = std::wcstol(argv[1], nullptr, 10);
    // The readout as the command line carries it: "\n" stands for CR LF.
    std::wstring expected;
    for (const wchar_t* p = argv[2]; *p; ++p) {
        if (p[0] == L'\\' && p[1] == L'n') {
            expected += L"\r\n";
            ++p;
        } else {
            expected += *p;
        }
    }
    std::vector<Candidate> candidates;
    for (int i = 3; i + 3 < argc; i += 4) {
        candidates.push_back({argv[i], argv[i + 1], argv[i + 2], argv[i + 3]});
    }

    // One start of each to warm the caches, not counted; then alternate the order per round.
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            const Candidate& c = candidates[round % 2 == 0 ? k : candidates.size() - 1 - k];
            double ms = 0;
            SIZE_T peak = 0;
            if (!MeasureOnce(c, expected, &ms, &peak)) return 1;
            if (round >= 0) {
                std::wprintf(L"startup %ls %.3f %lu\n", c.name.c_str(), ms,
                             static_cast<unsigned long>(peak));
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
