// Text from UTF-16 into an ANSI code page with no character replaced on the way. The code page
// is a parameter: the program passes the system's, tests pass any.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// How a conversion into `codePage` is asked for so that no character is replaced silently: the
// flags of the call and whether it reports the use of the default character. For code pages
// 65001 (UTF-8, the ANSI code page of systems set to use UTF-8 for worldwide language support)
// and 54936 the call fails when given the no-best-fit flag or the default-character arguments;
// a few others take no flags at all.
struct StrictConversion {
    unsigned long flags = 0;
    bool reportsDefaultUse = false;
    friend bool operator==(const StrictConversion&, const StrictConversion&) = default;
};
StrictConversion StrictConversionInto(unsigned codePage);

// `text` in `codePage` when the code page holds every character of it exactly; nothing when a
// character would turn into the default character ("?") or a look-alike (best fit: "ą" into "a"
// on 1252), or when `text` is not valid UTF-16. Such a text, used as a name, would name
// something else.
std::optional<std::string> ExactlyInCodePage(std::wstring_view text, unsigned codePage);

}  // namespace pelmora
