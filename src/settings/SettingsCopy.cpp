#include "SettingsCopy.h"

#include <windows.h>

#include <optional>

#include "Errors.h"
#include "KernelHandle.h"

namespace pelmora {
namespace {

enum class Reading { kRead, kMissing, kFailed };

// The whole file as it is on disk, shared as the profile functions share it.
Reading ReadWhole(const std::string& path, std::string& bytes) {
    bytes.clear();
    const KernelHandle file = OwnKernelHandle(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Reading::kMissing
                                                                              : Reading::kFailed;
    }
    LARGE_INTEGER size{};
    // The profile functions read no file of 4 GiB or more; nor is one a settings file.
    if (!GetFileSizeEx(file.get(), &size) || size.HighPart != 0 || size.LowPart > 0x7FFFFFFF) {
        return Reading::kFailed;
    }
    bytes.resize(size.LowPart);
    DWORD done = 0;
    while (done < size.LowPart) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, size.LowPart - done, &read, nullptr) ||
            read == 0) {
            return Reading::kFailed;
        }
        done += read;
    }
    return Reading::kRead;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    const KernelHandle file = OwnKernelHandle(CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

// The copy's path: the file's, of the same length (the profile functions take paths of up to
// 260 characters), its ".ini" ending as ".in~".
std::string CopyPathFor(const std::string& path) {
    const std::size_t size = path.size();
    if (size >= 4 && path[size - 4] == '.' && (path[size - 3] | 0x20) == 'i' &&
        (path[size - 2] | 0x20) == 'n' && (path[size - 1] | 0x20) == 'i') {
        return path.substr(0, size - 1) + "~";
    }
    return path + "~";
}

// Makes the profile functions write out and forget what they hold of the file, so that the
// copy is read as it is on disk and nothing of it is written again after it is gone.
void ForgetInProfile(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

}  // namespace

SettingsCopy::SettingsCopy(std::string filePath)
    : filePath_(std::move(filePath)), copyPath_(CopyPathFor(filePath_)) {
    const Reading reading = ReadWhole(filePath_, fileBytes_);
    if (reading == Reading::kFailed) throw EIniFileException(filePath_);
    fileExists_ = reading == Reading::kRead;
    std::optional<std::wstring> text = ProfileText(fileBytes_, CP_ACP, true);
    if (!text) throw EUnrewritableFileException(filePath_);
    fileText_ = std::move(*text);
    // A copy left behind by a program that ended in the middle of a command goes too.
    if (fileExists_ ? !WriteWhole(copyPath_, fileBytes_) : !Discard()) Abandon();
    gone_ = false;  // the writes make it, when there is no file to copy
}

SettingsCopy::~SettingsCopy() {
    Discard();
}

void SettingsCopy::NoteSection(const std::string& section) {
    const std::wstring wide = WideFromAnsi(section);
    if (noted_ && wide != change_.section) otherSection_ = true;
    change_.section = wide;
    noted_ = true;
}

void SettingsCopy::NoteValue(const std::string& section, const std::string& key,
                             const std::string& text) {
    NoteSection(section);
    if (change_.erase) otherSection_ = true;  // one change per command
    change_.values.emplace_back(WideFromAnsi(key), WideFromAnsi(text));
}

void SettingsCopy::NoteErase(const std::string& section) {
    NoteSection(section);
    if (!change_.values.empty()) otherSection_ = true;
    change_.erase = true;
}

void SettingsCopy::PutInPlace() {
    ForgetInProfile(copyPath_);
    std::string copyBytes;
    const Reading reading = ReadWhole(copyPath_, copyBytes);
    if (reading == Reading::kFailed || otherSection_) Abandon();
    const bool copyExists = reading == Reading::kRead;
    // Read as the profile functions read it: a cut double-byte character reads as another one.
    // Mostly only the changed section needs decoding: the rest is the file's bytes.
    if (!HoldsChangeAroundBytes(fileBytes_, fileText_, change_, copyBytes, CP_ACP)) {
        const std::optional<std::wstring> text = ProfileText(copyBytes, CP_ACP, false);
        if (!text || !HoldsChange(fileText_, change_, *text)) Abandon();
    }
    if (copyExists == fileExists_ && copyBytes == fileBytes_) {
        Discard();  // nothing changed: the file keeps its time and its place
        return;
    }
    if (!copyExists || !MoveFileExA(copyPath_.c_str(), filePath_.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Abandon();
    }
    gone_ = true;  // it is the file now
}

void SettingsCopy::Abandon() {
    if (Discard()) throw EIniFileException(filePath_);
    throw EIniFileException(filePath_, copyPath_);
}

bool SettingsCopy::Discard() noexcept {
    if (gone_) return true;
    ForgetInProfile(copyPath_);
    if (!DeleteFileA(copyPath_.c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
    }
    gone_ = true;
    return true;
}

}  // namespace pelmora
