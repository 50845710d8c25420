#include "CodePageText.h"

#include <windows.h>

#include <algorithm>

namespace pelmora {
namespace {

constexpr std::size_t kOnePassLimit = 0x100000;  // UTF-16 units

}  // namespace

StrictConversion StrictConversionInto(unsigned codePage) {
    switch (codePage) {
        case CP_UTF8:
        case 54936:  // GB18030
            return {WC_ERR_INVALID_CHARS, false};
        case 42:  // symbol
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case CP_UTF7:
            return {0, false};
        default:
            if (codePage >= 57002 && codePage <= 57011) return {0, false};  // ISCII
            return {WC_NO_BEST_FIT_CHARS, true};
    }
}

std::optional<std::string> ExactlyInCodePage(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return std::string();
    const StrictConversion how = StrictConversionInto(codePage);
    const int wideLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* const reportUse = how.reportsDefaultUse ? &usedDefault : nullptr;
    // Mostly one pass: double-byte code pages take at most two bytes for a UTF-16 unit. Text
    // that takes more, or a very long text, is measured first.
    std::string result;
    int length = 0;
    if (text.size() <= kOnePassLimit) {
        result.resize(2 * text.size());
        length = WideCharToMultiByte(codePage, how.flags, text.data(), wideLength, result.data(),
                                     static_cast<int>(result.size()), nullptr, reportUse);
    }
    if (length <= 0 && !usedDefault) {
        length = WideCharToMultiByte(codePage, how.flags, text.data(), wideLength, nullptr, 0,
                                     nullptr, reportUse);
        if (length <= 0 || usedDefault) return std::nullopt;
        result.resize(static_cast<std::size_t>(length));
        length = WideCharToMultiByte(codePage, how.flags, text.data(), wideLength, result.data(),
                                     length, nullptr, reportUse);
    }
    if (length <= 0 || usedDefault) return std::nullopt;
    result.resize(static_cast<std::size_t>(length));
    // Back again: what does not come back as it was (a character that converts one way only, in
    // a code page that reports nothing) would be read as another text. It comes back in as many
    // characters or not at all: more do not fit.
    std::wstring back(text.size(), L'\0');
    if (MultiByteToWideChar(codePage, 0, result.data(), length, back.data(), wideLength) !=
            wideLength ||
        back != text) {
        return std::nullopt;
    }
    return result;
}

}  // namespace pelmora
