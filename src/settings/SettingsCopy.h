// The copy beside the settings file on which a command makes its writes. The profile functions
// rewrite the whole file on every write and do not report a write that the disk did not take:
// made on the file itself, such a write leaves it cut. Made on the copy, it is found by reading
// the copy back, and the file is replaced by the copy in one step only when the copy holds the
// file with the command's change and nothing else; otherwise the file stays as it was.
#pragma once

#include <string>
#include <vector>

#include "ProfileText.h"

namespace pelmora {

class SettingsCopy {
  public:
    // Reads the file (a missing one counts as empty) and writes the copy. Throws
    // EIniFileException when either cannot be done, and EUnrewritableFileException when the
    // profile functions could not write the file's text back as the same bytes.
    explicit SettingsCopy(std::string filePath);
    ~SettingsCopy();  // removes the copy if it is still there
    SettingsCopy(const SettingsCopy&) = delete;
    SettingsCopy& operator=(const SettingsCopy&) = delete;

    // Where the command's writes go.
    const std::string& Path() const { return copyPath_; }
    // What the writes were, for the check: a value set, or a section erased. A command changes
    // one section; a change of another one fails the check.
    void NoteValue(const std::string& section, const std::string& key, const std::string& text);
    void NoteErase(const std::string& section);

    // Checks the copy and replaces the file with it. Throws EIniFileException, the file as it
    // was and the copy removed, when the copy does not hold what it should or the file cannot be
    // replaced.
    void PutInPlace();
    // Throws EIniFileException for a write that failed, once the copy is removed.
    [[noreturn]] void Abandon();

  private:
    bool Discard() noexcept;  // whether the copy is gone
    void NoteSection(const std::string& section);

    std::string filePath_;
    std::string copyPath_;
    bool fileExists_ = false;
    std::string fileBytes_;
    std::wstring fileText_;
    SectionChange change_;
    bool noted_ = false;
    bool otherSection_ = false;
    bool gone_ = false;  // the copy is the file now, or it was removed
};

}  // namespace pelmora
