// Two running copies of the program sharing the settings file: taking turns or saving at once,
// neither loses a setting, and a command waits for the other copy's command, but not for ever.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "FaultsSupport.h"

namespace pelmora::hardening::faults {
namespace {

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
        SetEvent(theirTurn.get());
        ASSERT_EQ(WaitForSingleObject(myTurn.get(), kHelperTimeoutMs), WAIT_OBJECT_0) << i;
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
// of the Save, and this copy saves meanwhile. The other copy lives in another folder and reaches
// the same file by a name of its own there (a second name of the file): the lock is the file's,
// and both copies' Saves land in the one file.
TEST_F(FaultTest, TwoRunningCopiesSavingAtOnceLoseNothing) {
    constexpr int kRounds = 40;
    const test::TempFolder otherFolder;
    const std::string otherPath = otherFolder.File("pelmora.ini");
    ASSERT_TRUE(CreateHardLinkA(otherPath.c_str(), path.c_str(), nullptr));
    const std::string go = UniqueName("go"), done = UniqueName("done"), title = UniqueName("win");
    const Handle goEvent(CreateEventA(nullptr, FALSE, FALSE, go.c_str()));
    const Handle doneEvent(CreateEventA(nullptr, FALSE, FALSE, done.c_str()));
    const Handle other = StartSelf(OwnPathW(), L"--helper-overlap " + Quoted(otherPath) + L" B " +
                                                   std::to_wstring(kRounds) + L" " + Quoted(go) +
                                                   L" " + Quoted(done) + L" " + Quoted(title));
    ASSERT_TRUE(other);
    ASSERT_EQ(WaitForSingleObject(doneEvent.get(), kHelperTimeoutMs), WAIT_OBJECT_0);
    const HWND otherWindow = FindWindowA("Static", title.c_str());
    ASSERT_NE(otherWindow, nullptr);

    Program program(path);
    int lost = 0;
    for (int i = 0; i < kRounds; ++i) {
        {
            const SettingsFile held(path);
            SetEvent(goEvent.get());
            DWORD_PTR answer = 0;
            ASSERT_TRUE(SendMessageTimeoutW(otherWindow, WM_NULL, 0, 0, SMTO_NORMAL,
                                            kHelperTimeoutMs, &answer))
                << "round " << i << ": the other copy's Save did not wait for the lock";
            const std::string name = "A-" + std::to_string(i);
            program.Save(name, TurnGeometry(i, 'A'));
            lost += program.Recall(name) != TurnGeometry(i, 'A');
        }
        ASSERT_EQ(WaitForSingleObject(doneEvent.get(), kHelperTimeoutMs), WAIT_OBJECT_0) << i;
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
    EXPECT_EQ(test::ReadBytes(otherPath), test::ReadBytes(path))
        << "the two names lead to two files";
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
    ASSERT_EQ(WaitForSingleObject(readyEvent.get(), kHelperTimeoutMs), WAIT_OBJECT_0);

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

    SetEvent(releaseEvent.get());
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

}  // namespace
}  // namespace pelmora::hardening::faults
