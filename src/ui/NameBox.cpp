#include "NameBox.h"

#include <algorithm>

#include "Errors.h"

namespace pelmora::ui {
namespace {

std::wstring WindowTextW(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::wstring ItemTextW(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

struct ComboParts {
    HWND edit = nullptr;
    HWND list = nullptr;
};

ComboParts PartsOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info)) return {};
    return {info.hwndItem, info.hwndList};
}

}  // namespace

std::string WindowTextA(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::string ComboNameBox::Text() const {
    return WindowTextA(combo_);
}

void ComboNameBox::SetText(const std::string& text) {
    if (Text() == text) return;
    SetWindowTextA(combo_, text.c_str());
}

void ComboNameBox::ClearItems() {
    // Emptying the list empties the edit field too: the text is put back.
    const std::string text = Text();
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    SetText(text);
}

void ComboNameBox::AddItem(const std::string& item) {
    const LRESULT result =
        SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (result == CB_ERR || result == CB_ERRSPACE) throw ENameBoxException();
}

void ComboNameBox::AddItems(const std::vector<std::string>& items) {
    // Straight into the drop-down list, where the combo box puts each item it is given (no
    // sorting, no change of case), with the list's updating of its page and scroll bar off
    // until the last item is in: thousands of names cost one update. The list is closed while
    // a command runs; nothing on the screen changes until it is opened.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    const HWND list = GetComboBoxInfo(combo_, &info) ? info.hwndList : nullptr;
    if (!list) {
        for (const std::string& item : items) AddItem(item);
        return;
    }
    class ListRedrawOff {
      public:
        explicit ListRedrawOff(HWND list) noexcept : list_(list) {
            SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        }
        ~ListRedrawOff() { SendMessageW(list_, WM_SETREDRAW, TRUE, 0); }
        ListRedrawOff(const ListRedrawOff&) = delete;
        ListRedrawOff& operator=(const ListRedrawOff&) = delete;

      private:
        HWND list_;
    };
    const ListRedrawOff quiet(list);
    for (const std::string& item : items) {
        const LRESULT result =
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (result == LB_ERR || result == LB_ERRSPACE) throw ENameBoxException();
    }
}

int ComboNameBox::FindExact(const std::string& text) const {
    const LRESULT index = SendMessageA(combo_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboNameBox::SetItemIndex(int index) {
    if (SendMessageA(combo_, CB_GETCURSEL, 0, 0) == index) return;
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MemoReadout::SetText(const std::string& text) {
    if (WindowTextA(memo_) == text) return;
    SetWindowTextA(memo_, text.c_str());
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

    const LRESULT index = SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(typed.c_str()));
    if (index == CB_ERR) return false;

    const std::wstring item = ItemTextW(combo, static_cast<int>(index));
    const std::wstring completed = typed + item.substr(std::min(typed.size(), item.size()));
    // A new edit text makes the combo box drop its selection; the item is selected after it,
    // in the list itself, so that the edit text stays as completed.
    SetWindowTextW(parts.edit, completed.c_str());
    SendMessageW(parts.list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(parts.edit, EM_SETSEL, typed.size(), completed.size());
    return true;
}

void ClearItemSelection(HWND combo) {
    const ComboParts parts = PartsOf(combo);
    if (parts.list) SendMessageW(parts.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace pelmora::ui
