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

// How a settings file's bytes hold its text, by its byte-order mark.
enum class ProfileEncoding { kCodePage, kUtf8, kUtf16Le, kUtf16Be };
ProfileEncoding EncodingOf(std::string_view bytes);

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

// Where in the text `before` lies the section that `change` changes: from the start of its
// name's line to the start of the next section's (the part above the first section for an empty
// name); when there is none, the empty range at the end.
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool found = false;
};
TextRange ChangedSection(std::wstring_view before, const SectionChange& change);

// Whether the text `after` is the text `before` with `change` made and nothing else changed, as
// the profile functions read them: the values set read back as written in the section that the
// profile functions write to (the first whose name equals the section's, ASCII letters folded),
// the other lines of that section and every other section as before, in order; an erased
// section gone and the others as before. Linear in the length of the two texts.
bool HoldsChange(std::wstring_view before, const SectionChange& change, std::wstring_view after);

// The same when `after` is `before` with the range `changed` (ChangedSection) replaced by
// `part`; false may also mean that the whole texts need comparing.
bool HoldsChangeAround(std::wstring_view before, TextRange changed, const SectionChange& change,
                       std::wstring_view part);

// The same on the bytes of the file `before` (whose text `beforeText` is, exactly: ProfileText
// with `lossless`) and of the file `after`, when `after` holds the bytes of `before` around the
// changed section; false may also mean that `after` needs decoding whole. Decodes only the
// changed section of `after`.
bool HoldsChangeAroundBytes(std::string_view before, std::wstring_view beforeText,
                            const SectionChange& change, std::string_view after, unsigned codePage);

// The same on the lines of the two texts (ParseProfile).
bool HoldsChangeInLines(const std::vector<ProfileItem>& before, const SectionChange& change,
                        const std::vector<ProfileItem>& after);

}  // namespace pelmora
