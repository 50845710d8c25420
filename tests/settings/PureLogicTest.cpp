// The pure parts of the settings layer: integer syntax, settings path rule, name-list splitting,
// the section-name rule, the check of a command's copy of the file and the readout text, with
// hostile inputs.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include <windows.h>

#include "CodePageText.h"
#include "IntSyntax.h"
#include "ProfileText.h"
#include "SectionNameRule.h"
#include "SectionNames.h"
#include "SettingCommands.h"
#include "SettingsPath.h"
#include "TestSupport.h"

namespace pelmora {
namespace {

using test::Bytes;

struct IntCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

TEST(IntSyntax, AcceptsDecimalAndHexadecimalForms) {
    const IntCase cases[] = {
        {"0", 0},
        {"12", 12},
        {"+12", 12},
        {"-8", -8},
        {"  12", 12},
        {" -7", -7},
        {"007", 7},
        {"0x1F4", 500},
        {"0X1f4", 500},
        {"$1F4", 500},
        {"x1f4", 500},
        {"X1F4", 500},
        {"-0x10", -16},
        {"+$10", 16},
        {" $a", 10},
        {" 0x10", 16},
        {"-x10", -16},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"$7FFFFFFF", INT_MAX},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"$80000000", INT_MIN},
        {"-$80000000", INT_MIN},
        {"$000000000001", 1},
        {"0000000000000000000042", 42},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseIntValue(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(IntSyntax, RejectsEverythingElse) {
    const char* rejected[] = {
        "",           " ",           "12 ",
        "1 2",        "+",           "-",
        "$",          "x",           "0x",
        "0X",         "-0x",         "--1",
        "+-1",        "- 1",         "$ 1",
        "0x 1",       "0x-5",        "0x+5",
        "1.5",        "1e3",         "12a",
        "$G",         "\t12",        "12\n",
        "2147483648", "-2147483649", "99999999999999999999",
        "$100000000", "0x100000000", "$FFFFFFFFF",
        "０",         "\xff",
    };
    for (const char* text : rejected) {
        EXPECT_EQ(ParseIntValue(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(IntSyntax, EmbeddedNulIsNotTheEndOfTheText) {
    EXPECT_EQ(ParseIntValue(std::string_view("12\0", 3)), std::nullopt);
    EXPECT_EQ(ParseIntValue(std::string_view("\0"
                                             "12",
                                             3)),
              std::nullopt);
}

TEST(IntSyntax, EveryWrittenValueReadsBack) {
    const std::int32_t values[] = {INT_MIN, INT_MIN + 1, -32768, -8, -1, 0, 1, 50, 65535, INT_MAX};
    for (std::int32_t v : values) EXPECT_EQ(ParseIntValue(std::to_string(v)), v);
}

TEST(SettingsPathRule, ReplacesTheExtensionOrAppendsOne) {
    EXPECT_EQ(SettingsPathFor("C:\\tools\\a.exe", IsShiftJisLeadByte), "C:\\tools\\a.ini");
    EXPECT_EQ(SettingsPathFor("C:\\x.d\\a", IsShiftJisLeadByte), "C:\\x.d\\a.ini");
    EXPECT_EQ(SettingsPathFor("C:a", IsShiftJisLeadByte), "C:a.ini");
    EXPECT_EQ(SettingsPathFor("a", IsShiftJisLeadByte), "a.ini");
    EXPECT_EQ(SettingsPathFor("", IsShiftJisLeadByte), ".ini");
    EXPECT_EQ(SettingsPathFor("C:\\a.b.exe", IsShiftJisLeadByte), "C:\\a.b.ini");
    EXPECT_EQ(SettingsPathFor("C:\\dir\\", IsShiftJisLeadByte), "C:\\dir\\.ini");
    EXPECT_EQ(SettingsPathFor("C:\\a.", IsShiftJisLeadByte), "C:\\a.ini");
    EXPECT_EQ(SettingsPathFor("\\\\server\\share\\p.exe", IsShiftJisLeadByte),
              "\\\\server\\share\\p.ini");
}

TEST(SettingsPathRule, TrailBytesOfDoubleByteCharactersNeverCount) {
    const std::string hyo = Bytes({0x95, 0x5C});       // 表: trail byte is "\"
    const std::string shi = Bytes({0x8E, 0xA6});       // 示
    const std::string dotTrail = Bytes({0x81, 0x2E});  // not a real character; trail is "."
    const std::string colonTrail = Bytes({0x81, 0x3A});

    // C:\x.d\表 has no extension: the 0x5C inside 表 is not a folder mark.
    EXPECT_EQ(SettingsPathFor("C:\\x.d\\" + hyo, IsShiftJisLeadByte), "C:\\x.d\\" + hyo + ".ini");
    // C:\表示.exe: the extension is found past a trail byte 0x5C.
    EXPECT_EQ(SettingsPathFor("C:\\" + hyo + shi + ".exe", IsShiftJisLeadByte),
              "C:\\" + hyo + shi + ".ini");
    // C:\a.b\表: read byte by byte, the last mark would be the 0x5C and ".ini" is appended;
    // the same answer either way, so check a case where byte reading goes wrong: C:\x.表
    EXPECT_EQ(SettingsPathFor("C:\\x." + hyo, IsShiftJisLeadByte), "C:\\x.ini");
    EXPECT_EQ(SettingsPathFor("C:\\x." + hyo, IsSingleByteCodePage), "C:\\x." + hyo + ".ini");
    EXPECT_EQ(SettingsPathFor("C:\\a" + dotTrail + "b", IsShiftJisLeadByte),
              "C:\\a" + dotTrail + "b.ini");
    EXPECT_EQ(SettingsPathFor("C:\\a.b" + colonTrail, IsShiftJisLeadByte), "C:\\a.ini");
    // A lead byte cut off at the very end stands alone.
    EXPECT_EQ(SettingsPathFor("C:\\a.exe\x95", IsShiftJisLeadByte), "C:\\a.ini");
}

// Text goes into a code page whole or not at all: no "?" and no look-alike for a character the
// code page lacks. For 65001 the conversion takes neither the no-best-fit flag nor the
// default-character arguments (Windows fails the call with them; Wine does not, so the choice
// itself is checked).
TEST(CodePageText, ConvertsExactlyOrNotAtAllInEachCodePage) {
    EXPECT_EQ(StrictConversionInto(65001), (StrictConversion{WC_ERR_INVALID_CHARS, false}));
    EXPECT_EQ(StrictConversionInto(932), (StrictConversion{WC_NO_BEST_FIT_CHARS, true}));
    EXPECT_EQ(StrictConversionInto(1252), (StrictConversion{WC_NO_BEST_FIT_CHARS, true}));

    struct Case {
        std::wstring text;
        unsigned codePage;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {L"\x8868\x793A"
         L"a",
         932, Bytes({0x95, 0x5C, 0x8E, 0xA6, 'a'})},  // "表示a"
        {L"\xD55C"
         L"a",
         932, std::nullopt},             // Hangul: "?a" would name another setting
        {L"?a", 932, "?a"},              // a "?" typed is one
        {L"\x00A5", 932, std::nullopt},  // the yen sign would become "\\"
        {L"\x00E9t\x00E9", 1252, "\xE9t\xE9"},
        {L"\x0105", 1252, std::nullopt},  // "ą" would become "a"
        {L"\x8868", 1252, std::nullopt},
        {L"\xD55C"
         L"a",
         65001,
         "\xED\x95\x9C"
         "a"},
        {L"\x0105", 65001, "\xC4\x85"},
        {L"\xD83D\xDE00", 65001, "\xF0\x9F\x98\x80"},
        {L"\xD83D"
         L"a",
         65001, std::nullopt},  // half a surrogate pair is no text
        {L"", 65001, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExactlyInCodePage(c.text, c.codePage), c.expected)
            << c.codePage << " " << c.text.size() << " characters, first U+" << std::hex
            << static_cast<unsigned>(c.text.empty() ? 0 : c.text[0]);
    }
}

TEST(SectionNameList, SplitsAtNulsAndKeepsOrderAndDuplicates) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitSectionNames(std::string_view("", 0)), V{});
    EXPECT_EQ(SplitSectionNames(std::string_view("A\0", 2)), V{"A"});
    EXPECT_EQ(SplitSectionNames(std::string_view("b\0A\0b\0", 6)), (V{"b", "A", "b"}));
    EXPECT_EQ(SplitSectionNames(std::string_view("one\0tw", 6)), (V{"one", "tw"}));  // cut off
    EXPECT_EQ(SplitSectionNames(std::string_view("\0\0x\0\0", 5)), V{"x"});
    const std::string sjis = Bytes({0x95, 0x5C, 0x8E, 0xA6});
    EXPECT_EQ(SplitSectionNames(sjis + std::string(1, '\0')), V{sjis});
}

// The settings file folds the ASCII letters of a name and nothing else, on the wide text: the
// name box finds and completes by that rule, never by the system's wider case folding and never
// on raw bytes.
TEST(SectionNameRule, FoldsAsciiLettersOfTheWideTextOnly) {
    EXPECT_TRUE(SameSectionName(L"Alpha-1", L"aLPHA-1"));
    EXPECT_FALSE(SameSectionName(L"Alpha", L"Alphabet"));
    EXPECT_FALSE(SameSectionName(L"@[", L"`{"));  // the neighbours of A-Z and a-z
    EXPECT_FALSE(
        SameSectionName(L"\x03A9"
                        L"A",
                        L"\x03C9"
                        L"A"));                                         // "ΩA", "ωA"
    EXPECT_FALSE(SameSectionName(L"\xFF21", L"\xFF41"));                // fullwidth "Ａ", "ａ"
    EXPECT_FALSE(SameSectionName(L"\x2160", L"\x2170"));                // "Ⅰ", "ⅰ"
    EXPECT_FALSE(SameSectionName(L"\x00C9t\x00E9", L"\x00E9t\x00E9"));  // "Été", "été"
    EXPECT_TRUE(StartsWithSectionName(L"Alphabet", L"aLP"));
    EXPECT_TRUE(StartsWithSectionName(L"Al", L"aL"));
    EXPECT_FALSE(StartsWithSectionName(L"Al", L"Alp"));
    EXPECT_FALSE(
        StartsWithSectionName(L"\x03A9"
                              L"Abc",
                              L"\x03C9"
                              L"a"));

    // Shift-JIS: "ΩA", "ア" (0x83 0x41: its trail byte is "A"), fullwidth "ＡＢ", "Ⅰ", and a
    // name that is no text of the code page.
    const std::string omegaA = Bytes({0x83, 0xB6, 'A'});
    const std::string a = Bytes({0x83, 0x41});
    const std::vector<std::string> items = {
        omegaA,  a,       Bytes({0x82, 0x60, 0x82, 0x61}), Bytes({0x87, 0x54}),
        "Alpha", "alpha", Bytes({'x', 0x85, 0x40}),        "beta"};
    const struct {
        std::string name;
        int expected;
    } cases[] = {
        {Bytes({0x83, 0xD6, 'A'}), -1},         // "ωA": another section
        {Bytes({0x83, 0xB6, 'a'}), 0},          // "Ωa": the section of "ΩA"
        {Bytes({0x83, 0x61}), -1},              // "ヂ": "ア" with its trail byte folded
        {Bytes({0x82, 0x81, 0x82, 0x82}), -1},  // fullwidth "ａｂ"
        {Bytes({0xFA, 0x40}), -1},              // "ⅰ"
        {"alpha", 5},                           // equal byte for byte comes first
        {"ALPHA", 4},                           // else the first that the file takes
        {"BETA", 7},
        {"bet", -1},
        {Bytes({'x', 0x85, 0x40}), 6},  // no text: equal byte for byte only
        {Bytes({'X', 0x85, 0x40}), -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindSectionItem(items, c.name, 932), c.expected) << "case " << &c - cases;
    }
}

// The copy checked on its bytes: only its changed section decoded, the rest the file's bytes.
TEST(CopyCheck, BytesAroundTheSectionTheFilesAndTheSectionAsWritten) {
    // "ア" and "表" (their second bytes are "A" and "\\"), "設定", "あ".
    const std::string head = "[a]\r\nk=\x83\x41\r\n", section = "[\x90\xdd\x92\xe8]\r\n",
                      tail = "[z]\r\nk=\x95\x5C\r\n; \x82\xA0";
    const std::string before = head + section + "k=2\r\nj=3\r\n" + tail;
    const std::wstring text = ProfileText(before, 932, true).value();
    // Decoded exactly: the same text as decoded without the check.
    EXPECT_EQ(text, ProfileText(before, 932, false));
    // A lead byte alone at a line's end takes its "\r" as second byte.
    EXPECT_EQ(ProfileText(head + "; \x90\r\n" + tail, 932, true), std::nullopt);
    const SectionChange change{L"\u8a2d\u5b9a", false, {{L"k", L"5"}}};
    const auto holds = [&](const std::string& after) {
        const bool onBytes = HoldsChangeAroundBytes(before, text, change, after, 932);
        // Never more lenient than the check of the whole text.
        const std::optional<std::wstring> afterText = ProfileText(after, 932, false);
        EXPECT_TRUE(!onBytes || (afterText && HoldsChange(text, change, *afterText))) << after;
        return onBytes;
    };
    EXPECT_TRUE(holds(head + section + "k=5\r\nj=3\r\n" + tail));
    EXPECT_TRUE(holds(head + section + "j=3\r\nk=5\r\n" + tail));
    EXPECT_FALSE(holds(head + section + "k=6\r\nj=3\r\n" + tail));  // not the value written
    EXPECT_FALSE(holds(head + section + "k=5\r\n" + tail));         // a line of it gone
    EXPECT_FALSE(holds(head + section + "k=5\r\nj=3\r\nx=0\r\n" + tail));
    EXPECT_FALSE(holds(head + "[b]\r\nk=5\r\nj=3\r\n" + tail));  // another section
    EXPECT_FALSE(holds("[a]\r\nk=0\r\n" + section + "k=5\r\nj=3\r\n" + tail));
    EXPECT_FALSE(holds(head + section + "k=5\r\nj=3\r\n"));  // cut short
    // A lead byte at the section's end takes the next section's "[" as its second byte.
    EXPECT_FALSE(holds(head + section + "k=5\r\nj=3\r\n\x90" + tail));
    EXPECT_FALSE(holds("\xEF\xBB\xBF" + head + section + "k=5\r\nj=3\r\n" + tail));
}

TEST(GeometryReadoutText, ThreeLinesWithoutHeightOrFinalBreak) {
    EXPECT_EQ(GeometryReadout({497, 114, 244, 157}), "pos_x=497\r\npos_y=114\r\nwidth=244");
    EXPECT_EQ(GeometryReadout({-8, -32768, 0, 1}), "pos_x=-8\r\npos_y=-32768\r\nwidth=0");
    EXPECT_EQ(GeometryReadout({INT_MIN, INT_MAX, INT_MIN, 0}),
              "pos_x=-2147483648\r\npos_y=2147483647\r\nwidth=-2147483648");
    EXPECT_EQ(GeometryReadout({1, 2, 3, 4}), GeometryReadout({1, 2, 3, 999}));
}

}  // namespace
}  // namespace pelmora
