// Splitting the NUL-separated list of section names. Two checks that do not split: names built
// from the input, written into a buffer the way the profile functions may hand them over (with
// extra NULs, with or without the last one), come back as they were; and on the input as a
// buffer, the names are non-empty, hold no NUL, are as many as the runs of non-NUL bytes, and
// together hold exactly its non-NUL bytes in order.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "SectionNames.h"

using pelmora::SplitSectionNames;

namespace {

// Names from the input: a length byte (1 to 16), then that many bytes, NULs read as "x"; a
// separator of one or more NULs after each, as the length byte's high bits ask.
void RoundTrip(std::string_view input) {
    std::vector<std::string> names;
    std::string buffer;
    std::size_t at = 0;
    while (at < input.size()) {
        const auto control = static_cast<unsigned char>(input[at++]);
        std::string name = std::string(input.substr(at, (control & 0x0F) + 1u));
        if (name.empty()) break;  // a length byte at the very end
        at += name.size();
        for (char& c : name) {
            if (c == '\0') c = 'x';
        }
        buffer += name;
        names.push_back(name);
        const bool lastAndBare = at >= input.size() && (control & 0x10);
        if (!lastAndBare) buffer.append(1u + (control >> 5), '\0');
    }
    FUZZ_CHECK(SplitSectionNames(buffer) == names);
}

void Properties(std::string_view filled) {
    const std::vector<std::string> names = SplitSectionNames(filled);
    std::size_t runs = 0;
    std::string bytes;
    for (std::size_t i = 0; i < filled.size(); ++i) {
        if (filled[i] == '\0') continue;
        if (i == 0 || filled[i - 1] == '\0') ++runs;
        bytes += filled[i];
    }
    FUZZ_CHECK(names.size() == runs);
    std::string joined;
    for (const std::string& name : names) {
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(name.find('\0') == std::string::npos);
        joined += name;
    }
    FUZZ_CHECK(joined == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    RoundTrip(input);
    Properties(input);
    return 0;
}
