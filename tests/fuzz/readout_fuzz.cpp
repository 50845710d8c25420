// The readout text for any geometry: three lines, no final line break, each value reading back
// through the settings integer syntax, the height never shown.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "IntSyntax.h"
#include "SettingCommands.h"

using namespace pelmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t fields[4] = {};
    std::memcpy(fields, data, size < sizeof fields ? size : sizeof fields);
    const CheckerGeometry geometry{fields[0], fields[1], fields[2], fields[3]};
    const std::string text = GeometryReadout(geometry);

    const std::string_view rest(text);
    const std::size_t first = rest.find("\r\n");
    FUZZ_CHECK(first != std::string_view::npos);
    const std::size_t second = rest.find("\r\n", first + 2);
    FUZZ_CHECK(second != std::string_view::npos);
    FUZZ_CHECK(rest.find("\r\n", second + 2) == std::string_view::npos);
    FUZZ_CHECK(rest.find_first_of("\r\n", second + 2) == std::string_view::npos);

    const std::string_view lines[3] = {
        rest.substr(0, first), rest.substr(first + 2, second - first - 2), rest.substr(second + 2)};
    const std::string_view labels[3] = {"pos_x=", "pos_y=", "width="};
    for (int i = 0; i < 3; ++i) {
        FUZZ_CHECK(lines[i].substr(0, 6) == labels[i]);
        FUZZ_CHECK(ParseIntValue(lines[i].substr(6)) == fields[i]);
    }

    CheckerGeometry otherHeight = geometry;
    otherHeight.height = ~geometry.height;
    FUZZ_CHECK(GeometryReadout(otherHeight) == text);
    return 0;
}
