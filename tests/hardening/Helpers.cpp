#include "Helpers.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Errors.h"
#include "HardeningSupport.h"
#include "SettingsFile.h"
#include "SettingsLock.h"
#include "TestSupport.h"

namespace pelmora::hardening {
namespace {

constexpr DWORD kTurnTimeoutMs = 20000;

bool Listed(const NameBox& box, const std::string& name) {
    return std::find(box.items.begin(), box.items.end(), name) != box.items.end();
}

int Turns(const std::string& ini, const std::string& prefix, int rounds, const char* myEvent,
          const char* otherEvent) {
    const Handle mine(OpenEventA(EVENT_ALL_ACCESS, FALSE, myEvent));
    const Handle other(OpenEventA(EVENT_ALL_ACCESS, FALSE, otherEvent));
    if (!mine || !other) return 10;
    Program program(ini);
    int failures = 0;
    for (int i = 0; i < rounds; ++i) {
        if (WaitForSingleObject(mine.get(), kTurnTimeoutMs) != WAIT_OBJECT_0) return 11;
        failures += TakeTurn(program, prefix, i);
        SetEvent(other.get());
    }
    return failures == 0 ? 0 : 1;
}

int Overlap(const std::string& ini, const std::string& prefix, int rounds, const char* goEvent,
            const char* doneEvent, const char* title) {
    const Handle go(OpenEventA(SYNCHRONIZE, FALSE, goEvent));
    const Handle done(OpenEventA(EVENT_MODIFY_STATE, FALSE, doneEvent));
    if (!go || !done) return 10;
    const HWND window = CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        nullptr, nullptr);
    if (!window) return 12;
    SetEvent(done.get());
    Program program(ini);
    for (int i = 0; i < rounds; ++i) {
        if (WaitForSingleObject(go.get(), kTurnTimeoutMs) != WAIT_OBJECT_0) return 11;
        program.Save(prefix + "-" + std::to_string(i), TurnGeometry(i, prefix[0]));
        SetEvent(done.get());
    }
    DestroyWindow(window);
    return 0;
}

int Hold(const char* file, const char* readyEvent, const char* releaseEvent) {
    const Handle ready(OpenEventA(EVENT_ALL_ACCESS, FALSE, readyEvent));
    const Handle release(OpenEventA(SYNCHRONIZE, FALSE, releaseEvent));
    if (!ready || !release) return 10;
    const Handle held = OwnKernelHandle(CreateFileA(file, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) return 12;
    SetEvent(ready.get());
    return WaitForSingleObject(release.get(), kTurnTimeoutMs) == WAIT_OBJECT_0 ? 0 : 11;
}

int HoldLock(const char* readyEvent, const char* releaseEvent) {
    const Handle ready(OpenEventA(EVENT_ALL_ACCESS, FALSE, readyEvent));
    const Handle release(OpenEventA(SYNCHRONIZE, FALSE, releaseEvent));
    if (!ready || !release) return 10;
    const SettingsLock lock;
    if (!lock.Held()) return 12;
    SetEvent(ready.get());
    return WaitForSingleObject(release.get(), kTurnTimeoutMs) == WAIT_OBJECT_0 ? 0 : 11;
}

int BesideExe(const char* resultFile) {
    std::string report;
    char module[MAX_PATH + 1] = {};
    SetLastError(0);
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    report += "module " + std::to_string(length) + " error " + std::to_string(GetLastError()) +
              " " + std::string(module, std::min<DWORD>(length, MAX_PATH)) + "\n";

    NameBox box;
    Checker checker;
    Readout readout;
    SettingCommands commands(box, checker, readout, ModuleSettingsPath);
    box.text = "probe";
    try {
        commands.Save();
        report += "saved " + ModuleSettingsPath() + "\n";
    } catch (const Exception& e) {
        report += "failed " + e.Message() + "\n";
    }
    test::WriteBytes(resultFile, report);
    return 0;
}

// One Save (of the geometry 1234567, -1234567, 7654321, 7654321: longer than any value of the
// test's file) or Delete of NAME, as the program makes it: 0 when it was done, 30 when it failed
// with the write failure that names the file, 31 for any other failure.
int Command(const std::string& ini, const std::string& what, const std::string& name) {
    Program program(ini);
    try {
        if (what == "save") program.Save(name, {1234567, -1234567, 7654321, 7654321});
        if (what == "delete") program.Delete(name);
    } catch (const EIniFileException& e) {
        return e.Message() == ini + AnsiFromWide(L" に書き込めません") ? 30 : 31;
    } catch (const Exception&) {
        return 31;
    }
    return 0;
}

}  // namespace

CheckerGeometry TurnGeometry(int round, char prefix) {
    return {round, -round, 1000 + prefix, 2000 + round * 7};
}

int TakeTurn(Program& program, const std::string& prefix, int round) {
    int failures = 0;
    const auto name = [&](int n) { return prefix + "-" + std::to_string(n); };
    program.Save(name(round), TurnGeometry(round, prefix[0]));
    failures += !Listed(program.box, name(round));
    if (round >= 1)
        failures += program.Recall(name(round - 1)) != TurnGeometry(round - 1, prefix[0]);
    if (round >= 2) {
        program.Delete(name(round - 2));
        failures += Listed(program.box, name(round - 2));
    }
    return failures;
}

int RunHelper(int argc, char** argv) {
    const std::string mode = argv[1];
    try {
        if (mode == "--helper-turns" && argc == 7) {
            return Turns(argv[2], argv[3], std::atoi(argv[4]), argv[5], argv[6]);
        }
        if (mode == "--helper-overlap" && argc == 8) {
            return Overlap(argv[2], argv[3], std::atoi(argv[4]), argv[5], argv[6], argv[7]);
        }
        if (mode == "--helper-hold" && argc == 5) return Hold(argv[2], argv[3], argv[4]);
        if (mode == "--helper-lock" && argc == 4) return HoldLock(argv[2], argv[3]);
        if (mode == "--helper-beside-exe" && argc == 3) return BesideExe(argv[2]);
        if (mode == "--helper-command" && argc == 5) return Command(argv[2], argv[3], argv[4]);
    } catch (const std::exception&) {
        return 20;
    }
    return 2;
}

}  // namespace pelmora::hardening
