// The way of a Save or Delete into the settings file: a file that the profile functions would
// change elsewhere is refused before any write, and a command holds the settings lock once.
// (A disk that cannot take the file: write_limit_check.py.)
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "Errors.h"
#include "HardeningSupport.h"
#include "SettingsLock.h"
#include "TestSupport.h"

namespace pelmora::hardening {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

constexpr CheckerGeometry kNew{10, 20, 30, 40};
constexpr DWORD kWaitMs = 60000;

std::string Utf16LittleEndian(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// The files in `folder` besides `name`.
Names OtherFiles(const test::TempFolder& folder, const std::string& name) {
    Names found;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA(folder.File("*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return found;
    do {
        const std::string file = entry.cFileName;
        if (file != "." && file != ".." && file != name) found.push_back(file);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// Files that the profile functions, which decode the whole file and encode it again on every
// write, would not write back as the same bytes. Reading them goes on as before; a Save or
// Delete would change a part that it does not touch, and is refused with nothing written.
TEST(WritePathTest, AFileThatWouldNotBeWrittenBackUnchangedIsRefusedBeforeAnyWrite) {
    ++RunFigures().faults;
    test::TempFolder folder;
    const std::string path = folder.File("pelmora.ini");
    const std::string refused =
        AnsiFromWide(
            L"設定ファイルに元のとおりには書き戻せない部分があるため、ほかの部分を"
            L"変えずに書き換えることはできません。何も書き込んでいません: ") +
        path +
        AnsiFromWide(
            L"\nテキスト エディターで文字コードを Shift-JIS (ANSI) か Unicode (UTF-16) "
            L"にして保存し直せば、設定を変更できます");
    const std::string utf8A = "\xE3\x81\x82";  // "あ" in UTF-8, not text of code page 932
    const struct {
        const char* label;
        std::string bytes;
    } unrewritable[] = {
        {"UTF-8 without a byte-order mark",
         "; " + utf8A + "\r\n[A]\r\npos_x=1\r\n[" + utf8A + "]\r\npos_x=2\r\n"},
        // NEC-selected IBM extension: the same character as 0xFA5C, written back as that.
        {"a character with two encodings in the code page", "; \xED\x40\r\n[A]\r\npos_x=1\r\n"},
        {"UTF-16 with an odd last byte", Utf16LittleEndian(L"\xFEFF[A]\r\npos_x=1\r\n") + "x"},
        {"UTF-16 with a lone surrogate",
         Utf16LittleEndian(L"\xFEFF; \xD800\r\n[A]\r\npos_x=1\r\n")},
        {"a NUL in a comment", "; a\0b\r\n[A]\r\npos_x=1\r\n"s},
    };
    for (const auto& file : unrewritable) {
        SCOPED_TRACE(file.label);
        test::WriteBytes(path, file.bytes);
        const FileView view = ViewThroughProfile(path);
        Program program(path);
        for (const char* command : {"Save", "Delete"}) {
            try {
                if (command == "Save"s) program.Save("B", kNew);
                if (command == "Delete"s) program.Delete("A");
                ADD_FAILURE() << command << " went on";
            } catch (const EUnrewritableFileException& e) {
                EXPECT_EQ(e.Message(), refused) << command;
            }
            EXPECT_EQ(test::ReadBytes(path), file.bytes) << command;
            EXPECT_EQ(OtherFiles(folder, "pelmora.ini"), Names{}) << command;
        }
        EXPECT_EQ(program.List(), NamesOf(view));
        EXPECT_EQ(program.Recall("A").left, 1);
    }

    // The same text in an encoding that holds it: rewritten, its bytes kept.
    const std::string sjisA = test::Bytes({0x82, 0xA0});  // "あ" in code page 932
    for (const std::string& bytes :
         {"\xEF\xBB\xBF; " + utf8A + "\r\n[A]\r\npos_x=1\r\n[" + utf8A + "]\r\npos_x=2\r\n",
          "; " + sjisA + "\r\n[A]\r\npos_x=1\r\n[" + sjisA + "]\r\npos_x=2\r\n"}) {
        SCOPED_TRACE(Printable(bytes));
        test::WriteBytes(path, bytes);
        Program program(path);
        program.Save("B", kNew);
        EXPECT_EQ(test::ReadBytes(path).substr(0, bytes.size()), bytes);
        EXPECT_EQ(program.Recall("B"), kNew);
        program.Delete("B");
        EXPECT_EQ(test::ReadBytes(path), bytes);
        EXPECT_EQ(OtherFiles(folder, "pelmora.ini"), Names{});
    }
}

// The copy beside the file on which a command writes, when it cannot be made and cannot be
// removed either (someone holds a file of its name): the failure says so, naming it, and the
// settings file is as it was.
TEST(WritePathTest, ACopyThatCannotBeRemovedIsNamedInTheFailure) {
    ++RunFigures().faults;
    test::TempFolder folder;
    const std::string path = folder.File("pelmora.ini");
    const std::string start = "[keep]\r\npos_x=1\r\n";
    test::WriteBytes(path, start);
    const std::string copy = folder.File("pelmora.in~");
    const Handle held =
        OwnKernelHandle(CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    Program program(path);
    try {
        program.Save("B", kNew);
        ADD_FAILURE() << "the Save went on";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), path + AnsiFromWide(L" に書き込めません. 作業用のコピー ") + copy +
                                   AnsiFromWide(L" を削除できません"));
    }
    EXPECT_EQ(test::ReadBytes(path), start);
}

// Another copy's command that starts while a Save holds the settings lock comes after the
// whole Save: not between its writes and its reading of the list, where, holding the lock past
// the Save's limit, it made the successful Save fail for the lock and left the list stale.
TEST(WritePathTest, ACommandHoldsTheSettingsLockOnceFromItsFirstAccessToItsLast) {
    ++RunFigures().faults;
    test::TempFolder folder;
    const std::string path = folder.File("pelmora.ini");
    test::WriteBytes(path, "[keep]\r\npos_x=1\r\n");
    const Handle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const Handle windowMade(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const Handle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> otherWindow{nullptr};
    std::atomic<bool> otherHeld{false};
    // The other copy's command, once told to start: a window that answers only while it waits
    // for the lock, then the lock, held until the test lets go.
    std::thread other([&] {
        const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                            nullptr, nullptr, nullptr);
        otherWindow = window;
        SetEvent(windowMade.get());
        WaitForSingleObject(go.get(), kWaitMs);
        {
            const SettingsLock lock(kWaitMs);
            otherHeld = lock.Held();
            WaitForSingleObject(release.get(), kWaitMs);
        }
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(windowMade.get(), kWaitMs), WAIT_OBJECT_0);
    ASSERT_NE(otherWindow.load(), nullptr);

    // The other command comes while the Save is in the middle of its writes.
    constexpr DWORD kLimit = 300;
    Program program(path, kLimit);
    program.checker.beforeRead = [&](int reads) {
        if (reads != 2) return;
        SetEvent(go.get());
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(otherWindow, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer))
            << "the other command did not wait for the lock";
    };
    try {
        program.Save("saved", kNew);
    } catch (const Exception& e) {
        ADD_FAILURE() << "the Save failed: " << Printable(e.Message());
    }
    EXPECT_EQ(program.box.items, (Names{"keep", "saved"})) << "the list shows the saved name";
    EXPECT_EQ(program.box.text, "saved");
    SetEvent(release.get());
    other.join();
    EXPECT_TRUE(otherHeld) << "the other command had the lock after the Save";
    EXPECT_EQ(program.Recall("saved"), kNew);
}

}  // namespace
}  // namespace pelmora::hardening
