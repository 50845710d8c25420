// The name box taking a whole list of names at once: the same items in the same order as one at
// a time, and a drop-down list that has caught up with them when it opens.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "NameBox.h"
#include "UiTestSupport.h"

namespace pelmora::ui {
namespace {

using test::Pump;

class NameBoxBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        for (HWND* combo : {&batch, &single}) {
            *combo = CreateWindowExW(
                0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, 8, 8, 233,
                20 + 8 * 16, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
            ASSERT_NE(*combo, nullptr);
        }
    }
    void TearDown() override { DestroyWindow(parent); }

    static std::vector<std::string> Items(HWND combo) {
        std::vector<std::string> items;
        const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::string text(
                static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
            text.resize(static_cast<std::size_t>(
                SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            items.push_back(text);
        }
        return items;
    }

    HWND parent = nullptr;
    HWND batch = nullptr;
    HWND single = nullptr;
};

TEST_F(NameBoxBatchTest, TakesTheNamesInOrderAsOneAtATimeWould) {
    // Unsorted, duplicates kept, case kept, double-byte names, after an item already there.
    const std::vector<std::string> names = {"Zeta", "alpha", "Alpha",    "\x90\xdd\x92\xe8",
                                            "zeta", "Zeta",  " blanks ", "a"};
    ComboNameBox batchBox(batch), singleBox(single);
    batchBox.AddItem("first");
    singleBox.AddItem("first");
    batchBox.AddItems(names);
    for (const std::string& name : names) singleBox.AddItem(name);

    EXPECT_EQ(Items(batch), Items(single));
    ASSERT_EQ(Items(batch).size(), names.size() + 1);
    EXPECT_EQ(Items(batch)[4], "\x90\xdd\x92\xe8");
    EXPECT_EQ(batchBox.FindExact("ZETA"), singleBox.FindExact("ZETA"));
    EXPECT_EQ(batchBox.FindExact(" blanks "), 7);
    batchBox.AddItems({});
    EXPECT_EQ(Items(batch).size(), names.size() + 1);
}

TEST_F(NameBoxBatchTest, DropDownListHasCaughtUpWhenItOpens) {
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i) names.push_back("setting" + std::to_string(i));
    ComboNameBox box(batch);
    box.AddItems(names);
    box.AddItem("one more");  // one at a time again afterwards: the list updates as usual

    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(batch, &info));
    SendMessageW(batch, CB_SHOWDROPDOWN, TRUE, 0);
    Pump(20);
    ASSERT_TRUE(IsWindowVisible(info.hwndList));
    // The scroll bar spans every item, and the list pages through them from the top.
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(info.hwndList, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMax - scroll.nMin + 1, 501);
    EXPECT_EQ(scroll.nPos, 0);
    EXPECT_EQ(SendMessageW(info.hwndList, LB_GETTOPINDEX, 0, 0), 0);
    SendMessageW(info.hwndList, LB_SETTOPINDEX, 500, 0);
    EXPECT_GT(SendMessageW(info.hwndList, LB_GETTOPINDEX, 0, 0), 400);
    SendMessageW(batch, CB_SHOWDROPDOWN, FALSE, 0);
    Pump(20);
}

}  // namespace
}  // namespace pelmora::ui
