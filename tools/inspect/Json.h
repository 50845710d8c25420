// inspect.exe's answers: text conversions, hexadecimal byte strings and the JSON pieces each
// answer is made of.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace inspect {

std::wstring Utf8ToWide(const std::string& text);

// Hexadecimal bytes, "-" for none; nothing when the text is no such string.
std::optional<std::string> FromHex(const std::string& hex);
std::string ToHex(const std::string& bytes);

std::string JsonString(const std::wstring& text);
// A text as both kinds of message give it: {"hex": its ANSI bytes, "text": its wide text}.
std::string TextJson(const std::string& ansi, const std::wstring& wide);
std::string JsonAscii(const std::string& text);
std::string Num(long long value);
std::string Bool(bool value);
std::string HwndNum(HWND window);
std::string RectJson(const RECT& rect);

// {"ok":true} with the fields given, each starting with its comma: Ok(",\"pid\":12").
std::string Ok(const std::string& fields = "");
// A failed command: what went wrong and the system's last error code.
std::string Error(const std::string& what);

}  // namespace inspect
