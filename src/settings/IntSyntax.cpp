#include "IntSyntax.h"

namespace pelmora {
namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int32_t> ParseIntValue(std::string_view text) {
    // A "0x" prefix counts as "$" only when something follows it; the position after it is
    // where a hexadecimal number starts without needing another introducer.
    std::size_t i = 0;
    bool hexAtStart = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        i = 2;
        hexAtStart = true;
    }

    bool negative = false;
    bool hex = hexAtStart;
    if (!hexAtStart) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            ++i;
        }
        if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
            hex = true;
            ++i;
        } else if (i + 1 < text.size() && text[i] == '0' &&
                   (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            hex = true;
            i += 2;
        }
    }

    if (i >= text.size()) return std::nullopt;  // no digit at all

    if (hex) {
        std::uint32_t value = 0;
        for (; i < text.size(); ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0 || value > 0x0FFFFFFFu) return std::nullopt;
            value = (value << 4) | static_cast<std::uint32_t>(digit);
        }
        // Two's complement in unsigned arithmetic: "-$80000000" stays -2147483648.
        const std::uint32_t bits = negative ? 0u - value : value;
        return static_cast<std::int32_t>(bits);
    }

    // Decimal: the magnitude may reach 2^31 only with a "-" in front.
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint32_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDecimalDigit(text[i])) return std::nullopt;
        const std::uint32_t digit = static_cast<std::uint32_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10u) return std::nullopt;
        magnitude = magnitude * 10u + digit;
    }
    const std::uint32_t bits = negative ? 0u - magnitude : magnitude;
    return static_cast<std::int32_t>(bits);
}

}  // namespace pelmora
