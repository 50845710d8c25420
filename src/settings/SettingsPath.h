// Where the settings file lies: beside the executable, named after it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pelmora {

// Tells whether a byte is the first byte of a double-byte character in some ANSI code page.
using LeadByteTest = std::function<bool(unsigned char byte)>;

// The settings path for an executable path: the extension replaced by ".ini", or ".ini"
// appended when the file name has none. The last of ".", "\" and ":" decides: a "." starts the
// extension; a "\" or ":" (or none of the three) means there is no extension. The path is read
// as text in the code page that `isLeadByte` describes, so the second byte of a double-byte
// character (Shift-JIS "表" is 0x95 0x5C) is never taken for one of the three.
std::string SettingsPathFor(std::string_view executablePath, const LeadByteTest& isLeadByte);

// Lead-byte tests for the code pages the program meets most.
bool IsShiftJisLeadByte(unsigned char byte);
bool IsSingleByteCodePage(unsigned char byte);

}  // namespace pelmora
