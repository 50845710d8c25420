// The settings file's text as the profile functions see it, and the check that a command's
// writes changed nothing but what they were meant to. Works on bytes in memory: no file access.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// The text of a settings file, decoded as the profile functions decode it: UTF-16 or UTF-8 when
// the file starts with their byte-order mark, otherwise the ANSI code page `codePage`. With
// `lossless`, nothing when the profile functions could not write the text back as the same
// bytes: a sequence that is invalid in the encoding (in the ANSI code page also a character with
// two encodings, which comes back as the other one), a lone UTF-16 surrogate or odd last byte,
// or a NUL character (the profile functions end a line there).
std::optional<std::wstring> ProfileText(std::string_view bytes, unsigned codePage, bool lossless);

// One line of the file as the profile functions keep it: a section's name, or a key with its
// value (or without one: a line without "="). Views into the text that was read.
struct ProfileItem {
    bool header = false;
    std::wstring_view name;  // the section's name or the key
    bool hasValue = false;
    std::wstring_view value;
    friend bool operator==(const ProfileItem&, const ProfileItem&) = default;
};

// The lines of `text` in file order, read by the profile functions' rules: blank lines dropped,
// blanks around lines, names, keys and values dropped, a section's name between "[" and the
// last "]". The items view into `text`, which must outlive them. Linear in the text's length.
std::vector<ProfileItem> ParseProfile(std::wstring_view text);

// What one command changes in one section: values set (key, text, in the order written), or
// the whole section erased.
struct SectionChange {
    std::wstring section;
    bool erase = false;
    std::vector<std::pair<std::wstring, std::wstring>> values;
};

// Whether the text `after` is the text `before` with `change` made and nothing else changed, as
// the profile functions read them: the values set read back as written in the section that the
// profile functions write to (the first whose name equals the section's, ASCII letters folded),
// the other lines of that section and every other section as before, in order; an erased
// section gone and the others as before. Linear in the length of the two texts.
bool HoldsChange(std::wstring_view before, const SectionChange& change, std::wstring_view after);

// The same on the lines of the two texts (ParseProfile).
bool HoldsChangeInLines(const std::vector<ProfileItem>& before, const SectionChange& change,
                        const std::vector<ProfileItem>& after);

}  // namespace pelmora
