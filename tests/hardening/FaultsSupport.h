// What the fault tests share: a settings file with two settings to keep, the fixture that
// starts from it, and the helpers that hold the file or name a helper process's objects.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "HardeningSupport.h"
#include "Helpers.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace pelmora::hardening::faults {

using Names = std::vector<std::string>;

inline const std::string kStartFile =
    "[keep1]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n[keep2]\r\npos_x=5\r\n";
inline constexpr CheckerGeometry kKeep1{1, 2, 3, 4};
inline constexpr CheckerGeometry kDefaults{50, 50, 50, 50};
inline constexpr CheckerGeometry kNew{10, 20, 30, 40};
inline constexpr DWORD kHelperTimeoutMs = 60000;

inline std::string UniqueName(const char* what) {
    static int counter = 0;
    return "pelmora-hardening-" + std::to_string(GetCurrentProcessId()) + "-" + what + "-" +
           std::to_string(++counter);
}

inline std::wstring Quoted(const std::string& ansi) {
    return L"\"" + WideFromAnsi(ansi) + L"\"";
}

inline Handle OpenWithoutSharing(const std::string& file) {
    return OwnKernelHandle(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class FaultTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");
    std::string cannotWrite = path + AnsiFromWide(L" に書き込めません");

    void SetUp() override {
        ++RunFigures().faults;
        test::WriteBytes(path, kStartFile);
    }

    // Runs a command that must fail to write: the failure names the file.
    template <typename Command>
    void ExpectWriteFailure(Command command) {
        try {
            command();
            ADD_FAILURE() << "the command did not report the failed write";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), cannotWrite);
        }
    }

    void ExpectStartFileWhole(Program& program) {
        EXPECT_EQ(test::ReadBytes(path), kStartFile);
        EXPECT_EQ(program.List(), (Names{"keep1", "keep2"}));
        EXPECT_EQ(program.Recall("keep1"), kKeep1);
    }
};

}  // namespace pelmora::hardening::faults
