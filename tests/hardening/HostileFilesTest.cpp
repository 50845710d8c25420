// Hostile settings files through the real settings layer: whatever a file holds, the list shows
// what the profile functions see in it, Recall reads the stated values and defaults, and a Save
// or Delete of one setting leaves every other section as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "HardeningSupport.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace pelmora::hardening {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;
constexpr CheckerGeometry kDefaults{50, 50, 50, 50};

std::string Repeat(std::string_view piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

// Deterministic bytes of every value: a file of garbage that is the same on every run.
std::string Garbage(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::string Utf16(std::wstring_view text, bool bigEndian) {
    std::string bytes;
    for (wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

const std::string kHyouji = test::Bytes({0x95, 0x5C, 0x8E, 0xA6});  // 表示 in Shift-JIS

struct HostileFile {
    const char* label;
    std::string content;
    bool namesKnown;  // false: only the profile functions' own view is compared
    Names names;
    std::vector<std::pair<std::string, CheckerGeometry>> recalls;
    // false: the profile functions would not write the text back as the same bytes, so Save and
    // Delete refuse it
    bool rewritable = true;
};

std::vector<HostileFile> HostileFiles() {
    std::vector<HostileFile> files;
    files.push_back({"Empty", "", true, {}, {{"A", kDefaults}}});
    files.push_back({"BinaryGarbage", Garbage(64 * 1024, 7), false, {}, {{"A", kDefaults}}, false});
    files.push_back({"GarbageAroundSections",
                     Garbage(3000, 11) + "\r\n[A]\r\npos_x=5\r\n" + Garbage(3000, 12) +
                         "\r\n[B]\r\npos_y=6\r\n",
                     false,
                     {},
                     {{"B", {50, 6, 50, 50}}},
                     false});
    files.push_back({"NulBytesInNamesKeysAndValues",
                     "[A\0B]\r\nk\0ey=1\r\npos_x=1\0"
                     "2\r\n[C]\r\npos_x=3\r\npos_y=-4\r\n"
                     "[D]\r\nwidth=\0"
                     "9\r\nheight=8\r\n"s,
                     true,
                     {"A", "C", "D"},
                     {{"C", {3, -4, 50, 50}}, {"D", {50, 50, 50, 8}}},
                     false});
    files.push_back({"OneMegabyteLine",
                     "[A]\r\npos_x=7\r\n" + std::string(1 << 20, 'z') + "\r\n[B]\r\npos_x=8\r\n" +
                         "[C]\r\npos_y=" + std::string(1 << 20, '1') + "\r\nwidth=9\r\n",
                     true,
                     {"A", "B", "C"},
                     {{"A", {7, 50, 50, 50}}, {"B", {8, 50, 50, 50}}, {"C", {50, 50, 9, 50}}}});
    files.push_back({"Utf8ByteOrderMark",
                     "\xEF\xBB\xBF[A]\r\npos_x=1\r\n[\xE8\xA1\xA8\xE7\xA4\xBA]\r\npos_x=2\r\n",
                     true,
                     {"A", kHyouji},
                     {{"A", {1, 50, 50, 50}}, {kHyouji, {2, 50, 50, 50}}}});
    for (bool bigEndian : {false, true}) {
        files.push_back({bigEndian ? "Utf16BigEndian" : "Utf16LittleEndian",
                         Utf16(L"\xFEFF[A]\r\npos_x=1\r\n[\x8868\x793A]\r\npos_y=2\r\n", bigEndian),
                         true,
                         {"A", kHyouji},
                         {{"A", {1, 50, 50, 50}}, {kHyouji, {50, 2, 50, 50}}}});
    }
    files.push_back({"CarriageReturnsOnly",
                     "[A]\rpos_x=1\rpos_y=2\r[B]\rpos_x=3\r",
                     true,
                     {"A", "B"},
                     {{"A", {1, 2, 50, 50}}, {"B", {3, 50, 50, 50}}}});
    files.push_back({"LineFeedsOnly",
                     "[A]\npos_x=1\npos_y=2\n[B]\npos_x=3\n",
                     true,
                     {"A", "B"},
                     {{"A", {1, 2, 50, 50}}, {"B", {3, 50, 50, 50}}}});
    files.push_back({"NoFinalLineEnd",
                     "[A]\r\npos_x=1\r\n[B]\r\npos_x=3\r\nheight=4",
                     true,
                     {"A", "B"},
                     {{"B", {3, 50, 50, 4}}}});
    files.push_back({"DuplicateSections",
                     "[A]\r\npos_x=1\r\n[B]\r\npos_x=2\r\n[a]\r\npos_x=3\r\npos_y=4\r\n[A]\r\n"
                     "width=5\r\n[C]\r\nheight=6\r\n",
                     true,
                     {"A", "B", "a", "A", "C"},
                     {{"B", {2, 50, 50, 50}}, {"C", {50, 50, 50, 6}}}});
    files.push_back({"KeysBeforeAnySection",
                     "pos_x=9\r\nno equals sign\r\n=value without key\r\n[A]\r\npos_x=1\r\n",
                     true,
                     {"A"},
                     {{"A", {1, 50, 50, 50}}}});
    files.push_back({"BlanksAroundNamesKeysAndValues",
                     "  [ A ]  \r\n  pos_x  =  12  \r\n\t[\tB\t]\r\n\tpos_y\t=\t13\t\r\n"
                     "[C]\r\nwidth = 1 4\r\n",
                     true,
                     {"A", "B", "C"},
                     {{"A", {12, 50, 50, 50}}, {"B", {50, 13, 50, 50}}, {"C", kDefaults}}});
    {
        std::string content;
        Names names;
        for (int i = 0; i < 20000; ++i) {
            names.push_back(std::string(1, 's').append(std::to_string(i)));
            content += "[" + names.back() + "]\r\npos_x=" + std::to_string(i) + "\r\n";
        }
        files.push_back({"TwentyThousandSections",
                         content,
                         true,
                         names,
                         {{"s0", {0, 50, 50, 50}}, {"s19999", {19999, 50, 50, 50}}}});
    }
    {
        std::string content;
        Names names;
        for (int i = 0; i < 40; ++i) {
            names.push_back(std::string(1, 'N')
                                .append(std::to_string(i))
                                .append("-")
                                .append(std::string(1000 + i, 'n')));
            content += "[" + names.back() + "]\r\nheight=" + std::to_string(i) + "\r\n";
        }
        files.push_back({"NamesFarOverSixteenKilobytes",
                         content,
                         true,
                         names,
                         {{names.back(), {50, 50, 50, 39}}}});
    }
    files.push_back({"ValuesOfFiveThousandCharacters",
                     "[A]\r\npos_x=" + std::string(5000, '1') +
                         "\r\npos_y=" + std::string(4999, '0') + "7\r\nwidth=-" +
                         std::string(4998, '0') + "5\r\nheight=" + Repeat("$", 5000) + "\r\n",
                     true,
                     {"A"},
                     {{"A", {50, 7, -5, 50}}}});
    return files;
}

class HostileFileTest : public ::testing::TestWithParam<HostileFile> {
  protected:
    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");

    void SetUp() override { Restore(); }
    void Restore() { test::WriteBytes(path, GetParam().content); }
};

TEST_P(HostileFileTest, ListsWhatTheFileHoldsAndRecallsStatedValues) {
    ++RunFigures().files;
    const FileView view = ViewThroughProfile(path);
    Program program(path);
    const Names listed = program.List();
    EXPECT_EQ(listed, NamesOf(view));
    if (GetParam().namesKnown) {
        EXPECT_EQ(listed, GetParam().names);
    }
    EXPECT_EQ(program.box.text, "");

    for (const auto& [name, expected] : GetParam().recalls) {
        EXPECT_EQ(program.Recall(name), expected) << Printable(name);
    }
    EXPECT_EQ(program.Recall("hardening-absent"), kDefaults);
    EXPECT_EQ(test::ReadBytes(path), GetParam().content) << "reading changed the file";
}

TEST_P(HostileFileTest, SaveAndDeleteOfOneSettingKeepEveryOtherSection) {
    const CheckerGeometry saved{-8, 7, 300, 200};
    const FileView original = ViewThroughProfile(path);
    if (!GetParam().rewritable) {
        Program program(path);
        EXPECT_THROW(program.Save("hardening-new", saved), EUnrewritableFileException);
        EXPECT_THROW(program.Delete(original.empty() ? "A" : original.front().name),
                     EUnrewritableFileException);
        EXPECT_EQ(test::ReadBytes(path), GetParam().content);
        return;
    }
    std::vector<std::string> targets = {"hardening-new"};
    if (!original.empty()) targets.push_back(original.front().name);
    if (original.size() > 2) targets.push_back(original[original.size() / 2].name);

    for (const std::string& name : targets) {
        SCOPED_TRACE("save " + Printable(name));
        Restore();
        Program program(path);
        program.Save(name, saved);
        const FileView after = ViewThroughProfile(path);
        EXPECT_TRUE(SameSections(Without(original, name), Without(after, name)));
        EXPECT_EQ(program.Recall(name), saved);
        EXPECT_EQ(program.box.items, NamesOf(after));
        if (name == "hardening-new") {
            ASSERT_FALSE(after.empty());
            EXPECT_EQ(after.back().name, name) << "a new setting goes to the end";
            EXPECT_EQ(after.size(), original.size() + 1);
        } else {
            EXPECT_EQ(NamesOf(after), NamesOf(original));
        }
    }

    std::vector<std::string> deletions = {"hardening-absent"};
    if (targets.size() > 1) deletions.push_back(targets.back());
    for (const std::string& name : deletions) {
        SCOPED_TRACE("delete " + Printable(name));
        Restore();
        Program program(path);
        program.Delete(name);
        const FileView after = ViewThroughProfile(path);
        const FileView rest = Without(after, name);
        EXPECT_TRUE(SameSections(Without(original, name), rest));
        EXPECT_EQ(program.box.items, NamesOf(after));
        if (name == "hardening-absent") {
            EXPECT_EQ(test::ReadBytes(path), GetParam().content);
        } else {
            // One section goes; of duplicate names the later ones stay, and the list shows them.
            EXPECT_EQ(after.size() + 1, original.size());
        }
        if (rest.size() == after.size()) {
            EXPECT_EQ(program.box.text, "");
        } else {
            EXPECT_TRUE(SameSection(program.box.text, name)) << "the list holds it";
        }
    }
}

void PrintTo(const HostileFile& file, std::ostream* out) {
    *out << file.label;
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileFileTest, ::testing::ValuesIn(HostileFiles()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace pelmora::hardening
