#include "Json.h"

#include <cstdint>
#include <cstdio>

namespace inspect {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> FromHex(const std::string& hex) {
    std::string bytes;
    if (hex == "-") return bytes;
    if (hex.size() % 2 != 0) return std::nullopt;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

std::string ToHex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

std::string JsonString(const std::wstring& text) {
    std::string json = "\"";
    char escape[8];
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            json.push_back('\\');
            json.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            json.push_back(static_cast<char>(c));
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c) & 0xFFFF);
            json += escape;
        }
    }
    json.push_back('"');
    return json;
}

std::string TextJson(const std::string& ansi, const std::wstring& wide) {
    return "{\"hex\":\"" + ToHex(ansi) + "\",\"text\":" + JsonString(wide) + "}";
}

std::string JsonAscii(const std::string& text) {
    return JsonString(std::wstring(text.begin(), text.end()));
}

std::string Num(long long value) {
    return std::to_string(value);
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string HwndNum(HWND window) {
    return Num(static_cast<long long>(reinterpret_cast<uintptr_t>(window)));
}

std::string RectJson(const RECT& rect) {
    return "{\"left\":" + Num(rect.left) + ",\"top\":" + Num(rect.top) +
           ",\"width\":" + Num(rect.right - rect.left) +
           ",\"height\":" + Num(rect.bottom - rect.top) + "}";
}

std::string Ok(const std::string& fields) {
    return "{\"ok\":true" + fields + "}";
}

std::string Error(const std::string& what) {
    return "{\"ok\":false,\"error\":" + JsonAscii(what) + ",\"code\":" + Num(GetLastError()) + "}";
}

}  // namespace inspect
