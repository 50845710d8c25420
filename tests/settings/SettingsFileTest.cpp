// The settings file over the real profile functions, on real files in a temporary folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace pelmora {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Names = std::vector<std::string>;

class SettingsFileTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.File("pelmora.ini");

    Names ListNames() {
        const SettingsFile file(path);
        Names names{"stale"};
        file.ListSectionNames(names);
        return names;
    }
};

TEST_F(SettingsFileTest, MissingEmptyAndSectionlessFilesListNothingAndReadDefaults) {
    EXPECT_EQ(ListNames(), Names{});
    EXPECT_EQ(SettingsFile(path).ReadIntValue("A", "pos_x", 50), 50);
    EXPECT_FALSE(test::FileExists(path)) << "reading must not create the file";

    for (const char* content : {"", "pos_x=3\r\n", "; only a comment\r\n"}) {
        WriteBytes(path, content);
        EXPECT_EQ(ListNames(), Names{}) << content;
        EXPECT_EQ(SettingsFile(path).ReadIntValue("A", "pos_x", 50), 50) << content;
    }
}

TEST_F(SettingsFileTest, WritesFourKeysInOrderAndReadsThemBack) {
    {
        SettingsFile file(path);
        file.WriteIntValue("A", "pos_x", 497);
        file.WriteIntValue("A", "pos_y", 114);
        file.WriteIntValue("A", "width", 244);
        file.WriteIntValue("A", "height", 157);
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "[A]\r\npos_x=497\r\npos_y=114\r\nwidth=244\r\nheight=157\r\n");

    const SettingsFile file(path);
    EXPECT_EQ(file.ReadIntValue("A", "pos_x", 50), 497);
    EXPECT_EQ(file.ReadIntValue("A", "height", 50), 157);
    EXPECT_EQ(file.ReadIntValue("A", "missing", 50), 50);
    EXPECT_EQ(file.ReadIntValue("B", "pos_x", 50), 50);
}

TEST_F(SettingsFileTest, NegativeAndExtremeValuesRoundTrip) {
    SettingsFile file(path);
    file.WriteIntValue("neg", "pos_x", -8);
    file.WriteIntValue("neg", "pos_y", INT32_MIN);
    file.WriteIntValue("neg", "width", INT32_MAX);
    file.Commit();
    EXPECT_NE(ReadBytes(path).find("pos_x=-8\r\n"), std::string::npos);
    EXPECT_EQ(file.ReadIntValue("neg", "pos_x", 50), -8);
    EXPECT_EQ(file.ReadIntValue("neg", "pos_y", 50), INT32_MIN);
    EXPECT_EQ(file.ReadIntValue("neg", "width", 50), INT32_MAX);
}

TEST_F(SettingsFileTest, ValueTextGoesThroughTheIntegerSyntax) {
    WriteBytes(path,
               "[S]\r\nhex=0x1F4\r\ndollar=$1F4\r\nx=x1f4\r\nneg=-0x10\r\nbad=1 2\r\n"
               "big=2147483648\r\nmin=-2147483648\r\nempty=\r\nword=abc\r\n");
    const SettingsFile file(path);
    EXPECT_EQ(file.ReadIntValue("S", "hex", 50), 500);
    EXPECT_EQ(file.ReadIntValue("S", "dollar", 50), 500);
    EXPECT_EQ(file.ReadIntValue("S", "x", 50), 500);
    EXPECT_EQ(file.ReadIntValue("S", "neg", 50), -16);
    EXPECT_EQ(file.ReadIntValue("S", "bad", 50), 50);
    EXPECT_EQ(file.ReadIntValue("S", "big", 50), 50);
    EXPECT_EQ(file.ReadIntValue("S", "min", 50), INT32_MIN);
    EXPECT_EQ(file.ReadIntValue("S", "empty", 50), 50);
    EXPECT_EQ(file.ReadIntValue("S", "word", 7), 7);
}

TEST_F(SettingsFileTest, LongValuesAreConvertedWholeNeverCutIntoAnotherNumber) {
    WriteBytes(path, "[S]\r\nlong=" + std::string(5000, '1') + "\r\nzeros=" +
                         std::string(3000, '0') + "7\r\nedge=" + std::string(2046, '0') +
                         "9\r\nhuge=" + std::string(2 * 1024 * 1024, '0') + "1\r\n");
    const SettingsFile file(path);
    EXPECT_EQ(file.ReadIntValue("S", "long", 50), 50);  // out of range
    EXPECT_EQ(file.ReadIntValue("S", "zeros", 50), 7);  // not 0 from the first 2,047 zeros
    EXPECT_EQ(file.ReadIntValue("S", "edge", 50), 9);   // exactly fills the first buffer
    EXPECT_EQ(file.ReadIntValue("S", "huge", 50), 50);  // past any sensible length
}

TEST_F(SettingsFileTest, ListsSectionsInFileOrderWithDuplicatesAndKeylessOnes) {
    WriteBytes(path, "[b]\r\nk=1\r\n[A]\r\n[c]\r\nx=y\r\n[b]\r\nk=2\r\n");
    EXPECT_EQ(ListNames(), (Names{"b", "A", "c", "b"}));
}

// A file in UTF-16 or UTF-8 holds names that code page 932 cannot: through the ANSI functions
// they came as look-alikes ("naïve" and "Café" as "naive" and "Cafe", Hangul as "?", an emoji as
// "??"), two items for two sections under one name, the first of which reached the other. Such
// names are left out; every listed name reads its own section.
TEST_F(SettingsFileTest, ListsOnlyNamesTheCodePageHoldsExactlyFromAUnicodeFile) {
    ASSERT_EQ(GetACP(), 932u) << "the names are Shift-JIS";
    const std::wstring names[] = {L"na\x00EFve",
                                  L"naive",
                                  L"Caf\x00E9",
                                  L"Cafe",
                                  L"\xD55C",
                                  L"\xD83D\xDE00",
                                  L"?",
                                  L"\x8868\x793A",
                                  L"\x03A9"
                                  L"A"};
    std::wstring text = L"\xFEFF";
    for (std::size_t i = 0; i < std::size(names); ++i) {
        text += L"[" + names[i] + L"]\r\npos_x=" + std::to_wstring(i) + L"\r\n";
    }
    const Names expected = {"naive", "Cafe", "?", test::Bytes({0x95, 0x5C, 0x8E, 0xA6}),
                            test::Bytes({0x83, 0xB6, 'A'})};
    const std::vector<int> sections = {1, 3, 6, 7, 8};

    for (const char* encoding : {"UTF-16LE", "UTF-16BE", "UTF-8"}) {
        SCOPED_TRACE(encoding);
        std::string bytes;
        if (encoding == std::string("UTF-8")) {
            bytes.resize(text.size() * 3);
            bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                             nullptr));
        } else {
            const bool big = encoding == std::string("UTF-16BE");
            for (wchar_t c : text) {
                bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
                bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
            }
        }
        WriteBytes(path, bytes);
        const Names listed = ListNames();
        EXPECT_EQ(listed, expected);
        const SettingsFile file(path);
        for (std::size_t i = 0; i < listed.size() && i < sections.size(); ++i) {
            EXPECT_EQ(file.ReadIntValue(listed[i], "pos_x", 50), sections[i]) << "item " << i;
        }
        EXPECT_EQ(ReadBytes(path), bytes) << "reading changed the file";
    }
}

TEST_F(SettingsFileTest, ListsEveryNameWholeFarBeyondSixteenKilobytes) {
    std::string content;
    Names expected;
    for (int i = 0; i < 3000; ++i) {
        std::string name = "setting-" + std::to_string(i) + "-" + std::string(i % 17, 'w');
        content += "[" + name + "]\r\npos_x=" + std::to_string(i) + "\r\n";
        expected.push_back(name);
    }
    const std::string longName(20000, 'L');  // one name larger than the first buffer by itself
    content += "[" + longName + "]\r\npos_x=1\r\n";
    expected.push_back(longName);
    WriteBytes(path, content);

    const Names names = ListNames();
    std::size_t total = 0;
    for (const auto& n : names) total += n.size() + 1;
    EXPECT_GT(total, 64u * 1024u);
    EXPECT_EQ(names, expected);
}

TEST_F(SettingsFileTest, RemovingASectionKeepsTheOthersAndAMissingOneChangesNothing) {
    WriteBytes(path, "[A]\r\npos_x=1\r\n[B]\r\npos_x=2\r\n[C]\r\npos_x=3\r\n");
    {
        SettingsFile file(path);
        file.RemoveSection("B");
        file.Commit();
    }
    EXPECT_EQ(ListNames(), (Names{"A", "C"}));
    EXPECT_EQ(SettingsFile(path).ReadIntValue("C", "pos_x", 50), 3);

    const std::string before = ReadBytes(path);
    {
        SettingsFile file(path);
        file.RemoveSection("absent");
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(SettingsFileTest, WriteFailureNamesTheFullPath) {
    // As root a read-only file is still written: a folder standing at the path is not.
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    SettingsFile file(path);
    try {
        file.WriteIntValue("A", "pos_x", 1);
        FAIL() << "write into a folder succeeded";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), path + AnsiFromWide(L" に書き込めません"));
    }
    EXPECT_THROW(file.RemoveSection("A"), EIniFileException);
    EXPECT_EQ(ListNames(), Names{});
}

TEST_F(SettingsFileTest, FileIsNotHeldBetweenOperations) {
    SettingsFile file(path);
    file.WriteIntValue("A", "pos_x", 1);
    file.Commit();
    EXPECT_TRUE(test::FileIsReleased(path));
    Names names;
    file.ListSectionNames(names);
    EXPECT_EQ(file.ReadIntValue("A", "pos_x", 50), 1);
    EXPECT_TRUE(test::FileIsReleased(path));
}

TEST(SettingsLocation, IsBesideTheExecutableNamedAfterIt) {
    char exe[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    ASSERT_GT(n, 4u);
    std::string expected(exe, n);
    expected.replace(expected.size() - 4, 4, ".ini");  // the test program ends in ".exe"
    EXPECT_EQ(ModuleSettingsPath(), expected);
}

// The executable's path is used only when the code page gives it exactly, whichever code page:
// 65001 (UTF-8) holds every character, 932 and 1252 hold few, and 1252 would give a look-alike.
TEST(SettingsLocation, NeedsTheExecutablePathExactlyInTheCodePage) {
    const std::wstring hangul = L"C:\\\xC124\xC815\\p.exe";  // "설정"
    EXPECT_EQ(ExecutableSettingsPath(hangul, "C:\\\xEC\x84\xA4\xEC\xA0\x95\\p.exe", 65001),
              "C:\\\xEC\x84\xA4\xEC\xA0\x95\\p.ini");
    EXPECT_THROW(ExecutableSettingsPath(hangul, "C:\\??\\p.exe", 932), ESettingsPathException);
    // "表" ends in the byte of "\\" in 932, and is three bytes in UTF-8, none of them a mark.
    EXPECT_EQ(ExecutableSettingsPath(L"C:\\x.\x8868", "C:\\x.\x95\x5C", 932), "C:\\x.ini");
    EXPECT_EQ(ExecutableSettingsPath(L"C:\\x.\x8868", "C:\\x.\xE8\xA1\xA8", 65001), "C:\\x.ini");
    EXPECT_EQ(ExecutableSettingsPath(L"C:\\caf\xE9\\p.exe", "C:\\caf\xE9\\p.exe", 1252),
              "C:\\caf\xE9\\p.ini");
    // "ā" ends in 0x81 in UTF-8 and "Š" is 0x8A in 1252: in 932 either byte would start a
    // double-byte character and take the "." after it. In their own code page the "." counts.
    EXPECT_EQ(ExecutableSettingsPath(L"C:\\\x0101.exe", "C:\\\xC4\x81.exe", 65001),
              "C:\\\xC4\x81.ini");
    EXPECT_EQ(ExecutableSettingsPath(L"C:\\\x0160.exe", "C:\\\x8A.exe", 1252), "C:\\\x8A.ini");
    EXPECT_THROW(ExecutableSettingsPath(L"C:\\\x0105\\p.exe", "C:\\a\\p.exe", 1252),
                 ESettingsPathException);
    // ANSI text that is not the wide path names another file.
    EXPECT_THROW(ExecutableSettingsPath(L"C:\\a\\p.exe", "C:\\b\\p.exe", 65001),
                 ESettingsPathException);
}

}  // namespace
}  // namespace pelmora
