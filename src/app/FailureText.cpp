#include "FailureText.h"

namespace pelmora {

std::string FailureText(std::string_view message, LeadByteTest isLeadByte) {
    std::string text(message);
    if (text.empty()) return text;

    // Walk the characters from the start: only so is a trail byte told from a lead byte.
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size();) {
        last = i;
        const bool doubleByte =
            isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += doubleByte ? 2 : 1;
    }
    // std::string_view compares like memcmp: by unsigned byte values.
    if (std::string_view(text).substr(last) > std::string_view(".")) text += '.';
    return text;
}

}  // namespace pelmora
