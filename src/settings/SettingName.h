// Which setting names the settings file can hold as section names.
#pragma once

#include <cstddef>
#include <string_view>

namespace pelmora {

// The longest setting name, in bytes. The profile functions hand a name on as a counted wide
// string of at most 32,766 characters; a longer one is mangled into some other name (Wine then
// writes a section of a few garbage characters and reads the list of sections as its value).
inline constexpr std::size_t kSettingNameLimit = 32766;

enum class SettingNameFault {
    kNone,
    kLineBreak,  // a CR or LF ends the section's line early, a NUL ends the name early: the
                 // keys would land in another section or a bogus one
    kTooLong,
    kBlanksAround,  // the profile functions drop blanks around a name when they write and read
                    // but not when they erase: " A " would save into "A" and delete nothing
};

// Tells whether `name` can be a section name of the settings file. Pure: no I/O. A name made
// only of blanks is no fault: it names the nameless part at the top of the file. Blanks are the
// characters that the profile functions drop: space, tab, vertical tab, form feed and Ctrl+Z.
SettingNameFault CheckSettingName(std::string_view name);

}  // namespace pelmora
