// The commands that start, watch and end programs.
#include <map>

#include "Commands.h"
#include "Json.h"
#include "KernelHandle.h"

namespace inspect {
namespace {

// Programs started by `start`, by process id.
std::map<DWORD, pelmora::KernelHandle>& StartedPrograms() {
    static std::map<DWORD, pelmora::KernelHandle> programs;
    return programs;
}

// The process that the first argument names: one started here, else one opened for the time
// of the command; when there is none, `failure` holds the answer.
struct NamedProcess {
    DWORD id = 0;
    HANDLE handle = nullptr;
    pelmora::KernelHandle opened;
    std::string failure;
};

NamedProcess ProcessOf(const Args& args) {
    NamedProcess process;
    const std::optional<long long> id = args.Number(1);
    if (!id) {
        process.failure = Error("usage: " + args.Command() + " PID");
        return process;
    }
    process.id = static_cast<DWORD>(*id);
    const auto started = StartedPrograms().find(process.id);
    if (started != StartedPrograms().end()) {
        process.handle = started->second.get();
        return process;
    }
    process.opened = pelmora::KernelHandle(OpenProcess(
        PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id));
    if (!process.opened) {
        process.failure = Error("OpenProcess failed");
        return process;
    }
    process.handle = process.opened.get();
    return process;
}

// Whether the process has ended within `waitMs`, and its exit code.
std::string ExitJson(HANDLE process, DWORD waitMs) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    const bool exited = WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0;
    if (exited) GetExitCodeProcess(process, &code);
    return Ok(",\"exited\":" + Bool(exited) + ",\"exit_code\":" + Num(code));
}

}  // namespace

std::string StartProgram(const Args& args) {
    const std::optional<std::string> exe = args.Bytes(1);
    const std::optional<std::string> folder = exe ? args.Bytes(2) : std::nullopt;
    if (!exe || !folder) return Error("usage: start EXEHEX CWDHEX [SHOWCMD]");
    const std::wstring exeW = Utf8ToWide(*exe);
    const std::wstring folderW = Utf8ToWide(*folder);
    std::wstring commandLine = L"\"" + exeW + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (const std::optional<long long> show = args.Number(3)) {
        // The window-show request the program is started with.
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(*show);
    }
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(exeW.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, folderW.empty() ? nullptr : folderW.c_str(), &startup, &started))
        return Error("CreateProcess failed");
    const pelmora::KernelHandle thread(started.hThread);  // not needed: closed at once
    StartedPrograms()[started.dwProcessId] = pelmora::KernelHandle(started.hProcess);
    return Ok(",\"pid\":" + Num(started.dwProcessId));
}

std::string IsAlive(const Args& args) {
    const NamedProcess process = ProcessOf(args);
    if (!process.handle) return process.failure;
    return ExitJson(process.handle, 0);
}

std::string WaitForExit(const Args& args) {
    const NamedProcess process = ProcessOf(args);
    if (!process.handle) return process.failure;
    const std::optional<long long> waitMs = args.Number(2);
    if (!waitMs) return Error("usage: waitexit PID MS");
    return ExitJson(process.handle, static_cast<DWORD>(*waitMs));
}

std::string KillProcess(const Args& args) {
    const NamedProcess process = ProcessOf(args);
    if (!process.handle) return process.failure;
    if (WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0 &&
        !TerminateProcess(process.handle, 1))
        return Error("TerminateProcess failed");
    std::string answer = ExitJson(process.handle, 5000);
    StartedPrograms().erase(process.id);
    return answer;
}

void EndStartedPrograms() {
    for (auto& [id, program] : StartedPrograms()) {
        if (WaitForSingleObject(program.get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(program.get(), 1);
    }
}

}  // namespace inspect
