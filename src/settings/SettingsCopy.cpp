#include "SettingsCopy.h"

#include <windows.h>

#include <optional>

#include "Errors.h"
#include "KernelHandle.h"

namespace pelmora {
namespace {

enum class Reading { kRead, kMissing, kFailed };

// The whole of an open file, from its start.
bool ReadOpen(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    // The profile functions read no file of 4 GiB or more; nor is one a settings file.
    if (!GetFileSizeEx(file, &size) || size.HighPart != 0 || size.LowPart > 0x7FFFFFFF ||
        SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) {
        return false;
    }
    bytes.resize(size.LowPart);
    DWORD done = 0;
    while (done < size.LowPart) {
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, size.LowPart - done, &read, nullptr) ||
            read == 0) {
            return false;
        }
        done += read;
    }
    return true;
}

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
    return ReadOpen(file.get(), bytes) ? Reading::kRead : Reading::kFailed;
}

// Writes `bytes` over an open file's from its start and cuts it to their length; with `flush`,
// makes them reach the disk and reads them back.
bool WriteOpen(HANDLE file, const std::string& bytes, bool flush) {
    DWORD written = 0;
    std::string back;
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && SetEndOfFile(file) &&
           (!flush || (FlushFileBuffers(file) && ReadOpen(file, back) && back == bytes));
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    const KernelHandle file = OwnKernelHandle(CreateFileA(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteOpen(file.get(), bytes, false);
}

// The names beside the file: of the same length as the file's (the profile functions take paths
// of up to 260 characters), its ".ini" ending with its last letter replaced by `mark`: "~" for
// the copy on which a command writes, "#" for that copy once it is checked and the file is being
// written.
std::string BesidePath(const std::string& path, const char* mark) {
    std::string beside = path;
    const std::size_t size = path.size();
    if (size >= 4 && path[size - 4] == '.' && (path[size - 3] | 0x20) == 'i' &&
        (path[size - 2] | 0x20) == 'n' && (path[size - 1] | 0x20) == 'i') {
        beside.pop_back();
    }
    beside += mark;
    return beside;
}
constexpr const char* kCopyMark = "~";
constexpr const char* kCheckedMark = "#";

// The failure of a command that leaves the checked copy beside the file, for the next one.
[[noreturn]] void CheckedLeft(const std::string& path, const std::string& checked) {
    throw EIniFileException(path, checked, EIniFileException::Left::kChecked);
}

enum class InPlace { kWritten, kUntouched, kCut };

// Writes `bytes` into the file at `path` itself: the file that the path leads to, through any
// link, so that it keeps its other names, its permissions and access list, its attributes and its
// creation time. The file reads back as `bytes`, or it gets `before` back (a missing file stays
// missing): kUntouched; kCut when even that could not be done. The bytes are written over the
// old ones before the file is cut to its new length, so that the file keeps the room it had: on
// a full disk only the part beyond its old length can fail, and the old bytes fit again.
InPlace WriteInPlace(const std::string& path, bool exists, const std::string& bytes,
                     const std::string& before) {
    KernelHandle file = OwnKernelHandle(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    exists ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return InPlace::kUntouched;
    if (WriteOpen(file.get(), bytes, true)) return InPlace::kWritten;
    if (!exists) {
        file.reset();
        return DeleteFileA(path.c_str()) ? InPlace::kUntouched : InPlace::kCut;
    }
    return WriteOpen(file.get(), before, true) ? InPlace::kUntouched : InPlace::kCut;
}

// Makes what was written of a file reach the disk before the next step relies on it.
bool ReachesDisk(const std::string& path) {
    const KernelHandle file = OwnKernelHandle(CreateFileA(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && FlushFileBuffers(file.get());
}

// Makes the profile functions write out and forget what they hold of the file, so that the
// copy is read as it is on disk and nothing of it is written again after it is gone.
void ForgetInProfile(const std::string& path) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

}  // namespace

SettingsCopy::SettingsCopy(std::string filePath)
    : filePath_(std::move(filePath)),
      copyPath_(BesidePath(filePath_, kCopyMark)),
      checkedPath_(BesidePath(filePath_, kCheckedMark)) {
    // A checked copy whose write into the file could not be finished: nothing goes over it.
    if (!FinishInterruptedWrite(filePath_)) {
        CheckedLeft(filePath_, checkedPath_);
    }
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
        Discard();  // nothing changed: the file keeps its time
        return;
    }
    // The checked copy goes to the disk and then, under its own name, stays beside the file
    // while the file is written: a command ended in the middle of that write leaves the file's
    // new bytes whole beside it, and the next command finishes the write (FinishInterruptedWrite).
    if (!copyExists || !ReachesDisk(copyPath_) ||
        !MoveFileExA(copyPath_.c_str(), checkedPath_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Abandon();
    }
    // The profile functions never saw the copy under its new name, and they read the file anew
    // once it is written: asking them to forget either would only make them read it whole.
    copyPath_ = checkedPath_;
    inProfile_ = false;
    switch (WriteInPlace(filePath_, fileExists_, copyBytes, fileBytes_)) {
        case InPlace::kWritten:
            Discard();
            return;
        case InPlace::kUntouched:
            Abandon();
        case InPlace::kCut:
            gone_ = true;  // the next command puts it in
            CheckedLeft(filePath_, checkedPath_);
    }
}

void SettingsCopy::Abandon() {
    if (Discard()) throw EIniFileException(filePath_);
    throw EIniFileException(filePath_, copyPath_, EIniFileException::Left::kCopy);
}

bool SettingsCopy::Discard() noexcept {
    if (gone_) return true;
    if (inProfile_) ForgetInProfile(copyPath_);
    if (!DeleteFileA(copyPath_.c_str())) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
    }
    gone_ = true;
    return true;
}

bool FinishInterruptedWrite(const std::string& filePath) noexcept {
    const std::string checked = BesidePath(filePath, kCheckedMark);
    std::string bytes, now;
    Reading reading = ReadWhole(checked, bytes);
    if (reading == Reading::kMissing) return true;
    if (reading == Reading::kFailed) return false;
    reading = ReadWhole(filePath, now);
    return reading != Reading::kFailed &&
           WriteInPlace(filePath, reading == Reading::kRead, bytes, now) == InPlace::kWritten &&
           DeleteFileA(checked.c_str());
}

}  // namespace pelmora
