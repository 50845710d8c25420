// The final "." of the failure display's text.
#include <gtest/gtest.h>

#include "FailureText.h"
#include "TestSupport.h"

namespace pelmora {
namespace {

using test::Bytes;

std::string Sjis(std::string_view text) {
    return FailureText(text, &IsShiftJisLeadByte);
}

TEST(FailureText, AppendsAfterLettersDigitsAndMarksAboveThePeriod) {
    EXPECT_EQ(Sjis("abc"), "abc.");
    EXPECT_EQ(Sjis("x9"), "x9.");
    EXPECT_EQ(Sjis("C:\\x/"), "C:\\x/.");  // "/" is 0x2F
    EXPECT_EQ(Sjis("path:"), "path:.");
    EXPECT_EQ(Sjis("why?"), "why?.");
    EXPECT_EQ(Sjis("~"), "~.");
    EXPECT_EQ(Sjis("\x7F"), "\x7F.");
    EXPECT_EQ(Sjis("\xA6"), "\xA6.");  // a single-byte katakana
}

TEST(FailureText, NothingAfterThePeriodAndTheCharactersBelowIt) {
    EXPECT_EQ(Sjis(""), "");
    EXPECT_EQ(Sjis("done."), "done.");
    EXPECT_EQ(Sjis("a "), "a ");
    EXPECT_EQ(Sjis("a\r\n"), "a\r\n");
    EXPECT_EQ(Sjis("a\t"), "a\t");
    for (char mark = 0x21; mark <= 0x2D; ++mark) {
        const std::string text = std::string("x") + mark;
        EXPECT_EQ(Sjis(text), text) << "mark 0x" << std::hex << int(mark);
    }
}

TEST(FailureText, DoubleByteCharacterCountsFromItsLeadByte) {
    // "...に書き込めません": the last character is "ん" (0x82 0xF1).
    const std::string message =
        "C:\\a\\pelmora.ini " + Bytes({0x82, 0xC9, 0x8F, 0x91, 0x82, 0xAB, 0x8D, 0x9E, 0x82, 0xDF,
                                       0x82, 0xDC, 0x82, 0xB9, 0x82, 0xF1});
    EXPECT_EQ(Sjis(message), message + ".");
    // "表" (0x95 0x5C) ends in the byte of "\": still one character, and it gets the period.
    EXPECT_EQ(Sjis(Bytes({0x95, 0x5C})), Bytes({0x95, 0x5C, '.'}));
}

TEST(FailureText, TrailByteIsNeverReadAsACharacterOfItsOwn) {
    // A lead byte followed by "." is one character in a double-byte code page: its first byte
    // sorts after ".", so the period is appended. Read byte by byte, the text ends in ".".
    const std::string text = "abc" + Bytes({0x81, '.'});
    EXPECT_EQ(FailureText(text, &IsShiftJisLeadByte), text + ".");
    EXPECT_EQ(FailureText(text, &IsSingleByteCodePage), text);
    // The walk starts at the beginning: a trail byte that looks like a lead byte does not
    // swallow what follows it (0x81 0x81 is one character, then " " is the last one).
    const std::string pair = Bytes({0x81, 0x81, ' '});
    EXPECT_EQ(FailureText(pair, &IsShiftJisLeadByte), pair);
}

TEST(FailureText, LoneLeadByteAtTheEndIsTheLastCharacter) {
    const std::string text = "ab" + Bytes({0x82});
    EXPECT_EQ(Sjis(text), text + ".");
}

}  // namespace
}  // namespace pelmora
