// The main window's controls as the setting commands see them: the name box over an editable
// drop-down combo box, the readout area over a multi-line edit, and the name box's automatic
// completion.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ControlIds.h"
#include "PostedRequest.h"
#include "SettingCommands.h"

namespace pelmora::ui {

// The name box. Setting names are 8-bit ANSI text; the combo box is reached through the ANSI
// messages, so the system converts them in its code page. Its edit text is read as wide text and
// converted without best fit: typed characters that the code page lacks make no name. Searches
// follow the settings file's rule for section names (SectionNameRule.h): the item found names
// the section that a command on the searched text reaches.
class NameBoxControl : public INameBox {
  public:
    explicit NameBoxControl(HWND combo = nullptr) noexcept : combo_(combo) {}
    void Attach(HWND combo) noexcept {
        combo_ = combo;
        shown_.clear();
    }

    std::optional<std::string> Text() const override;
    void SetText(const std::string& text) override;
    void ClearItems() override;
    void AddItem(const std::string& item) override;  // throws ENameBoxException
    // Appends straight into the drop-down list with its updating off until the last item:
    // thousands of names at the cost of one update. Throws ENameBoxException as AddItem; the
    // items before the failure stay.
    void AddItems(const std::vector<std::string>& items) override;
    // Leaves the list as emptying and refilling it would (no item selected, the list at its
    // top, the edit text as it was), but touches only the items that differ when few do: a
    // list of thousands of names that gained, lost or kept one is not built anew.
    void ReplaceItems(const std::vector<std::string>& items) override;
    // The first item equal to `text` byte for byte, else the first that the settings file takes
    // for the same section; -1 when none.
    int FindExact(const std::string& text) const override;
    void SetItemIndex(int index) override;

  private:
    HWND List() const noexcept;
    bool ReplaceChangedItems(HWND list, const std::vector<std::string>& items);

    HWND combo_;
    std::vector<std::string> shown_;  // the items as this box put them into the list
};

// The readout area: only ever replaced as a whole, and left alone when the text is there.
//
// A new text is kept and written into the edit control once, when the control is next looked at:
// before the control handles any message of its own (a read of its text, a paint, a key, ...)
// and at the latest when the message queue comes to the message that SetText posts to it.
// Posted messages come before painting, so the screen shows every geometry the program has seen
// when it next draws, and anyone who reads the control reads the newest text; a run of moves
// handled in one go (a drag, a recall, a move by another program) costs one write instead of one
// per move. The control's procedure must hand every message to BeforeEditMessage first.
class ReadoutControl : public IReadoutArea {
  public:
    explicit ReadoutControl(HWND edit = nullptr) noexcept : edit_(edit) {}
    // A new control starts with nothing pending: a message posted to the old one may have died
    // with it.
    void Attach(HWND edit) noexcept {
        edit_ = edit;
        pending_.clear();
        write_ = PostedRequest(kReadoutWriteMessage);
    }

    void SetText(const std::string& text) override;

    // To be called by the control's procedure with each message before the control sees it:
    // writes a pending text. Returns true when the message was kReadoutWriteMessage, which ends
    // there.
    bool BeforeEditMessage(UINT message);

  private:
    void Write();  // the pending text, if any, into the control

    HWND edit_;
    std::string pending_;
    PostedRequest write_{kReadoutWriteMessage};
};

// The edit field and the drop-down list of a combo box; none when the system cannot tell.
struct ComboParts {
    HWND edit = nullptr;
    HWND list = nullptr;
};
ComboParts PartsOf(HWND combo) noexcept;

// Automatic completion of a typed character in the name box's edit field. The text that would
// result (the text before the selection plus the character when part of the text is selected,
// else the whole text plus the character) is looked up as a prefix among the items, first match
// from the top, by the settings file's rule for section names (ASCII letters folded, nothing
// else: the edit text then names the item's section). On a match the item becomes
// the selected one, the edit text becomes the typed text followed by the rest of the item with
// that rest selected, and the function returns true: the character is consumed. Otherwise it
// returns false and changes nothing. The edit field is Unicode, so a double-byte character
// arrives, and is looked up, as one character.
bool CompleteTypedCharacter(HWND combo, wchar_t character);

// After a Backspace in the edit field: no item stays selected, the edit text is kept.
void ClearItemSelection(HWND combo);

}  // namespace pelmora::ui
