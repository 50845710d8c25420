// Faults around the settings file: a path that cannot be written, a file held open by someone
// else, a failure in the middle of a Save, two running copies, and executables whose path the
// ANSI functions cannot give whole. The user is told, the program goes on, and no setting is
// lost that the user did not change.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Errors.h"
#include "HardeningSupport.h"
#include "Helpers.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace pelmora::hardening {
namespace {

using Names = std::vector<std::string>;

const std::string kStartFile =
    "[keep1]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n[keep2]\r\npos_x=5\r\n";
constexpr CheckerGeometry kKeep1{1, 2, 3, 4};
constexpr CheckerGeometry kDefaults{50, 50, 50, 50};
constexpr CheckerGeometry kNew{10, 20, 30, 40};
constexpr DWORD kHelperTimeoutMs = 60000;

std::string UniqueName(const char* what) {
    static int counter = 0;
    return "pelmora-hardening-" + std::to_string(GetCurrentProcessId()) + "-" + what + "-" +
           std::to_string(++counter);
}

std::wstring Quoted(const std::string& ansi) {
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), ansi.size())));
    return L"\"" + wide + L"\"";
}

Handle OpenWithoutSharing(const std::string& file) {
    return Handle(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
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

TEST_F(FaultTest, FolderAtThePathFailsEveryWriteAndTheProgramGoesOn) {
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    Program program(path);
    EXPECT_EQ(program.List(), Names{});
    ExpectWriteFailure([&] { program.Save("A", kNew); });
    ExpectWriteFailure([&] { program.Delete("A"); });
    EXPECT_EQ(program.Recall("A"), kDefaults);

    ASSERT_TRUE(RemoveDirectoryA(path.c_str()));
    program.Save("A", kNew);
    EXPECT_EQ(program.List(), Names{"A"});
    EXPECT_EQ(program.Recall("A"), kNew);
}

// While the file is held, every write fails and is reported, and reads see no sections (the
// profile functions cannot open the file); once it is released, the file is as it was.
TEST_F(FaultTest, FileHeldOpenWithoutSharingFailsWritesAndKeepsTheFile) {
    Program program(path);
    {
        const Handle held = OpenWithoutSharing(path);
        ASSERT_TRUE(held);
        EXPECT_EQ(program.List(), Names{});
        EXPECT_EQ(program.Recall("keep1"), kDefaults);
        ExpectWriteFailure([&] { program.Save("keep1", kNew); });
        ExpectWriteFailure([&] { program.Delete("keep2"); });
        ExpectWriteFailure([&] { program.Save("fresh", kNew); });
    }
    ExpectStartFileWhole(program);
}

TEST_F(FaultTest, FileHeldByAnotherProcessFailsWritesAndKeepsTheFile) {
    const std::string ready = UniqueName("ready"), release = UniqueName("release");
    const Handle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    const Handle releaseEvent(CreateEventA(nullptr, TRUE, FALSE, release.c_str()));
    const Handle holder = StartSelf(OwnPathW(), L"--helper-hold " + Quoted(path) + L" " +
                                                    Quoted(ready) + L" " + Quoted(release));
    ASSERT_TRUE(holder);
    ASSERT_EQ(WaitForSingleObject(readyEvent.Get(), kHelperTimeoutMs), WAIT_OBJECT_0);

    Program program(path);
    EXPECT_EQ(program.List(), Names{});
    ExpectWriteFailure([&] { program.Save("keep1", kNew); });
    ExpectWriteFailure([&] { program.Delete("keep2"); });

    SetEvent(releaseEvent.Get());
    EXPECT_EQ(WaitForExit(holder, kHelperTimeoutMs), 0);
    ExpectStartFileWhole(program);
}

// The file becomes unwritable between the first and the second value of a Save: the failure is
// reported, and the file is as it was: the values of one Save reach it together or not at all.
TEST_F(FaultTest, SaveFailingAfterItsFirstValueIsReportedAndLeavesTheFileAsItWas) {
    Program program(path);
    Handle held;
    program.checker.beforeRead = [&](int reads) {
        if (reads == 2) held = OpenWithoutSharing(path);
    };
    program.box.items = {"listed before"};
    ExpectWriteFailure([&] { program.Save("keep1", kNew); });
    ASSERT_TRUE(held);
    EXPECT_EQ(program.box.items, Names{"listed before"}) << "the list is not refilled";
    held.Reset();
    ExpectStartFileWhole(program);

    program.checker.reads = 0;
    ExpectWriteFailure([&] { program.Save("fresh", kNew); });
    held.Reset();
    ExpectStartFileWhole(program);
    EXPECT_EQ(program.Recall("fresh"), kDefaults);

    // Saved again once the file can be written, the setting is whole.
    program.checker.beforeRead = nullptr;
    program.Save("keep1", kNew);
    EXPECT_EQ(program.Recall("keep1"), kNew);
}

TEST_F(FaultTest, TwoRunningCopiesTakingTurnsLoseNothing) {
    constexpr int kRounds = 12;
    const std::string mine = UniqueName("parent"), theirs = UniqueName("child");
    const Handle myTurn(CreateEventA(nullptr, FALSE, FALSE, mine.c_str()));
    const Handle theirTurn(CreateEventA(nullptr, FALSE, FALSE, theirs.c_str()));
    const Handle other = StartSelf(OwnPathW(), L"--helper-turns " + Quoted(path) + L" B " +
                                                   std::to_wstring(kRounds) + L" " +
                                                   Quoted(theirs) + L" " + Quoted(mine));
    ASSERT_TRUE(other);

    Program program(path);
    int failures = 0;
    for (int i = 0; i < kRounds; ++i) {
        failures += TakeTurn(program, "A", i);
        SetEvent(theirTurn.Get());
        ASSERT_EQ(WaitForSingleObject(myTurn.Get(), kHelperTimeoutMs), WAIT_OBJECT_0) << i;
    }
    EXPECT_EQ(WaitForExit(other, kHelperTimeoutMs), 0) << "the other copy's checks failed";
    EXPECT_EQ(failures, 0);

    for (int i = kRounds - 2; i < kRounds; ++i) {
        for (char prefix : {'A', 'B'}) {
            const std::string name = std::string(1, prefix) + "-" + std::to_string(i);
            EXPECT_EQ(program.Recall(name), TurnGeometry(i, prefix)) << name;
        }
    }
    Names listed = program.List();
    EXPECT_EQ(listed.size(), 6u);
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                            [](const std::string& n) { return n.rfind("keep", 0) == 0; }),
              2);
    EXPECT_EQ(program.Recall("keep1"), kKeep1);
}

// Each round, the other copy starts its Save while this one holds the settings file: its window
// answers only while its command waits for the lock, so by then it is certainly in the middle
// of the Save, and this copy saves meanwhile.
TEST_F(FaultTest, TwoRunningCopiesSavingAtOnceLoseNothing) {
    constexpr int kRounds = 40;
    const std::string go = UniqueName("go"), done = UniqueName("done"), title = UniqueName("win");
    const Handle goEvent(CreateEventA(nullptr, FALSE, FALSE, go.c_str()));
    const Handle doneEvent(CreateEventA(nullptr, FALSE, FALSE, done.c_str()));
    const Handle other = StartSelf(OwnPathW(), L"--helper-overlap " + Quoted(path) + L" B " +
                                                   std::to_wstring(kRounds) + L" " + Quoted(go) +
                                                   L" " + Quoted(done) + L" " + Quoted(title));
    ASSERT_TRUE(other);
    ASSERT_EQ(WaitForSingleObject(doneEvent.Get(), kHelperTimeoutMs), WAIT_OBJECT_0);
    const HWND otherWindow = FindWindowA("Static", title.c_str());
    ASSERT_NE(otherWindow, nullptr);

    Program program(path);
    int lost = 0;
    for (int i = 0; i < kRounds; ++i) {
        {
            const SettingsFile held(path);
            SetEvent(goEvent.Get());
            DWORD_PTR answer = 0;
            ASSERT_TRUE(SendMessageTimeoutW(otherWindow, WM_NULL, 0, 0, SMTO_NORMAL,
                                            kHelperTimeoutMs, &answer))
                << "round " << i << ": the other copy's Save did not wait for the lock";
            const std::string name = "A-" + std::to_string(i);
            program.Save(name, TurnGeometry(i, 'A'));
            lost += program.Recall(name) != TurnGeometry(i, 'A');
        }
        ASSERT_EQ(WaitForSingleObject(doneEvent.Get(), kHelperTimeoutMs), WAIT_OBJECT_0) << i;
    }
    EXPECT_EQ(WaitForExit(other, kHelperTimeoutMs), 0);

    for (int i = 0; i < kRounds; ++i) {
        for (char prefix : {'A', 'B'}) {
            const std::string name = std::string(1, prefix) + "-" + std::to_string(i);
            lost += program.Recall(name) != TurnGeometry(i, prefix);
        }
    }
    EXPECT_EQ(lost, 0) << "of " << 2 * kRounds << " settings";
    EXPECT_EQ(program.List().size(), 2u + 2 * kRounds);
    EXPECT_EQ(program.Recall("keep1"), kKeep1);
}

// Another copy in the middle of a command makes this one wait for it, with its windows still
// answering; one that hangs there holds it up only for the wait's limit: the command then fails,
// saying why, and neither writes nor reads the file.
TEST_F(FaultTest, ACommandWaitsForAnotherCopysCommandAndNotForEver) {
    const std::string ready = UniqueName("locked"), release = UniqueName("unlock");
    const Handle readyEvent(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    const Handle releaseEvent(CreateEventA(nullptr, TRUE, FALSE, release.c_str()));
    const Handle other =
        StartSelf(OwnPathW(), L"--helper-lock " + Quoted(ready) + L" " + Quoted(release));
    ASSERT_TRUE(other);
    ASSERT_EQ(WaitForSingleObject(readyEvent.Get(), kHelperTimeoutMs), WAIT_OBJECT_0);

    // A window of this thread, waiting to be painted and asked something by another thread.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InvalidateRect(window, nullptr, TRUE);
    std::atomic<bool> answered{false};
    std::thread asker([&] {
        DWORD_PTR answer = 0;
        answered =
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kHelperTimeoutMs, &answer) != 0;
    });

    constexpr DWORD kLimit = 300;
    Program program(path, kLimit);
    program.box.items = {"listed before"};
    const std::string busy =
        AnsiFromWide(L"ほかの Pelmora が設定ファイルを使用中のため、設定ファイルを開けません: ") +
        path;
    const auto expectBusy = [&](const char* what, const std::function<void()>& command) {
        const DWORD start = GetTickCount();
        try {
            command();
            ADD_FAILURE() << what << " went on without the lock";
        } catch (const ESettingsLockException& e) {
            EXPECT_EQ(e.Message(), busy) << what;
        }
        EXPECT_GE(GetTickCount() - start, kLimit - 50) << what;
    };
    expectBusy("Save", [&] { program.Save("keep1", kNew); });
    asker.join();
    EXPECT_TRUE(answered) << "the window answered while the command waited";
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "the window was painted meanwhile";
    expectBusy("Delete", [&] { program.Delete("keep2"); });
    expectBusy("Recall", [&] { program.Recall("keep1"); });
    EXPECT_EQ(program.checker.geometry, (CheckerGeometry{-1, -1, -1, -1}));
    expectBusy("List", [&] { program.List(); });
    EXPECT_EQ(program.box.items, Names{"listed before"}) << "the list is kept";
    EXPECT_EQ(test::ReadBytes(path), kStartFile);
    DestroyWindow(window);

    SetEvent(releaseEvent.Get());
    EXPECT_EQ(WaitForExit(other, kHelperTimeoutMs), 0);

    // Nor is a lock that cannot be made (another kind of object holds its name) passed by.
    {
        const Handle squatter(CreateEventA(nullptr, TRUE, FALSE, kSettingsLockName));
        ASSERT_TRUE(squatter);
        try {
            program.Save("keep1", kNew);
            ADD_FAILURE() << "Save went on without a lock";
        } catch (const ESettingsLockException& e) {
            EXPECT_EQ(e.Message(), AnsiFromWide(L"設定ファイルのロックを作成できないため、"
                                                L"設定ファイルを開けません: ") +
                                       path);
        }
        EXPECT_EQ(test::ReadBytes(path), kStartFile);
    }
    program.Save("fresh", kNew);
    EXPECT_EQ(program.Recall("fresh"), kNew);
}

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
        std::wstring wide(ansi.size(), L'\0');
        wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
            CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), ansi.size())));
        return L"\\\\?\\" + wide;
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
}  // namespace pelmora::hardening
