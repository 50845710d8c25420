// Awkward setting names through Save, Recall and Delete on a real settings file: no name writes
// a section it does not name or touches another setting, and a name that the file cannot hold
// is refused with a clear failure before anything is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "HardeningSupport.h"
#include "SettingName.h"
#include "TestSupport.h"

namespace pelmora::hardening {
namespace {

using namespace std::string_literals;

enum class Outcome {
    kStored,    // listed exactly as given, recalled, deleted
    kUnlisted,  // the blank name: kept in the nameless part at the top, recalled, not listed
    kRefused,   // ESettingNameException with the message, the file untouched
};

constexpr CheckerGeometry kDefaults{50, 50, 50, 50};

struct BadName {
    const char* label;
    std::string name;
    Outcome outcome;
    std::string message = "";              // kRefused: the failure's message
    CheckerGeometry recalled = kDefaults;  // kRefused: what Recall reads for the name
};

const std::string kLineBreakMessage = AnsiFromWide(L"設定名に改行文字は使えません");
const std::string kTooLongMessage = AnsiFromWide(L"設定名が長すぎます（32766 バイトまで）");
const std::string kBlanksMessage = AnsiFromWide(L"設定名の前後に空白は使えません");
const std::string kCodePageMessage =
    AnsiFromWide(L"設定名にこのシステムの文字コードで表せない文字があります");

std::vector<BadName> BadNames() {
    return {
        {"ClosingBracketFirst", "]x", Outcome::kStored},
        {"ClosingBracketInside", "a]b", Outcome::kStored},
        {"ClosingBracketLast", "x]", Outcome::kStored},
        {"OpeningBracketFirst", "[x", Outcome::kStored},
        {"AnotherSectionInBrackets", "[keep1]", Outcome::kStored},
        {"EqualsSignFirst", "=x", Outcome::kStored},
        {"KeyValueLike", "pos_x=1", Outcome::kStored},
        {"SemicolonFirst", ";x", Outcome::kStored},
        {"HashFirst", "#x", Outcome::kStored},
        {"ShiftJisWithBackslashTrailByte", test::Bytes({0x95, 0x5C, 0x8E, 0xA6}), Outcome::kStored,
         ""},
        {"LongestName", std::string(kSettingNameLimit, 'L'), Outcome::kStored},
        {"BlankInside", "a b", Outcome::kStored},
        {"IdeographicSpaceAround", "\x81\x40x\x81\x40", Outcome::kStored},
        // Saved as "keep2", which a Delete of " keep2 " would not erase.
        {"BlanksAroundAnotherSetting",
         " keep2 ",
         Outcome::kRefused,
         kBlanksMessage,
         {5, 50, 50, 50}},
        {"LeadingBlanks", "  lead", Outcome::kRefused, kBlanksMessage},
        {"TrailingBlanks", "trail  ", Outcome::kRefused, kBlanksMessage},
        {"TabsAround", "\ttab\t", Outcome::kRefused, kBlanksMessage},
        {"CtrlZAtTheEnd", "x\x1A", Outcome::kRefused, kBlanksMessage},
        {"OnlyBlanks", "   ", Outcome::kUnlisted},
        {"ThirtyTwoKilobytes", std::string(32 * 1024, 'N'), Outcome::kRefused, kTooLongMessage},
        {"OneOverTheLimit", std::string(kSettingNameLimit + 1, 'N'), Outcome::kRefused,
         kTooLongMessage},
        {"PastedLines", "first line\r\nsecond line", Outcome::kRefused, kLineBreakMessage},
        {"LineFeed", "first\nsecond", Outcome::kRefused, kLineBreakMessage},
        {"CarriageReturn", "first\rsecond", Outcome::kRefused, kLineBreakMessage},
        {"TrailingLineBreak", "keep1\r\n", Outcome::kRefused, kLineBreakMessage},
        {"InjectedSection", "x]\r\n[keep1", Outcome::kRefused, kLineBreakMessage},
        {"InjectedKey", "x\r\npos_x=999", Outcome::kRefused, kLineBreakMessage},
        {"NulInside", "keep1\0tail"s, Outcome::kRefused, kLineBreakMessage},
        {"LoneLeadByteAtEnd", "x\x95", Outcome::kRefused, kCodePageMessage},
        {"UnassignedDoubleByte", "x\x85\x40", Outcome::kRefused, kCodePageMessage},
    };
}

// Two settings that no name above means to touch, and text around them that a line break
// could reach into.
const std::string kStartFile =
    "[keep1]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n[keep2]\r\npos_x=5\r\n";
constexpr CheckerGeometry kSaved{-8, 7, 300, 200};

class BadNameTest : public ::testing::TestWithParam<BadName> {
  protected:
    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");
    Program program{path};
    FileView original;

    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "the names are Shift-JIS";
        test::WriteBytes(path, kStartFile);
        original = ViewThroughProfile(path);
    }
};

TEST_P(BadNameTest, SaveRecallAndDeleteTouchOnlyTheNamedSetting) {
    ++RunFigures().names;
    const BadName& bad = GetParam();

    if (bad.outcome == Outcome::kRefused) {
        program.box.items = {"before"};
        try {
            program.Save(bad.name, kSaved);
            ADD_FAILURE() << "saved";
        } catch (const ESettingNameException& e) {
            EXPECT_EQ(e.Message(), bad.message);
        }
        EXPECT_EQ(test::ReadBytes(path), kStartFile);
        EXPECT_EQ(program.box.items, std::vector<std::string>{"before"}) << "list not refilled";
        EXPECT_EQ(program.Recall(bad.name), bad.recalled);
        EXPECT_THROW(program.Delete(bad.name), ESettingNameException);
        EXPECT_EQ(test::ReadBytes(path), kStartFile);
        EXPECT_EQ(program.List(), NamesOf(original));
        return;
    }

    program.Save(bad.name, kSaved);
    FileView after = ViewThroughProfile(path);
    EXPECT_EQ(program.box.items, NamesOf(after));
    if (bad.outcome == Outcome::kUnlisted) {
        EXPECT_TRUE(SameSections(original, after)) << "a section was written";
        EXPECT_EQ(program.box.text, "");
    } else {
        EXPECT_TRUE(SameSections(original, Without(after, bad.name)));
        ASSERT_EQ(after.size(), original.size() + 1);
        EXPECT_EQ(after.back().name, bad.name) << Printable(after.back().name);
        EXPECT_EQ(program.box.text, bad.name) << "the name box finds the saved item";
    }
    EXPECT_EQ(program.Recall(bad.name), kSaved);

    program.Delete(bad.name);
    after = ViewThroughProfile(path);
    EXPECT_EQ(program.box.items, NamesOf(after));
    EXPECT_TRUE(SameSections(original, after));
    if (bad.outcome == Outcome::kStored) {
        EXPECT_EQ(program.Recall(bad.name), kDefaults);
    }
    // The nameless part is no section: the blank name's values stay, and nothing else goes.
    if (bad.outcome == Outcome::kUnlisted) {
        EXPECT_EQ(program.Recall(bad.name), kSaved);
    }
}

void PrintTo(const BadName& bad, std::ostream* out) {
    *out << bad.label;
}

INSTANTIATE_TEST_SUITE_P(Names, BadNameTest, ::testing::ValuesIn(BadNames()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace pelmora::hardening
