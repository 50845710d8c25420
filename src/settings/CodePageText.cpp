#include "CodePageText.h"

#include <windows.h>

#include <algorithm>

namespace pelmora {

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
    const int length = WideCharToMultiByte(codePage, how.flags, text.data(), wideLength, nullptr, 0,
                                           nullptr, reportUse);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string result(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, how.flags, text.data(), wideLength, result.data(), length,
                            nullptr, reportUse) != length ||
        usedDefault) {
        return std::nullopt;
    }
    // Back again: what does not come back as it was (a character that converts one way only, in
    // a code page that reports nothing) would be read as another text.
    const int backLength = MultiByteToWideChar(codePage, 0, result.data(), length, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(std::max(backLength, 0)), L'\0');
    if (backLength <= 0 ||
        MultiByteToWideChar(codePage, 0, result.data(), length, back.data(), backLength) !=
            backLength ||
        back != text) {
        return std::nullopt;
    }
    return result;
}

}  // namespace pelmora
