#include "SettingsFile.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "CodePageText.h"
#include "Errors.h"
#include "IntSyntax.h"
#include "SectionNameRule.h"
#include "SectionNames.h"
#include "SettingsCopy.h"
#include "SettingName.h"
#include "SettingsPath.h"

namespace pelmora {
namespace {

// Sizes of the buffer of names, in wide characters.
constexpr DWORD kNameBufferStart = 0x4000;         // what one read of the names usually needs
constexpr DWORD kNameBufferFirstLimit = 0x100000;  // a larger file grows it as needed
constexpr DWORD kNameBufferLimit = 0x8000000;      // 256 MiB: past it a file is no settings file
constexpr DWORD kValueBufferSize = 2048;
constexpr DWORD kValueBufferLimit = 0x100000;  // 1 MiB
constexpr DWORD kModulePathBufferSize = MAX_PATH + 1;

// The decimal digits of a number as wide text, without the C library's formatting.
std::wstring WideDigits(std::size_t value) {
    const std::string digits = std::to_string(value);
    return std::wstring(digits.begin(), digits.end());
}

// Why the file cannot hold `name` as a section name, as the text of the failure; nothing when
// it can. Handed to the profile functions, such a name would write or read some other section.
std::optional<std::wstring> NameProblem(const std::string& name) {
    switch (CheckSettingName(name)) {
        case SettingNameFault::kLineBreak:
            return L"設定名に改行文字は使えません";
        case SettingNameFault::kTooLong:
            return L"設定名が長すぎます（" + WideDigits(kSettingNameLimit) + L" バイトまで）";
        case SettingNameFault::kBlanksAround:
            return L"設定名の前後に空白は使えません";
        case SettingNameFault::kNone:
            break;
    }
    // Bytes that are no text of the code page all turn into one default character on their way
    // to the file: two such names would share a section.
    if (!DecodedName(name, CP_ACP)) return std::wstring(kNameOutsideCodePage);
    return std::nullopt;
}

void RequireStorableName(const std::string& name) {
    if (const auto problem = NameProblem(name)) throw ESettingNameException(AnsiFromWide(*problem));
}

}  // namespace

SettingsFile::SettingsFile(std::string path, unsigned long lockLimitMs)
    : lock_(lockLimitMs), path_(std::move(path)) {
    if (!lock_.Held()) {
        throw ESettingsLockException(lock_.Available()
                                         ? ESettingsLockException::Reason::kBusy
                                         : ESettingsLockException::Reason::kUnavailable,
                                     path_);
    }
    FinishInterruptedWrite(path_);
}

SettingsFile::~SettingsFile() {
    copy_.reset();
    Flush();
}

void SettingsFile::ListSectionNames(std::vector<std::string>& target) const {
    target.clear();
    // The names are read as wide text: through the ANSI functions, the names of a file in
    // UTF-16 come converted, with best-fit look-alikes or "?" for what the code page lacks
    // ("naïve" as "naive", Hangul as "?"), and such a name would reach another section or
    // none. A name that the code page cannot hold exactly is left out: every setting name is
    // ANSI text, so no command could reach it. It stays in the file as it is.
    //
    // The profile call cuts the names off where the buffer ends and then returns size - 2:
    // grow the buffer until the whole list fits. Each read walks over every section, so the
    // first buffer holds as many characters as the file has bytes (up to a limit): the names
    // take fewer than the file that holds them, and thousands of them come in one read.
    const std::wstring widePath = WideFromAnsi(path_);
    // Not filled beforehand: only the part that the names take is ever touched.
    std::unique_ptr<wchar_t[]> buffer;
    DWORD size = kNameBufferStart;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &attributes) &&
        attributes.nFileSizeHigh == 0) {
        size =
            std::clamp<DWORD>(attributes.nFileSizeLow + 2, kNameBufferStart, kNameBufferFirstLimit);
    }
    DWORD filled = 0;
    for (;;) {
        buffer = std::make_unique_for_overwrite<wchar_t[]>(size);
        filled = GetPrivateProfileStringW(nullptr, nullptr, nullptr, buffer.get(), size,
                                          widePath.c_str());
        if (filled + 2 < size || size >= kNameBufferLimit) break;
        size *= 2;
    }
    const std::wstring_view names(buffer.get(), std::min(filled, size));
    const unsigned codePage = GetACP();
    // Mostly the code page holds every name: one conversion of the whole list.
    if (const std::optional<std::string> all = ExactlyInCodePage(names, codePage)) {
        target = SplitSectionNames(*all);
        return;
    }
    for (const std::wstring& name : SplitSectionNames(names)) {
        if (std::optional<std::string> exact = ExactlyInCodePage(name, codePage)) {
            target.push_back(std::move(*exact));
        }
    }
}

std::int32_t SettingsFile::ReadIntValue(const std::string& section, const std::string& key,
                                        std::int32_t defaultValue) const {
    // A name that no section can bear reads as a missing setting; one with blanks around reads
    // the setting without them, as the profile functions read it.
    if (CheckSettingName(section) != SettingNameFault::kBlanksAround && NameProblem(section)) {
        return defaultValue;
    }
    // A value cut off at the buffer's end could read as another number ("000...01" as 0): when
    // the text fills the buffer, read it again whole.
    std::string buffer;
    DWORD size = kValueBufferSize;
    DWORD length = 0;
    for (;;) {
        buffer.resize(size);
        length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), size,
                                          path_.c_str());
        if (length + 1 < size) break;
        if (size >= kValueBufferLimit) return defaultValue;  // no number is that long
        size *= 2;
    }
    return ParseIntValue(std::string_view(buffer.data(), length)).value_or(defaultValue);
}

SettingsCopy& SettingsFile::Copy() {
    if (!copy_) copy_ = std::make_unique<SettingsCopy>(path_);
    return *copy_;
}

void SettingsFile::WriteIntValue(const std::string& section, const std::string& key,
                                 std::int32_t value) {
    RequireStorableName(section);
    SettingsCopy& copy = Copy();
    const std::string text = std::to_string(value);
    copy.NoteValue(section, key, text);
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), text.c_str(),
                                    copy.Path().c_str())) {
        copy.Abandon();
    }
}

void SettingsFile::RemoveSection(const std::string& section) {
    RequireStorableName(section);
    SettingsCopy& copy = Copy();
    copy.NoteErase(section);
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, copy.Path().c_str())) {
        copy.Abandon();
    }
}

void SettingsFile::Commit() {
    if (!copy_) return;
    // Gone after this, whatever happens: a failed write removes the copy.
    const std::unique_ptr<SettingsCopy> copy = std::move(copy_);
    copy->PutInPlace();
}

void SettingsFile::Flush() noexcept {
    // The result says nothing useful (Wine reports FALSE even when all is written).
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string ExecutableSettingsPath(std::wstring_view widePath, std::string_view ansiPath,
                                   unsigned codePage) {
    // The ANSI path of a file whose name the code page cannot show names another file (or
    // none).
    const std::optional<std::string> exact = ExactlyInCodePage(widePath, codePage);
    if (!exact || *exact != ansiPath) {
        throw ESettingsPathException(
            AnsiFromWide(L"実行ファイルのパスにこのシステムの文字コードで表せない文字がある"
                         L"ため、設定ファイルを開けません: ") +
            std::string(ansiPath));
    }
    return SettingsPathFor(ansiPath, [codePage](unsigned char byte) {
        return IsDBCSLeadByteEx(codePage, byte) != FALSE;
    });
}

std::string ModuleSettingsPath() {
    char ansi[kModulePathBufferSize];
    const DWORD length = GetModuleFileNameA(nullptr, ansi, kModulePathBufferSize);
    if (length == 0 || length >= kModulePathBufferSize) {
        throw ESettingsPathException(
            AnsiFromWide(L"実行ファイルのパスが長すぎるため、設定ファイルを開けません"));
    }
    wchar_t wide[kModulePathBufferSize];
    const DWORD wideLength = GetModuleFileNameW(nullptr, wide, kModulePathBufferSize);
    if (wideLength == 0 || wideLength >= kModulePathBufferSize) {
        return SettingsPathFor(std::string_view(ansi, length), IsAnsiLeadByte);
    }
    return ExecutableSettingsPath(std::wstring_view(wide, wideLength),
                                  std::string_view(ansi, length), GetACP());
}

}  // namespace pelmora
