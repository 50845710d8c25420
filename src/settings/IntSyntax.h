// The integer syntax of values read from the settings file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmora {

// Converts the text of a settings value to a signed 32-bit integer, or nothing when the text
// does not follow the syntax:
//   - a leading "0x"/"0X" of a text longer than 2 characters stands for "$";
//   - leading spaces are skipped, then an optional "+" or "-";
//   - then a hexadecimal number introduced by "$", "x", "X", "0x" or "0X", or a decimal number;
//   - nothing may follow the last digit, and at least one digit is needed;
//   - decimal numbers must lie within the signed 32-bit range, sign included;
//   - hexadecimal numbers may use all 32 bits and are then taken as signed ("$FFFFFFFF" is -1,
//     a "-" negates that value); more than 32 bits of value is rejected.
// Pure: no I/O, safe for any byte sequence.
std::optional<std::int32_t> ParseIntValue(std::string_view text);

}  // namespace pelmora
