// The failure display's final "." on arbitrary messages, in a single-byte and in the Shift-JIS
// code page: the message is kept whole, and a "." follows exactly when its last character sorts
// after ".".
#include <cstdint>
#include <string>
#include <string_view>

#include "FailureText.h"
#include "FuzzCheck.h"

using namespace pelmora;

namespace {

// Where the last character of the text starts, read in the code page, and whether it is a
// lead byte left without its second byte.
std::size_t LastCharacter(std::string_view text, LeadByteTest isLeadByte, bool& dangling) {
    std::size_t start = 0;
    dangling = false;
    std::size_t i = 0;
    while (i < text.size()) {
        start = i;
        const bool lead = isLeadByte(static_cast<unsigned char>(text[i]));
        dangling = lead && i + 1 == text.size();
        i += lead && !dangling ? 2 : 1;
    }
    return start;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const LeadByteTest isLeadByte = (data[0] & 1) ? IsShiftJisLeadByte : IsSingleByteCodePage;
    const std::string_view message(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = FailureText(message, isLeadByte);

    if (message.empty()) {
        FUZZ_CHECK(text.empty());
        return 0;
    }
    FUZZ_CHECK(text.substr(0, message.size()) == message);
    FUZZ_CHECK(text.size() == message.size() || text.size() == message.size() + 1);
    const bool appended = text.size() > message.size();
    if (appended) FUZZ_CHECK(text.back() == '.');

    bool dangling = false;
    const std::size_t last = LastCharacter(message, isLeadByte, dangling);
    FUZZ_CHECK(appended == (static_cast<unsigned char>(message[last]) > '.'));
    // Shown again, a message that ends in its "." stays as it is (unless a lead byte without
    // its second byte took the "." for its own).
    if (appended && !dangling) FUZZ_CHECK(FailureText(text, isLeadByte) == text);
    return 0;
}
