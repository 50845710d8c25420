// Faults around the settings file: a path that cannot be written, a file held open by someone
// else, a failure in the middle of a Save. The user is told, the program goes on, and no setting
// is lost that the user did not change.
#include <gtest/gtest.h>

#include "FaultsSupport.h"

namespace pelmora::hardening::faults {
namespace {

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
    ASSERT_EQ(WaitForSingleObject(readyEvent.get(), kHelperTimeoutMs), WAIT_OBJECT_0);

    Program program(path);
    EXPECT_EQ(program.List(), Names{});
    ExpectWriteFailure([&] { program.Save("keep1", kNew); });
    ExpectWriteFailure([&] { program.Delete("keep2"); });

    SetEvent(releaseEvent.get());
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
    held.reset();
    ExpectStartFileWhole(program);

    program.checker.reads = 0;
    ExpectWriteFailure([&] { program.Save("fresh", kNew); });
    held.reset();
    ExpectStartFileWhole(program);
    EXPECT_EQ(program.Recall("fresh"), kDefaults);

    // Saved again once the file can be written, the setting is whole.
    program.checker.beforeRead = nullptr;
    program.Save("keep1", kNew);
    EXPECT_EQ(program.Recall("keep1"), kNew);
}

}  // namespace
}  // namespace pelmora::hardening::faults
