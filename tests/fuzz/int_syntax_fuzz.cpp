// The integer syntax of settings values on arbitrary bytes: never a crash or undefined
// behaviour, and what the program writes always reads back.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "IntSyntax.h"

using pelmora::ParseIntValue;

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void CheckWrittenValueReadsBack(std::int32_t value) {
    const std::string written = std::to_string(value);
    FUZZ_CHECK(ParseIntValue(written) == value);
    FUZZ_CHECK(ParseIntValue("  " + written) == value);
    FUZZ_CHECK(!ParseIntValue(written + " "));

    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(value));
    FUZZ_CHECK(ParseIntValue(std::string("$") + hex) == value);
    FUZZ_CHECK(ParseIntValue(std::string("0x") + hex) == value);
    FUZZ_CHECK(ParseIntValue(std::string("-x") + hex) ==
               static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = ParseIntValue(text);

    // Leading blanks never matter, a trailing one always rejects.
    FUZZ_CHECK(ParseIntValue(" " + std::string(text)) == parsed);
    FUZZ_CHECK(!ParseIntValue(std::string(text) + " "));

    if (parsed) {
        FUZZ_CHECK(!text.empty() && IsHexDigit(text.back()));
        CheckWrittenValueReadsBack(*parsed);
    }
    if (size >= 4) {
        std::int32_t value;
        std::memcpy(&value, data, sizeof value);
        CheckWrittenValueReadsBack(value);
    }
    return 0;
}
