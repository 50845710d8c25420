// The settings files that the list, Save and Recall parts work on, and the bare profile calls.
#include <cstdio>
#include <cstring>

#include "InProcessSupport.h"

namespace bench {

std::string SettingName(int i) {
    char name[32];
    if (i % 3 == 0) {
        std::snprintf(name, sizeof name, "layout-%05d", i);
    } else {
        std::snprintf(name, sizeof name, "\x90\xdd\x92\xe8%05d", i);  // "設定" + number
    }
    return name;
}

void WriteSettingsFile(const std::string& path, int sections) {
    std::string text;
    text.reserve(static_cast<std::size_t>(sections) * 64);
    for (int i = 0; i < sections; ++i) {
        char section[160];
        std::snprintf(
            section, sizeof section, "[%s]\r\npos_x=%d\r\npos_y=%d\r\nwidth=%d\r\nheight=%d\r\n",
            SettingName(i).c_str(), 100 + i % 500, 80 + i % 300, 200 + i % 50, 150 + i % 40);
        text += section;
    }
    ForgetFile(path);  // drop any cached copy
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (written != text.size()) Fail("cannot write " + path);
}

void ForgetFile(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

void SetLastWriteTime(const std::string& path, int secondsAgo) {
    HANDLE file =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + path);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
    const FILETIME when{t.LowPart, t.HighPart};
    const BOOL set = SetFileTime(file, nullptr, nullptr, &when);
    CloseHandle(file);
    if (!set) Fail("cannot set the time of " + path);
}

std::string ReadWhole(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::string ReadNames(const std::string& path, std::size_t bufferSize) {
    std::string buffer(bufferSize, '\0');
    const DWORD filled = GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer.data(),
                                                  static_cast<DWORD>(bufferSize), path.c_str());
    buffer.resize(filled);
    return buffer;
}

void AddNames(HWND combo, const std::string& names) {
    for (const char* p = names.data(); p < names.data() + names.size() && *p;
         p += std::strlen(p) + 1) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
    }
}

}  // namespace bench
