// The settings path rule on arbitrary executable paths, in a single-byte and in the Shift-JIS
// code page: the result is always the path with at most its extension replaced by ".ini".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "SettingsPath.h"

using namespace pelmora;

namespace {

// Where each character of the path starts, read in the code page.
std::vector<std::size_t> CharacterStarts(std::string_view path, LeadByteTest isLeadByte) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < path.size(); ++i) {
        starts.push_back(i);
        if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
    }
    return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const LeadByteTest isLeadByte = (data[0] & 1) ? IsShiftJisLeadByte : IsSingleByteCodePage;
    const std::string_view path(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string result = SettingsPathFor(path, isLeadByte);

    FUZZ_CHECK(result.size() >= 4 && result.compare(result.size() - 4, 4, ".ini") == 0);
    const std::string_view kept = std::string_view(result).substr(0, result.size() - 4);
    FUZZ_CHECK(path.substr(0, kept.size()) == kept);

    // The folder part, up to the last "\" or ":" that is a character of its own, stays whole.
    const std::vector<std::size_t> starts = CharacterStarts(path, isLeadByte);
    std::size_t folderEnd = 0;
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        if (path[*it] == '\\' || path[*it] == ':') {
            folderEnd = *it + 1;
            break;
        }
    }
    FUZZ_CHECK(kept.size() >= folderEnd);

    // What was dropped is exactly the extension: it starts with a "." that is a character of
    // its own, and no ".", "\" or ":" character follows that one.
    const std::size_t dropped = path.size() - kept.size();
    std::size_t marksInName = 0;
    for (std::size_t start : starts) {
        if (start >= folderEnd && path[start] == '.') ++marksInName;
    }
    if (dropped == 0) {
        FUZZ_CHECK(marksInName == 0);
    } else {
        bool startsAtCharacter = false;
        for (std::size_t start : starts) startsAtCharacter |= start == kept.size();
        FUZZ_CHECK(startsAtCharacter && path[kept.size()] == '.');
        for (std::size_t start : starts) {
            if (start > kept.size()) {
                FUZZ_CHECK(path[start] != '.' && path[start] != '\\' && path[start] != ':');
            }
        }
    }
    return 0;
}
