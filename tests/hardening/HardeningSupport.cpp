#include "HardeningSupport.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <functional>

#include "SectionNames.h"
#include "TestSupport.h"

namespace pelmora::hardening {

Figures& RunFigures() {
    static Figures figures;
    return figures;
}

int NameBox::FindExact(const std::string& t) const {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == t) return static_cast<int>(i);
    }
    const std::vector<std::size_t> matches = test::ProfileMatches(items, t);
    return matches.empty() ? -1 : static_cast<int>(matches.front());
}

void NameBox::SetItemIndex(int index) {
    if (index == selected) return;
    selected = index;
    if (index >= 0) text = items.at(static_cast<std::size_t>(index));
}

std::vector<std::string> Program::List() {
    commands.ListSettings("");
    return box.items;
}

void Program::Save(const std::string& name, const CheckerGeometry& geometry) {
    box.text = name;
    checker.geometry = geometry;
    commands.Save();
}

CheckerGeometry Program::Recall(const std::string& name) {
    box.text = name;
    checker.geometry = {-1, -1, -1, -1};
    commands.Recall();
    return checker.geometry;
}

void Program::Delete(const std::string& name) {
    box.text = name;
    commands.Delete();
}

namespace {

// Runs a profile read that reports a too-small buffer by returning size - 2, with a buffer
// that grows until the answer fits.
template <typename Read>
std::string ReadWhole(Read read) {
    std::string buffer;
    DWORD size = 1 << 14;
    for (;;) {
        buffer.resize(size);
        const DWORD length = read(buffer.data(), size);
        if (length + 2 < size) {
            buffer.resize(length);
            return buffer;
        }
        size *= 2;
    }
}

}  // namespace

FileView ViewThroughProfile(const std::string& path) {
    const std::string names = ReadWhole([&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, size, path.c_str());
    });
    const std::vector<std::string> split = SplitSectionNames(names);
    // Each section read searches the file's sections from the top: past a hundred sections
    // read a sample of them, chosen by name so that two views of one file read the same ones
    // (a power of two, so that one section more or less keeps the choice).
    const std::size_t stride = std::bit_ceil(std::max<std::size_t>(1, split.size() / 100));
    FileView view;
    for (const std::string& name : split) {
        if (std::hash<std::string>{}(name) % stride != 0) {
            view.push_back({name, "(not read)"});
            continue;
        }
        view.push_back({name, ReadWhole([&](char* buffer, DWORD size) {
                            return GetPrivateProfileSectionA(name.c_str(), buffer, size,
                                                             path.c_str());
                        })});
    }
    return view;
}

std::vector<std::string> NamesOf(const FileView& view) {
    std::vector<std::string> names;
    for (const SectionView& section : view) names.push_back(section.name);
    return names;
}

FileView Without(const FileView& view, const std::string& name) {
    const std::vector<std::size_t> matches = test::ProfileMatches(NamesOf(view), name);
    FileView rest;
    for (std::size_t i = 0; i < view.size(); ++i) {
        if (std::find(matches.begin(), matches.end(), i) == matches.end()) rest.push_back(view[i]);
    }
    return rest;
}

bool SameSection(const std::string& a, const std::string& b) {
    return !test::ProfileMatches({a}, b).empty();
}

bool SameSections(const FileView& before, const FileView& after) {
    RunFigures().sectionsCompared += static_cast<int>(before.size());
    return before == after;
}

std::string Printable(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < 120; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte >= 0x7F || byte == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += static_cast<char>(byte);
        }
    }
    if (out.size() >= 120) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::wstring OwnPathW() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

Handle StartSelf(const std::wstring& exePath, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exePath + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return Handle();
    }
    const Handle thread(process.hThread);
    return Handle(process.hProcess);
}

int WaitForExit(const Handle& process, DWORD timeoutMs) {
    if (!process) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &code);
    } else {
        TerminateProcess(process.get(), 99);
        WaitForSingleObject(process.get(), timeoutMs);
    }
    return static_cast<int>(code);
}

int RunSelf(const std::wstring& exePath, const std::wstring& arguments, DWORD timeoutMs) {
    return WaitForExit(StartSelf(exePath, arguments), timeoutMs);
}

std::wstring Wide(std::string_view utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

}  // namespace pelmora::hardening
