#include "SectionNameRule.h"

#include <windows.h>

#include <cstddef>

namespace pelmora {
namespace {

constexpr wchar_t FoldedAscii(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameFolded(std::wstring_view a, std::wstring_view b) noexcept {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldedAscii(a[i]) != FoldedAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

bool SameSectionName(std::wstring_view a, std::wstring_view b) noexcept {
    return a.size() == b.size() && SameFolded(a, b);
}

bool StartsWithSectionName(std::wstring_view text, std::wstring_view prefix) noexcept {
    return text.size() >= prefix.size() && SameFolded(prefix, text.substr(0, prefix.size()));
}

std::optional<std::wstring> DecodedName(std::string_view name, unsigned codePage) {
    if (name.empty()) return std::wstring();
    const int size = static_cast<int>(name.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name.data(), size, wide.data(),
                            length) != length) {
        return std::nullopt;
    }
    return wide;
}

int FindSectionItem(const std::vector<std::string>& items, std::string_view name,
                    unsigned codePage) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == name) return static_cast<int>(i);
    }
    // Either text, equal by the file's rule to the name, names the name's section: the file
    // reaches the first section that matches, and both match the same ones.
    const std::optional<std::wstring> wideName = DecodedName(name, codePage);
    if (!wideName) return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].size() != name.size()) continue;  // folding keeps the length in bytes
        const std::optional<std::wstring> item = DecodedName(items[i], codePage);
        if (item && SameSectionName(*item, *wideName)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace pelmora
