// The list of section names as the profile functions hand it over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Splits a buffer of names, each ended by a NUL, into the names in order. `filled` is the part
// of the buffer that holds names (the profile call's return value); a last name without its
// NUL is taken as it stands, and empty entries are passed over.
std::vector<std::string> SplitSectionNames(std::string_view filled);
// The same for the wide profile functions.
std::vector<std::wstring> SplitSectionNames(std::wstring_view filled);

}  // namespace pelmora
