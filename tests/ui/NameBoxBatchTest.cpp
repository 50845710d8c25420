// The name box taking a whole list of names at once: the same items in the same order as one at
// a time, and a drop-down list that has caught up with them when it opens.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "NameBox.h"
#include "UiTestSupport.h"
#include "WindowText.h"

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

    static std::vector<std::string> Items(HWND combo) { return test::ComboItems(combo); }

    HWND parent = nullptr;
    HWND batch = nullptr;
    HWND single = nullptr;
};

TEST_F(NameBoxBatchTest, TakesTheNamesInOrderAsOneAtATimeWould) {
    // Unsorted, duplicates kept, case kept, double-byte names, after an item already there.
    const std::vector<std::string> names = {"Zeta", "alpha", "Alpha",    "\x90\xdd\x92\xe8",
                                            "zeta", "Zeta",  " blanks ", "a"};
    NameBoxControl batchBox(batch), singleBox(single);
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
    NameBoxControl box(batch);
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

// Everything of a name box that emptying and refilling it sets: the items, the selected one,
// the current one and the one on top of the drop-down list, and the edit text.
struct BoxState {
    std::vector<std::string> items;
    LRESULT selected, current, top;
    std::string text;
    friend bool operator==(const BoxState&, const BoxState&) = default;
};

BoxState StateOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    return {test::ComboItems(combo), SendMessageW(combo, CB_GETCURSEL, 0, 0),
            SendMessageW(info.hwndList, LB_GETCARETINDEX, 0, 0),
            SendMessageW(info.hwndList, LB_GETTOPINDEX, 0, 0), WindowTextA(combo)};
}

TEST_F(NameBoxBatchTest, ReplacingTheItemsLeavesTheBoxAsEmptyingAndRefillingWould) {
    std::vector<std::string> base;
    for (int i = 0; i < 300; ++i) base.push_back("\x90\xdd\x92\xe8" + std::to_string(i));
    auto with = [&](auto change) {
        std::vector<std::string> names = base;
        change(names);
        return names;
    };
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"the same names", base},
        {"one appended", with([](auto& n) { n.push_back("new one"); })},
        {"one deleted in the middle", with([](auto& n) { n.erase(n.begin() + 150); })},
        {"one put in front", with([](auto& n) { n.insert(n.begin(), "first"); })},
        {"one renamed, case only", with([](auto& n) { n[7] = "LAYOUT"; })},
        {"the last one deleted", with([](auto& n) { n.pop_back(); })},
        {"many changed", with([](auto& n) { n.erase(n.begin() + 10, n.begin() + 200); })},
        {"all gone", {}},
        {"a duplicate appended", with([](auto& n) { n.push_back(n.back()); })},
    };
    NameBoxControl replaced(batch), rebuilt(single);
    for (const auto& [what, names] : cases) {
        SCOPED_TRACE(what);
        for (auto* box : {&replaced, &rebuilt}) {
            box->ClearItems();
            box->AddItems(base);
            box->SetItemIndex(250);  // selected, current and scrolled to, as the user left it
            box->SetText("typed");
        }
        replaced.ReplaceItems(names);
        rebuilt.ClearItems();
        rebuilt.AddItems(names);
        EXPECT_EQ(StateOf(batch), StateOf(single));
        EXPECT_EQ(Items(batch), names);
    }
}

TEST_F(NameBoxBatchTest, ReplacingTheItemsBuildsTheListAnewWhenItWasChangedBehindTheBox) {
    NameBoxControl box(batch);
    box.AddItems({"a", "b", "c"});
    SendMessageA(batch, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("stranger"));
    box.ReplaceItems({"a", "b", "c", "d"});
    EXPECT_EQ(Items(batch), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
}  // namespace pelmora::ui
