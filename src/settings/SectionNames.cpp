#include "SectionNames.h"

namespace pelmora {

std::vector<std::string> SplitSectionNames(std::string_view filled) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < filled.size()) {
        std::size_t end = filled.find('\0', start);
        if (end == std::string_view::npos) end = filled.size();
        if (end > start) names.emplace_back(filled.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace pelmora
