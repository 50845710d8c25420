// The settings path rule on arbitrary executable paths, in a single-byte and in the Shift-JIS
// code page, against a reference that reads the path from its end: a byte starts a character
// when the run of lead bytes just before it is of even length, so a ".", "\" or ":" counts only
// there, never as the second byte of a double-byte character.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "SettingsPath.h"

using namespace pelmora;

namespace {

bool StartsACharacter(std::string_view path, std::size_t at, LeadByteTest isLeadByte) {
    std::size_t leadsBefore = 0;
    while (leadsBefore < at && isLeadByte(static_cast<unsigned char>(path[at - 1 - leadsBefore]))) {
        ++leadsBefore;
    }
    return leadsBefore % 2 == 0;
}

std::string Reference(std::string_view path, LeadByteTest isLeadByte) {
    for (std::size_t at = path.size(); at-- > 0;) {
        const char c = path[at];
        if ((c == '.' || c == '\\' || c == ':') && StartsACharacter(path, at, isLeadByte)) {
            return std::string(c == '.' ? path.substr(0, at) : path) + ".ini";
        }
    }
    return std::string(path) + ".ini";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const LeadByteTest isLeadByte = (data[0] & 1) ? IsShiftJisLeadByte : IsSingleByteCodePage;
    const std::string_view path(reinterpret_cast<const char*>(data + 1), size - 1);
    FUZZ_CHECK(SettingsPathFor(path, isLeadByte) == Reference(path, isLeadByte));
    return 0;
}
