#include "SettingsPath.h"

namespace pelmora {

std::string SettingsPathFor(std::string_view executablePath, const LeadByteTest& isLeadByte) {
    std::size_t lastMark = std::string_view::npos;
    for (std::size_t i = 0; i < executablePath.size();) {
        const auto byte = static_cast<unsigned char>(executablePath[i]);
        if (isLeadByte(byte) && i + 1 < executablePath.size()) {
            i += 2;  // the trail byte may look like "\" or ".": it never counts
            continue;
        }
        if (byte == '.' || byte == '\\' || byte == ':') lastMark = i;
        ++i;
    }

    std::string result(executablePath);
    if (lastMark != std::string_view::npos && executablePath[lastMark] == '.') {
        result.resize(lastMark);
    }
    result += ".ini";
    return result;
}

bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsSingleByteCodePage(unsigned char) {
    return false;
}

}  // namespace pelmora
