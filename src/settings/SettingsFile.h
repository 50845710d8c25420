// The settings file: an INI file beside the executable, reached through the Windows
// private-profile functions. Every operation goes to the file; nothing is cached here. While
// the object lives, other running copies wait with their own use of the file (SettingsLock);
// without the lock there is no object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsLock.h"

namespace pelmora {

class SettingsCopy;

class SettingsFile {
  public:
    // Takes the settings lock, waiting at most `lockLimitMs`; throws ESettingsLockException,
    // before touching the file, when it cannot be had.
    explicit SettingsFile(std::string path, unsigned long lockLimitMs = kSettingsLockLimitMs);
    ~SettingsFile();  // flushes; writes not yet committed go
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const std::string& Path() const { return path_; }

    // Empties `target`, then appends every section name in file order, whole, however many.
    void ListSectionNames(std::vector<std::string>& target) const;
    // The key's value by the settings integer syntax, or `defaultValue` when the file, section
    // or key is missing, the text does not convert, or no section can bear the name.
    std::int32_t ReadIntValue(const std::string& section, const std::string& key,
                              std::int32_t defaultValue) const;
    // Writes and erases of one section reach the file together, at Commit. The first of them
    // reads the file and makes a copy beside it (SettingsCopy), on which they are made. Throws
    // ESettingNameException, before touching the file, when the file cannot hold the name as a
    // section name; EUnrewritableFileException, having written nothing, when the profile
    // functions would change other parts of the file; EIniFileException when the file cannot be
    // written. After a failure the file is as it was.
    void WriteIntValue(const std::string& section, const std::string& key, std::int32_t value);
    void RemoveSection(const std::string& section);
    // Writes the copy's bytes into the file itself, once the copy is checked to hold the file
    // with the writes and nothing else changed. Throws EIniFileException, the file as it was,
    // when that is not so or the file cannot be written. Reads see the writes only after it.
    void Commit();
    // Asks the system to write out what it holds of the file; reports nothing.
    void Flush() noexcept;

  private:
    SettingsCopy& Copy();

    SettingsLock lock_;
    std::string path_;
    std::unique_ptr<SettingsCopy> copy_;  // while writes wait for Commit
};

// The settings path of the running executable, worked out anew on each call. Throws
// ESettingsPathException when the executable's path does not fit the 260-character limit or
// holds characters that the ANSI code page cannot show: a settings file at a truncated or
// mangled path would be some other file.
std::string ModuleSettingsPath();

// The settings path for an executable whose path is `widePath`, given by the ANSI functions as
// `ansiPath` in `codePage`. Throws ESettingsPathException unless `ansiPath` is `widePath` in the
// code page exactly.
std::string ExecutableSettingsPath(std::wstring_view widePath, std::string_view ansiPath,
                                   unsigned codePage);

// The lead-byte test of the system's ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

}  // namespace pelmora
