// The hardening suites' entry point: either a helper run started by a test (a second copy of
// this program, for faults that need another process), or the tests themselves, followed by
// the run's figures.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "HardeningSupport.h"
#include "Helpers.h"

namespace {

// A crash ends the run at once with its code, instead of waiting for a debugger.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "crash: exception 0x%08lX at %p\n", info->ExceptionRecord->ExceptionCode,
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    if (argc >= 2 && std::strncmp(argv[1], "--helper-", 9) == 0) {
        return pelmora::hardening::RunHelper(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    const auto& figures = pelmora::hardening::RunFigures();
    std::printf("hardening figures: files %d, names %d, faults %d, sections compared %d\n",
                figures.files, figures.names, figures.faults, figures.sectionsCompared);
    return result;
}
