// Decoding the settings file as the profile functions decode it (ProfileText.h).
#include <windows.h>

#include <algorithm>

#include "ProfileText.h"

namespace pelmora {
namespace {

// Text in `codePage` as the profile functions decode it; with `exactly`, nothing unless it
// comes back as the same bytes when they encode it again (an invalid sequence decodes to a
// character that does not).
std::optional<std::wstring> Decode(std::string_view bytes, unsigned codePage, bool exactly) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
    // ASCII is the same in every code page that the profile functions read.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (!exactly || ascii) return text;
    const int backLength =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (backLength != size) return std::nullopt;
    std::string back(bytes.size(), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, back.data(), size, nullptr, nullptr);
    if (back != bytes) return std::nullopt;
    return text;
}

// UTF-16 after its byte-order mark; a lone surrogate is an invalid sequence.
std::optional<std::wstring> DecodeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (low) return std::nullopt;
        if (high) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return std::nullopt;
            }
            ++i;
        }
    }
    return text;
}

}  // namespace

std::optional<std::wstring> ProfileText(std::string_view bytes, unsigned codePage, bool lossless) {
    std::optional<std::wstring> text;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = Decode(bytes.substr(3), CP_UTF8, lossless);
    } else if (bytes.starts_with("\xFF\xFE")) {
        text = DecodeUtf16(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        text = DecodeUtf16(bytes.substr(2), true);
    } else {
        text = Decode(bytes, codePage, lossless);
    }
    if (lossless && text && text->find(L'\0') != std::wstring::npos) return std::nullopt;
    return text;
}

}  // namespace pelmora
