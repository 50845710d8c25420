// The main window, created for real under Wine: the list of names, the buttons wired to the
// setting commands, names the code page cannot hold, the name box's completion and the readout.
#include <gtest/gtest.h>

#include "MainWindowFixture.h"

namespace pelmora::ui::test_main_window {
namespace {

using test::ReadBytes;
using test::TextOf;
using test::TextOfA;

TEST_F(MainWindowTest, StartUpListsEverySectionInFileOrderWithEmptyTextAndNoSelection) {
    Make("[Z]\r\npos_x=1\r\n[A]\r\n[" + kHyoji + "]\r\nwidth=3\r\n[M]\r\n[a]\r\n");
    EXPECT_EQ(Items(), (std::vector<std::string>{"Z", "A", kHyoji, "M", "a"}));
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), "pos_x=\r\npos_y=\r\nwidth=");
}

// The settings file folds ASCII letters only, where the combo box's own searches fold far more
// ("ΩA" and "ωA", fullwidth "ＡＢ" and "ａｂ", "Ⅰ" and "ⅰ" are one name to them). With a setting
// "ΩA", a Save under "ωA" adds the section "ωA"; the name box must then show "ωA", or Recall and
// Delete, which take its text, reach "ΩA". Completion keeps to the same rule.
TEST_F(MainWindowTest, NameBoxFollowsTheSettingsFileCaseRule) {
    ASSERT_EQ(GetACP(), 932u) << "the names are Shift-JIS";
    const std::string omegaA = Bytes({0x83, 0xB6, 'A'});       // "ΩA"
    const std::string smallOmegaA = Bytes({0x83, 0xD6, 'A'});  // "ωA"
    const std::vector<std::string> names = {"Alpha",
                                            "Beta",
                                            omegaA,
                                            Bytes({0x82, 0x60, 0x82, 0x61}),  // "ＡＢ"
                                            Bytes({0x87, 0x54}),              // "Ⅰ"
                                            Bytes({0x83, 0x41})};             // "ア"
    std::string file;
    for (const std::string& name : names) file += "[" + name + "]\r\npos_x=1\r\n";
    Make(file);
    NameBoxControl& box = mainWindow->NameBox();
    EXPECT_EQ(box.FindExact("ALPHA"), 0);
    EXPECT_EQ(box.FindExact("beta"), 1);
    EXPECT_EQ(box.FindExact(Bytes({0x83, 0xB6, 'a'})), 2);  // "Ωa": the section of "ΩA"
    for (const std::string& other : {smallOmegaA, Bytes({0x82, 0x81, 0x82, 0x82}),
                                     Bytes({0xFA, 0x40}), Bytes({0x83, 0x61}),  // "ⅰ", "ヂ"
                                     std::string("Alp"), std::string("Gamma")}) {
        EXPECT_EQ(box.FindExact(other), -1) << TextOfA(combo);
    }

    box.SetText(smallOmegaA);
    Click(kSaveId);
    std::vector<std::string> withSaved = names;
    withSaved.push_back(smallOmegaA);
    EXPECT_EQ(Items(), withSaved);
    EXPECT_EQ(TextOfA(combo), smallOmegaA);
    EXPECT_EQ(Selected(), 6);
    checker.geometry = {1, 2, 3, 4};
    Click(kRecallId);
    EXPECT_EQ(checker.geometry, (CheckerGeometry{497, 114, 244, 157})) << "the saved values";
    Click(kDeleteId);
    EXPECT_EQ(ReadBytes(path), file) << "the setting just saved goes, and only it";
    EXPECT_EQ(Items(), names);
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);

    Type(L'\x03C9');  // "ω": no item begins with it by the file's rule
    EXPECT_EQ(TextOf(combo), L"\x03C9");
    EXPECT_EQ(Selected(), -1);
    SetWindowTextA(combo, "");
    Type(L'\x03A9');  // "Ω"
    EXPECT_EQ(TextOfA(combo), omegaA);
    EXPECT_EQ(Selected(), 2);

    box.SetItemIndex(1);
    EXPECT_EQ(box.Text(), "Beta");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    box.SetItemIndex(1);  // already selected: untouched
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 3}));

    box.SetText("typed");
    box.ClearItems();
    EXPECT_EQ(box.Text(), "typed");  // the edit text stays
    EXPECT_TRUE(Items().empty());
}

TEST_F(MainWindowTest, ReadoutIsLeftAloneWhenTheTextIsAlreadyThere) {
    Make();
    HWND memo = Control(MainWindow::kReadout);
    mainWindow->ShowCheckerGeometry();
    EXPECT_EQ(TextOfA(memo), "pos_x=497\r\npos_y=114\r\nwidth=244");
    SendMessageW(memo, EM_SETSEL, 2, 5);
    checker.geometry.height = 300;  // the height is not shown: same text
    mainWindow->ShowCheckerGeometry();
    DWORD from = 0, to = 0;
    SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 2u);
    EXPECT_EQ(to, 5u);
    checker.geometry.left = -8;
    mainWindow->ShowCheckerGeometry();
    EXPECT_EQ(TextOfA(memo), "pos_x=-8\r\npos_y=114\r\nwidth=244");
}

TEST_F(MainWindowTest, ButtonsRunSaveRecallAndDelete) {
    Make("[A]\r\npos_x=10\r\npos_y=20\r\nwidth=300\r\nheight=400\r\n[B]\r\n");
    mainWindow->NameBox().SetText("New");
    Click(kSaveId);
    EXPECT_EQ(ReadBytes(path),
              "[A]\r\npos_x=10\r\npos_y=20\r\nwidth=300\r\nheight=400\r\n[B]\r\n"
              "[New]\r\npos_x=497\r\npos_y=114\r\nwidth=244\r\nheight=157\r\n");
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "B", "New"}));
    EXPECT_EQ(Selected(), 2);

    mainWindow->NameBox().SetText("a");
    Click(kRecallId);  // by the file's case rule
    EXPECT_EQ(checker.geometry, (CheckerGeometry{10, 20, 300, 400}));
    EXPECT_EQ(TextOfA(Control(MainWindow::kReadout)), "pos_x=10\r\npos_y=20\r\nwidth=300");

    mainWindow->NameBox().SetText("B");
    Click(kDeleteId);
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "New"}));
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(ReadBytes(path).find("[B]"), std::string::npos);
}

// Typed text with a character that the code page lacks (Hangul: 932 would give "?") names no
// setting: Save and Delete refuse it before the file is touched, Recall reads it as a missing
// setting, and the completion finds no item for it.
TEST_F(MainWindowTest, ANameTheCodePageCannotHoldNamesNoOtherSetting) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run with the Japanese code page";
    const std::string file = "[?a]\r\npos_x=1\r\npos_y=2\r\nwidth=3\r\nheight=4\r\n";
    Make(file);
    static std::vector<std::string> failures;
    failures.clear();
    const FailureHandler previous = SetFailureHandler([](std::exception_ptr failure) noexcept {
        try {
            std::rethrow_exception(failure);
        } catch (const Exception& e) {
            failures.push_back(e.Message());
        } catch (...) {
            failures.push_back("(not a program failure)");
        }
    });
    const std::wstring name =
        L"\xD55C"
        L"a";
    SetWindowTextW(combo, name.c_str());
    Click(kSaveId);
    Click(kDeleteId);
    EXPECT_EQ(ReadBytes(path), file);
    EXPECT_EQ(failures, std::vector<std::string>(2, AnsiFromWide(kNameOutsideCodePage)));
    Click(kRecallId);
    EXPECT_EQ(checker.geometry, (CheckerGeometry{50, 50, 50, 50}));
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(TextOf(combo), name);
    mainWindow->NameBox().ClearItems();  // the edit text is put back as it was
    EXPECT_EQ(TextOf(combo), name);
    SetFailureHandler(previous);

    Make(file);
    Type(name[0]);
    Type(name[1]);
    EXPECT_EQ(TextOf(combo), name);
    EXPECT_EQ(Selected(), -1);
}

TEST_F(MainWindowTest, CompletionSelectsTheFirstItemThatStartsWithTheTypedText) {
    Make("[Beta]\r\n[Alpha]\r\n[alphabet]\r\n[Al]\r\n");
    Type(L'a');
    EXPECT_EQ(TextOfA(combo), "alpha");  // the typed text, then the rest of "Alpha"
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 5}));
    EXPECT_EQ(Selected(), 1);

    Type(L'L');  // the text before the selection plus the character: "aL"
    EXPECT_EQ(TextOfA(combo), "aLpha");
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{2, 5}));
    EXPECT_EQ(Selected(), 1);

    Type(L'x');  // nothing starts with "aLx": typed as usual over the selection
    EXPECT_EQ(TextOfA(combo), "aLx");
    EXPECT_EQ(Selected(), -1);

    Type(VK_BACK);
    EXPECT_EQ(TextOfA(combo), "aL");
    EXPECT_EQ(Selected(), -1);

    Type(L'p');
    EXPECT_EQ(TextOfA(combo), "aLpha");
    EXPECT_EQ(Selected(), 1);
    Type(VK_BACK);  // deletes the selected rest and leaves no item selected
    EXPECT_EQ(TextOfA(combo), "aLp");
    EXPECT_EQ(Selected(), -1);

    // Without a selection the whole text counts, wherever the caret is.
    SetWindowTextA(combo, "Be");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(L't');
    EXPECT_EQ(TextOfA(combo), "Beta");
    EXPECT_EQ(Selected(), 0);
}

TEST_F(MainWindowTest, CompletionTakesADoubleByteCharacterAsAWhole) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run with the Japanese code page";
    Make("[" + kSettei + "]\r\n[" + kHyoji + "]\r\n");
    Type(L'表');
    EXPECT_EQ(TextOfA(combo), kHyoji);
    EXPECT_EQ(EditSelection(), (std::pair<DWORD, DWORD>{1, 2}));
    EXPECT_EQ(Selected(), 1);

    // The same character as the lead and trail byte of an ANSI message. Its trail byte is the
    // byte of "\": it must not be looked up on its own.
    SetWindowTextA(combo, "");
    SendMessageA(edit, WM_CHAR, 0x95, 1);
    SendMessageA(edit, WM_CHAR, 0x5C, 1);
    EXPECT_EQ(TextOfA(combo), kHyoji);
    EXPECT_EQ(Selected(), 1);

    Type(VK_BACK);  // the selected "示"
    Type(VK_BACK);  // "表" as a whole
    EXPECT_EQ(TextOfA(combo), "");
    EXPECT_EQ(Selected(), -1);
}

}  // namespace
}  // namespace pelmora::ui::test_main_window
