// The text that the failure display shows for a failure's message.
#pragma once

#include <string>
#include <string_view>

#include "SettingsPath.h"

namespace pelmora {

// The message with a final "." added when its last character, compared as a string by byte
// values, sorts after ".": in effect when the first byte of the last character is above 0x2E
// (letters, digits, "/", ":", "?", every double-byte character), and not after ".", blanks,
// line breaks or the marks "!" to "-". The text is read in the code page that `isLeadByte`
// describes: a double-byte character counts as one character, starting at its lead byte, so its
// second byte is never taken for a character of its own. The empty text stays empty.
std::string FailureText(std::string_view message, LeadByteTest isLeadByte);

}  // namespace pelmora
