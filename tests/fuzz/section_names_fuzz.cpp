// Splitting the NUL-separated list of section names on arbitrary buffers: names are never empty,
// never hold a NUL, and put back together they are the buffer without its empty entries.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "SectionNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view filled(reinterpret_cast<const char*>(data), size);
    const auto names = pelmora::SplitSectionNames(filled);

    std::string joined;
    for (const std::string& name : names) {
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(name.find('\0') == std::string::npos);
        if (!joined.empty()) joined += '\0';
        joined += name;
    }

    // The buffer with runs of NULs made single and NULs at either end left out.
    std::string expected;
    bool pendingSeparator = false;
    for (char c : filled) {
        if (c == '\0') {
            pendingSeparator = !expected.empty();
            continue;
        }
        if (pendingSeparator) expected += '\0';
        pendingSeparator = false;
        expected += c;
    }
    FUZZ_CHECK(joined == expected);
    return 0;
}
