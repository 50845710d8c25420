// Text between UTF-16 and the ANSI code page, the one conversion each way for the program, the
// inspection program and the tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace pelmora {

// Each kept as one function, not copied into its many callers: the released program is built for
// size.

// Converts UTF-16 text to the ANSI code page; characters it cannot show become "?".
[[gnu::noinline]] inline std::string AnsiFromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

// Converts text in the ANSI code page to UTF-16.
[[gnu::noinline]] inline std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace pelmora
