// The setting commands with in-memory windows and a real settings file in a temporary folder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Errors.h"
#include "SettingCommands.h"
#include "SettingsFile.h"
#include "SettingsLock.h"
#include "TestSupport.h"

namespace pelmora {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Names = std::vector<std::string>;

class FakeNameBox : public INameBox {
  public:
    Names items;
    std::string text;
    int selected = -1;
    std::size_t capacity = SIZE_MAX;  // how many items the box takes before it fails
    std::function<void()> onAddItem;

    std::optional<std::string> Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    void ClearItems() override {
        items.clear();
        selected = -1;
    }
    void AddItem(const std::string& item) override {
        if (items.size() >= capacity) throw ENameBoxException();
        if (onAddItem) onAddItem();
        items.push_back(item);
    }
    // The name box's contract: the item equal byte for byte, else the first that the settings
    // file takes for the same section (asked of the profile functions).
    int FindExact(const std::string& t) const override {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == t) return static_cast<int>(i);
        }
        const auto matches = test::ProfileMatches(items, t);
        return matches.empty() ? -1 : static_cast<int>(matches.front());
    }
    void SetItemIndex(int index) override {
        if (index == selected) return;
        selected = index;
        if (index >= 0) text = items.at(static_cast<std::size_t>(index));
    }
};

class FakeChecker : public ICheckerGeometry {
  public:
    CheckerGeometry geometry{497, 114, 244, 157};
    std::vector<std::string> calls;
    std::function<void(int)> onGeometryRead;  // called with the running count of reads
    int reads = 0;

    CheckerGeometry Geometry() const override {
        auto* self = const_cast<FakeChecker*>(this);
        ++self->reads;
        if (onGeometryRead) onGeometryRead(reads);
        return geometry;
    }
    void SetLeft(std::int32_t v) override { Set("left", geometry.left, v); }
    void SetTop(std::int32_t v) override { Set("top", geometry.top, v); }
    void SetWidth(std::int32_t v) override { Set("width", geometry.width, v); }
    void SetHeight(std::int32_t v) override { Set("height", geometry.height, v); }

  private:
    void Set(const char* what, std::int32_t& field, std::int32_t v) {
        calls.push_back(std::string(what) + "=" + std::to_string(v));
        field = v;
    }
};

// Records every text it is given: leaving the area alone when the text is already there is the
// real readout's part (tested with the window).
class FakeReadout : public IReadoutArea {
  public:
    std::string text = "pos_x=\r\npos_y=\r\nwidth=";
    std::vector<std::string> written;
    void SetText(const std::string& t) override {
        text = t;
        written.push_back(t);
    }
};

// Whether another copy's command could take the settings lock now (the lock is the thread's
// own to take again, so another thread asks).
bool SettingsLockFreeElsewhere() {
    bool free = false;
    std::thread([&] { free = SettingsLock(0).Held(); }).join();
    return free;
}

class SettingCommandsTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");
    int pathRequests = 0;
    FakeNameBox nameBox;
    FakeChecker checker;
    FakeReadout readout;
    SettingCommands commands{nameBox, checker, readout, [this] {
                                 ++pathRequests;
                                 return path;
                             }};
};

TEST_F(SettingCommandsTest, ListSettingsFillsInFileOrderAndSelectsOnlyAGivenName) {
    WriteBytes(path, "[zeta]\r\nk=1\r\n[Alpha]\r\n[zeta]\r\n[mid]\r\n");
    nameBox.items = {"old"};
    nameBox.text = "typed";
    // The file is released before the list is shown.
    std::vector<bool> lockFree;
    nameBox.onAddItem = [&] { lockFree.push_back(SettingsLockFreeElsewhere()); };

    commands.ListSettings("");
    EXPECT_EQ(lockFree, std::vector<bool>(4, true));
    nameBox.onAddItem = nullptr;
    EXPECT_EQ(nameBox.items, (Names{"zeta", "Alpha", "zeta", "mid"}));
    EXPECT_EQ(nameBox.text, "");
    EXPECT_EQ(nameBox.selected, -1);

    commands.ListSettings("mid");
    EXPECT_EQ(nameBox.selected, 3);
    EXPECT_EQ(nameBox.text, "mid");

    commands.ListSettings("nothing");
    EXPECT_EQ(nameBox.selected, -1);
    EXPECT_EQ(nameBox.text, "");
}

TEST_F(SettingCommandsTest, ListSettingsStopsAtAFullNameBoxKeepingWhatWasAdded) {
    WriteBytes(path, "[a]\r\n[b]\r\n[c]\r\n");
    nameBox.capacity = 2;
    nameBox.text = "kept";
    try {
        commands.ListSettings("");
        FAIL() << "no failure";
    } catch (const ENameBoxException& e) {
        EXPECT_EQ(e.Message(), AnsiFromWide(L"行を挿入できません"));
    }
    EXPECT_EQ(nameBox.items, (Names{"a", "b"}));
    EXPECT_TRUE(test::FileIsReleased(path));
}

TEST_F(SettingCommandsTest, ListSettingsWithoutAReadableFileEmptiesTheListAndFails) {
    nameBox.items = {"old", "older"};
    nameBox.selected = 1;
    nameBox.text = "typed";
    SettingCommands unreachable{nameBox, checker, readout,
                                []() -> std::string { throw ESettingsPathException("no path"); }};
    EXPECT_THROW(unreachable.ListSettings("old"), ESettingsPathException);
    EXPECT_TRUE(nameBox.items.empty());
    EXPECT_EQ(nameBox.selected, -1);
    EXPECT_EQ(nameBox.text, "typed");
}

TEST_F(SettingCommandsTest, SaveWritesTheFourKeysAndSelectsTheName) {
    WriteBytes(path, "[first]\r\npos_x=1\r\n");
    nameBox.text = "A";
    checker.geometry = {-8, -30, 244, 157};
    commands.Save();
    EXPECT_EQ(ReadBytes(path),
              "[first]\r\npos_x=1\r\n[A]\r\npos_x=-8\r\npos_y=-30\r\nwidth=244\r\nheight=157\r\n");
    EXPECT_EQ(nameBox.items, (Names{"first", "A"}));
    EXPECT_EQ(nameBox.selected, 1);
    EXPECT_EQ(nameBox.text, "A");
    EXPECT_TRUE(checker.calls.empty());

    // Saving again under the same name replaces the values in place.
    checker.geometry = {1, 2, 3, 4};
    commands.Save();
    EXPECT_EQ(ReadBytes(path),
              "[first]\r\npos_x=1\r\n[A]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n");
    EXPECT_EQ(nameBox.items, (Names{"first", "A"}));
    EXPECT_EQ(nameBox.selected, 1);
}

TEST_F(SettingCommandsTest, RecallAppliesEachValueInFourStepsWithDefaultsForMissingKeys) {
    WriteBytes(path,
               "[all]\r\npos_x=-5\r\npos_y=7\r\nwidth=300\r\nheight=200\r\n"
               "[some]\r\npos_y=0x10\r\nwidth=junk\r\n");
    nameBox.items = {"x"};
    nameBox.text = "all";
    commands.Recall();
    EXPECT_EQ(checker.calls, (Names{"left=-5", "top=7", "width=300", "height=200"}));
    EXPECT_EQ(readout.text, "pos_x=-5\r\npos_y=7\r\nwidth=300");
    EXPECT_EQ(nameBox.items, Names{"x"}) << "recall does not refill the list";
    EXPECT_EQ(nameBox.text, "all");

    checker.calls.clear();
    nameBox.text = "some";
    commands.Recall();
    EXPECT_EQ(checker.calls, (Names{"left=50", "top=16", "width=50", "height=50"}));

    checker.calls.clear();
    nameBox.text = "none";
    commands.Recall();
    EXPECT_EQ(checker.calls, (Names{"left=50", "top=50", "width=50", "height=50"}));
    EXPECT_EQ(readout.text, "pos_x=50\r\npos_y=50\r\nwidth=50");
    EXPECT_TRUE(test::FileIsReleased(path));
}

TEST_F(SettingCommandsTest, DeleteRemovesTheSectionAndLeavesTheBoxEmpty) {
    WriteBytes(path, "[A]\r\npos_x=1\r\n[B]\r\npos_x=2\r\n");
    nameBox.text = "A";
    commands.Delete();
    EXPECT_EQ(ReadBytes(path), "[B]\r\npos_x=2\r\n");
    EXPECT_EQ(nameBox.items, Names{"B"});
    EXPECT_EQ(nameBox.text, "");
    EXPECT_EQ(nameBox.selected, -1);

    // A name the file does not hold changes no section; the list is refilled unchanged.
    const std::string before = ReadBytes(path);
    nameBox.text = "absent";
    commands.Delete();
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(nameBox.items, Names{"B"});
    EXPECT_EQ(nameBox.text, "");
}

TEST_F(SettingCommandsTest, AnEmptyNameDoesNothingAtAll) {
    nameBox.items = {"keep"};
    nameBox.selected = 0;
    commands.Save();
    commands.Recall();
    commands.Delete();
    EXPECT_FALSE(test::FileExists(path));
    EXPECT_EQ(pathRequests, 0);
    EXPECT_EQ(nameBox.items, Names{"keep"});
    EXPECT_EQ(nameBox.selected, 0);
    EXPECT_TRUE(checker.calls.empty());
    EXPECT_TRUE(readout.written.empty());
}

TEST_F(SettingCommandsTest, ABlankNameIsPassedToTheFileUnchanged) {
    nameBox.text = "  ";
    commands.Save();
    ASSERT_TRUE(test::FileExists(path));
    // The profile functions keep such keys outside any section; they are read back by the
    // same blank name.
    EXPECT_EQ(SettingsFile(path).ReadIntValue("  ", "pos_x", 50), 497);
    // Not listed, so the refilled box ends empty; typed again, the name recalls its values.
    EXPECT_EQ(nameBox.text, "");
    nameBox.text = "  ";
    commands.Recall();
    EXPECT_EQ(checker.calls, (Names{"left=497", "top=114", "width=244", "height=157"}));
}

TEST_F(SettingCommandsTest, SaveFailingAtTheFirstWriteWritesNothingAndKeepsTheList) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    nameBox.items = {"one", "two"};
    nameBox.selected = 1;
    nameBox.text = "new";
    EXPECT_THROW(commands.Save(), EIniFileException);
    EXPECT_EQ(nameBox.items, (Names{"one", "two"}));
    EXPECT_EQ(nameBox.text, "new");
    EXPECT_EQ(pathRequests, 1) << "the list must not have been refilled";
    EXPECT_THROW(commands.Delete(), EIniFileException);
    EXPECT_EQ(nameBox.items, (Names{"one", "two"}));
}

TEST_F(SettingCommandsTest, SaveFailingAtALaterStepLeavesTheFileAsItWasAndReleasesIt) {
    WriteBytes(path, "[other]\r\npos_x=9\r\n");
    // Before the third value is written, something else takes the file without sharing.
    HANDLE holder = INVALID_HANDLE_VALUE;
    checker.onGeometryRead = [&](int reads) {
        if (reads == 3) {
            holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        }
    };
    nameBox.text = "S";
    EXPECT_THROW(commands.Save(), EIniFileException);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CloseHandle(holder);

    // The values reach the file together or not at all: none of them is there.
    EXPECT_EQ(ReadBytes(path), "[other]\r\npos_x=9\r\n");
    EXPECT_EQ(nameBox.items, Names{}) << "the list must not have been refilled";
    EXPECT_TRUE(test::FileIsReleased(path));
}

TEST_F(SettingCommandsTest, ShowCheckerGeometryWritesTheGeometryOfTheMomentEveryTime) {
    commands.ShowCheckerGeometry();
    checker.geometry = {-8, 0, 1, 2};
    commands.ShowCheckerGeometry();
    checker.geometry.height = 999;  // not shown: the same text again, for the readout to keep
    commands.ShowCheckerGeometry();
    EXPECT_EQ(readout.written,
              (Names{"pos_x=497\r\npos_y=114\r\nwidth=244", "pos_x=-8\r\npos_y=0\r\nwidth=1",
                     "pos_x=-8\r\npos_y=0\r\nwidth=1"}));
}

}  // namespace
}  // namespace pelmora
