// The failure display's final "." on arbitrary messages, in a single-byte and in the Shift-JIS
// code page: the message is kept whole, and a "." follows exactly when its last character sorts
// after ".". The last character is found here from the end of the text, by another way than the
// code's: a byte starts a character when the run of lead bytes just before it is of even length.
#include <cstdint>
#include <string>
#include <string_view>

#include "FailureText.h"
#include "FuzzCheck.h"

using namespace pelmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const LeadByteTest isLeadByte = (data[0] & 1) ? IsShiftJisLeadByte : IsSingleByteCodePage;
    const std::string_view message(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = FailureText(message, isLeadByte);

    // The message, whole, plus at most one ".".
    FUZZ_CHECK(text.compare(0, message.size(), message) == 0);
    FUZZ_CHECK(text.size() == message.size() || text.size() == message.size() + 1);
    const bool appended = text.size() > message.size();
    if (appended) FUZZ_CHECK(text.back() == '.');
    if (message.empty()) {
        FUZZ_CHECK(!appended);
        return 0;
    }

    // Every lead byte before the last byte pairs with the one after it: the last byte ends a
    // double-byte character exactly when an odd number of lead bytes stand right before it.
    std::size_t leadsBefore = 0;
    while (leadsBefore + 1 < message.size() &&
           isLeadByte(static_cast<unsigned char>(message[message.size() - 2 - leadsBefore]))) {
        ++leadsBefore;
    }
    const bool doubleByte = leadsBefore % 2 == 1;
    const auto first = static_cast<unsigned char>(message[message.size() - (doubleByte ? 2 : 1)]);
    // Compared as strings by byte values: the first byte decides, or, equal to ".", the length.
    FUZZ_CHECK(appended == (first > '.' || (first == '.' && doubleByte)));

    // Shown again, a message that ends in its "." stays as it is, unless a lead byte without
    // its second byte took the "." for its own.
    const bool danglingLead = !doubleByte && isLeadByte(first);
    if (appended && !danglingLead) FUZZ_CHECK(FailureText(text, isLeadByte) == text);
    return 0;
}
