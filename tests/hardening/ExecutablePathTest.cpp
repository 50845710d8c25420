// Executables whose path the ANSI functions cannot give whole: the program must not write its
// settings to some other, cut or mangled path, and it says why.
#include <gtest/gtest.h>

#include "FaultsSupport.h"

namespace pelmora::hardening::faults {
namespace {

// A copy of this program in a folder that the ANSI path functions cannot give whole: it must
// not write its settings to some other, cut or mangled path, and it says why.
class ExecutablePathTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::wstring base = LongPath(folder.Path());
    std::string resultFile = folder.File("result.txt");

    void SetUp() override { ++RunFigures().faults; }
    void TearDown() override { RemoveTreeW(base, false); }

    static std::wstring LongPath(const std::string& ansi) {
        return L"\\\\?\\" + WideFromAnsi(ansi);
    }

    // Copies this program into `subfolders` (created below the temporary folder), runs it in
    // the mode that saves beside the executable, and gives its report.
    std::string RunCopyIn(const std::vector<std::wstring>& subfolders) {
        std::wstring place = base;
        for (const std::wstring& sub : subfolders) {
            place += L"\\" + sub;
            EXPECT_TRUE(CreateDirectoryW(place.c_str(), nullptr)) << place.size();
        }
        const std::wstring exe = place + L"\\pelmora-probe.exe";
        EXPECT_TRUE(CopyFileW(OwnPathW().c_str(), exe.c_str(), FALSE));
        // Started by its plain path (the "\\?\" form is for the file functions only).
        EXPECT_EQ(RunSelf(exe.substr(4), L"--helper-beside-exe " + Quoted(resultFile), 60000), 0);
        return test::ReadBytes(resultFile);
    }

    // Every settings file below the temporary folder, wherever a cut path could have put it.
    std::vector<std::wstring> IniFiles(const std::wstring& dir) const {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return found;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                for (auto& f : IniFiles(dir + L"\\" + name)) found.push_back(f);
            } else if (name.size() > 4 && name.substr(name.size() - 4) == L".ini") {
                found.push_back(dir + L"\\" + name);
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        return found;
    }

    static void RemoveTreeW(const std::wstring& dir, bool removeSelf) {
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTreeW(dir + L"\\" + name, true);
                } else {
                    DeleteFileW((dir + L"\\" + name).c_str());
                }
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        if (removeSelf) RemoveDirectoryW(dir.c_str());
    }
};

TEST_F(ExecutablePathTest, ACopyInAPlainFolderSavesBesideItself) {
    const std::string report = RunCopyIn({L"plain"});
    EXPECT_NE(report.find("saved " + folder.Path() + "\\plain\\pelmora-probe.ini"),
              std::string::npos)
        << report;
    EXPECT_EQ(IniFiles(base).size(), 1u);
}

// A path over the limit cannot be started from here (Wine's CreateProcess refuses paths over
// MAX_PATH): long_path_check.py starts a copy by its Unix path instead.

TEST_F(ExecutablePathTest, APathOutsideTheCodePageWritesNoSettingsAnywhere) {
    // Hangul and an emoji: neither is in code page 932.
    for (const std::wstring& name : {Wide("\xEC\x84\xA4\xEC\xA0\x95"), Wide("\xF0\x9F\x98\x80")}) {
        const std::string report = RunCopyIn({name});
        EXPECT_NE(report.find("failed " + AnsiFromWide(L"実行ファイルのパスにこのシステムの文字"
                                                       L"コードで表せない文字があるため、設定"
                                                       L"ファイルを開けません: ")),
                  std::string::npos)
            << report;
        EXPECT_TRUE(IniFiles(base).empty());
        RemoveTreeW(base + L"\\" + name, true);
    }
}

}  // namespace
}  // namespace pelmora::hardening::faults
