#include "SectionNames.h"

namespace pelmora {
namespace {

template <typename Char>
std::vector<std::basic_string<Char>> Split(std::basic_string_view<Char> filled) {
    std::vector<std::basic_string<Char>> names;
    std::size_t start = 0;
    while (start < filled.size()) {
        std::size_t end = filled.find(Char(0), start);
        if (end == filled.npos) end = filled.size();
        if (end > start) names.emplace_back(filled.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

std::vector<std::string> SplitSectionNames(std::string_view filled) {
    return Split(filled);
}

std::vector<std::wstring> SplitSectionNames(std::wstring_view filled) {
    return Split(filled);
}

}  // namespace pelmora
