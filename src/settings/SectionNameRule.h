// How the settings file tells section names apart, as pure functions. The name box finds and
// completes names by this rule, so that the item it selects is the section that a command on
// the selected text reaches.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Whether the settings file takes `a` and `b` for one section name (or, within a section, for one
// key: the rule is the same): the same characters once the ASCII letters are folded (A-Z as a-z),
// and nothing else. The profile functions take "ΩA"
// and "ωA", fullwidth "Ａ" and "ａ", "Ⅰ" and "ⅰ" for two sections, where the system's
// case-insensitive comparison takes each pair for one name. Folding less than some system's
// profile functions is safe: a pair this rule tells apart is left alone, never mixed up.
bool SameSectionName(std::wstring_view a, std::wstring_view b) noexcept;

// Whether `text` begins with a name that the settings file takes for `prefix`.
bool StartsWithSectionName(std::wstring_view text, std::wstring_view prefix) noexcept;

// `name` as wide text when it is valid text of `codePage`; nothing otherwise.
std::optional<std::wstring> DecodedName(std::string_view name, unsigned codePage);

// The index of the item that the name box finds for `name`, all text in `codePage`: the first
// item equal to it byte for byte; otherwise the first that the settings file takes for the same
// section, compared as wide text; -1 when there is none. Raw bytes are never folded: the trail
// byte of a double-byte character can be a letter ("ア" is 0x83 0x41 and "ヂ" 0x83 0x61 in code
// page 932). A name or an item that is not valid text of the code page matches only itself.
int FindSectionItem(const std::vector<std::string>& items, std::string_view name,
                    unsigned codePage);

}  // namespace pelmora
