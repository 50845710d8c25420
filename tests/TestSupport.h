// Small helpers shared by the test suites: a temporary folder that cleans up after itself,
// byte-exact file access, and which section names the profile functions take for one.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace pelmora::test {

class TempFolder {
  public:
    TempFolder() {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        static unsigned counter = 0;
        std::ostringstream name;
        name << base << "pelmora-test-" << GetCurrentProcessId() << "-" << ++counter;
        path_ = name.str();
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..") continue;
                const std::string full = folder + "\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(full.c_str());
                }
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when nobody holds the file open: it can be opened without sharing.
inline bool FileIsReleased(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Shift-JIS text written as bytes, so that the tests read the same in any code page.
inline std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The indices, in order, of the names among `names` that the profile functions take for
// `name` as section names: asked of the profile functions themselves, on a scratch file that
// holds each name as a section, so that a fake never shares the comparison that the program
// makes. Each name must be one that the profile functions list as it is.
inline std::vector<std::size_t> ProfileMatches(const std::vector<std::string>& names,
                                               const std::string& name) {
    std::vector<std::size_t> matches;
    if (name.empty()) return matches;
    const TempFolder folder;
    const std::string scratch = folder.File("matches.ini");
    std::string content;
    for (std::size_t i = 0; i < names.size(); ++i) {
        content += "[" + names[i] + "]\r\nindex=" + std::to_string(i) + "\r\n";
    }
    WriteBytes(scratch, content);
    // The profile functions read the first section that matches: note it, erase it, again.
    for (;;) {
        char index[32] = {};
        GetPrivateProfileStringA(name.c_str(), "index", "", index, sizeof index, scratch.c_str());
        if (index[0] == '\0') break;
        const std::size_t found = std::stoul(index);
        if (!matches.empty() && found <= matches.back()) break;  // the erase did not take
        matches.push_back(found);
        WritePrivateProfileStringA(name.c_str(), nullptr, nullptr, scratch.c_str());
    }
    return matches;
}

}  // namespace pelmora::test
