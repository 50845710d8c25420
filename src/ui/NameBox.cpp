#include "NameBox.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "CodePageText.h"
#include "Errors.h"
#include "ScopeExit.h"
#include "SectionNameRule.h"
#include "WindowText.h"

namespace pelmora::ui {
namespace {

std::wstring ItemTextW(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

struct FoundItem {
    int index;
    std::wstring text;
};

// The first item from the top that begins with a name that the settings file takes for
// `typed`, or nothing. The combo box's own prefix search folds far more letters than the file
// does: each item it finds is checked by the file's rule, and the search goes on below it.
std::optional<FoundItem> FirstItemStartingWith(HWND combo, const std::wstring& typed) {
    const auto search = [&](LRESULT after) {
        return SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(after),
                            reinterpret_cast<LPARAM>(typed.c_str()));
    };
    LRESULT previous = -1;
    // The search goes round to the top after the last item: an index not below the one before
    // ends it.
    for (LRESULT index = search(-1); index != CB_ERR && index > previous; index = search(index)) {
        std::wstring item = ItemTextW(combo, static_cast<int>(index));
        if (StartsWithSectionName(item, typed)) {
            return FoundItem{static_cast<int>(index), std::move(item)};
        }
        previous = index;
    }
    return std::nullopt;
}

}  // namespace

ComboParts PartsOf(HWND combo) noexcept {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info)) return {};
    return {info.hwndItem, info.hwndList};
}

std::optional<std::string> NameBoxControl::Text() const {
    return ExactlyInCodePage(WindowTextW(combo_), GetACP());
}

void NameBoxControl::SetText(const std::string& text) {
    if (Text() == text) return;
    SetWindowTextA(combo_, text.c_str());
}

void NameBoxControl::ClearItems() {
    // Emptying the list empties the edit field too: the text is put back as it was, also what
    // the code page cannot hold.
    const std::wstring text = WindowTextW(combo_);
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    shown_.clear();
    if (WindowTextW(combo_) != text) SetWindowTextW(combo_, text.c_str());
}

void NameBoxControl::AddItem(const std::string& item) {
    const LRESULT result =
        SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (result == CB_ERR || result == CB_ERRSPACE) throw ENameBoxException();
    shown_.push_back(item);
}

HWND NameBoxControl::List() const noexcept {
    return PartsOf(combo_).list;
}

namespace {

// The drop-down list's updating of its page and scroll bar, off until the guard goes.
auto ListRedrawOff(HWND list) noexcept {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    return ScopeExit([list] { SendMessageW(list, WM_SETREDRAW, TRUE, 0); });
}

bool Failed(LRESULT result) noexcept {
    return result == LB_ERR || result == LB_ERRSPACE;
}

}  // namespace

void NameBoxControl::AddItems(const std::vector<std::string>& items) {
    // Straight into the drop-down list, where the combo box puts each item it is given (no
    // sorting, no change of case), with the list's updating of its page and scroll bar off
    // until the last item is in: thousands of names cost one update. The list is closed while
    // a command runs; nothing on the screen changes until it is opened.
    const HWND list = List();
    if (!list) {
        for (const std::string& item : items) AddItem(item);
        return;
    }
    const auto quiet = ListRedrawOff(list);
    for (const std::string& item : items) {
        if (Failed(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())))) {
            throw ENameBoxException();
        }
        shown_.push_back(item);
    }
}

void NameBoxControl::ReplaceItems(const std::vector<std::string>& items) {
    const HWND list = List();
    if (!list || !ReplaceChangedItems(list, items)) {
        ClearItems();
        AddItems(items);
    }
}

bool NameBoxControl::ReplaceChangedItems(HWND list, const std::vector<std::string>& items) {
    // Only this box changes the list; should the count say otherwise, it is built anew.
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(shown_.size())) return false;

    // The run that differs, between what stays the same at the start and at the end.
    const std::size_t common = std::min(shown_.size(), items.size());
    std::size_t head = 0;
    while (head < common && shown_[head] == items[head]) ++head;
    std::size_t tail = 0;
    while (tail < common - head &&
           shown_[shown_.size() - 1 - tail] == items[items.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t removed = shown_.size() - head - tail;
    const std::size_t added = items.size() - head - tail;
    // Each item removed or inserted moves the rest of the list: many are cheaper built anew.
    constexpr std::size_t kMostChanged = 64;
    if (removed + added > kMostChanged) return false;

    {
        const auto quiet = ListRedrawOff(list);
        for (std::size_t k = removed; k > 0; --k) {
            const std::size_t index = head + k - 1;
            if (Failed(SendMessageA(list, LB_DELETESTRING, index, 0))) return false;
            shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(index));
        }
        for (std::size_t k = 0; k < added; ++k) {
            const std::string& item = items[head + k];
            const std::size_t index = head + k;
            if (Failed(SendMessageA(list, LB_INSERTSTRING, index,
                                    reinterpret_cast<LPARAM>(item.c_str())))) {
                return false;
            }
            shown_.insert(shown_.begin() + static_cast<std::ptrdiff_t>(index), item);
        }
    }
    // What emptying and refilling leaves: no item selected, the first item current and on top.
    // The edit text is not touched.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(list, LB_SETCARETINDEX, 0, 0);
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    return true;
}

int NameBoxControl::FindExact(const std::string& text) const {
    // By the settings file's rule, not the combo box's exact search, which folds far more
    // letters ("ΩA" and "ωA" are one name to it and two sections to the file). The items are
    // searched as this box put them; should the list hold others, no item is found.
    if (SendMessageA(combo_, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(shown_.size())) return -1;
    return FindSectionItem(shown_, text, GetACP());
}

void NameBoxControl::SetItemIndex(int index) {
    if (SendMessageA(combo_, CB_GETCURSEL, 0, 0) == index) return;
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ReadoutControl::SetText(const std::string& text) {
    pending_ = text;
    write_.Request(edit_);
}

bool ReadoutControl::BeforeEditMessage(UINT message) {
    if (message == kReadoutWriteMessage) {
        write_.MarkArrived();
        Write();
        return true;
    }
    if (message != WM_DESTROY) Write();
    return false;
}

void ReadoutControl::Write() {
    if (!write_.Requested()) return;
    // Done first: reading the control's text below comes back through BeforeEditMessage.
    write_.Done();
    if (WindowTextA(edit_) == pending_) return;
    SetWindowTextA(edit_, pending_.c_str());
}

bool CompleteTypedCharacter(HWND combo, wchar_t character) {
    const ComboParts parts = PartsOf(combo);
    if (!parts.edit) return false;

    const std::wstring text = WindowTextW(parts.edit);
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(parts.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const std::size_t from = std::min<std::size_t>({selStart, selEnd, text.size()});
    const std::size_t to = std::min<std::size_t>(std::max(selStart, selEnd), text.size());

    std::wstring typed = from != to ? text.substr(0, from) : text;
    typed += character;

    const std::optional<FoundItem> found = FirstItemStartingWith(combo, typed);
    if (!found) return false;

    const std::wstring& item = found->text;
    const std::wstring completed = typed + item.substr(std::min(typed.size(), item.size()));
    // A new edit text makes the combo box drop its selection; the item is selected after it,
    // in the list itself, so that the edit text stays as completed.
    SetWindowTextW(parts.edit, completed.c_str());
    SendMessageW(parts.list, LB_SETCURSEL, static_cast<WPARAM>(found->index), 0);
    SendMessageW(parts.edit, EM_SETSEL, typed.size(), completed.size());
    return true;
}

void ClearItemSelection(HWND combo) {
    const ComboParts parts = PartsOf(combo);
    if (parts.list) SendMessageW(parts.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace pelmora::ui
