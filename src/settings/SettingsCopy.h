// The copy beside the settings file on which a command makes its writes. The profile functions
// rewrite the whole file on every write and do not report a write that the disk did not take:
// made on the file itself, such a write leaves it cut. Made on the copy, it is found by reading
// the copy back. Only when the copy holds the file with the command's change and nothing else
// are its bytes written into the file itself, never by putting another file in its place: the
// file that the settings path leads to (through a link, or one of its several names) takes them,
// with its permissions, access list, attributes and creation time.
//
// The steps of a Save or Delete, and what a program ended at each one (killed, or the power cut)
// leaves; the settings lock is held throughout:
//  1. The file is read and the copy "<name>.in~" written with its bytes; the profile functions
//     write the change on the copy, which is read back and checked. Ended here: the file is as
//     it was; the next command overwrites or removes the copy.
//  2. The copy is made to reach the disk and renamed "<name>.in#", written through. Ended
//     before the rename lands: as in 1. (Under Wine the rename is written through only by the
//     file's flush in step 3, as the file systems of Linux write their journal: a power cut in
//     the moment between can leave the file cut and the copy as "<name>.in~", whole, from
//     which it is had back by hand.)
//  3. Its bytes are written over the file's, the file cut to their length, flushed and read
//     back; when they do not read back, the old bytes are written back the same way. Ended
//     here: the file may be cut, but "<name>.in#" holds its new bytes whole: the next command
//     (reading the list at start-up is one) first writes them into the file, then goes on.
//  4. "<name>.in#" is removed. Ended before: the next command writes the same bytes again.
// A "<name>.in#" that cannot be written into the file stays, and no command writes until it can;
// the failure names it. The settings are had back from it by hand, too: its bytes are the file's.
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
    // First finishes an earlier command's write that was cut off (FinishInterruptedWrite); throws
    // EIniFileException when that cannot be done: nothing is written over it.
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

    // Checks the copy and writes its bytes into the file. Throws EIniFileException, the file as
    // it was and the copy removed, when the copy does not hold what it should or the file cannot
    // be written.
    void PutInPlace();
    // Throws EIniFileException for a write that failed, once the copy is removed.
    [[noreturn]] void Abandon();

  private:
    bool Discard() noexcept;  // whether the copy is gone
    void NoteSection(const std::string& section);

    std::string filePath_;
    std::string copyPath_;     // where the copy is now
    std::string checkedPath_;  // where it waits, checked, while the file is written
    bool fileExists_ = false;
    std::string fileBytes_;
    std::wstring fileText_;
    SectionChange change_;
    bool noted_ = false;
    bool otherSection_ = false;
    bool inProfile_ = true;  // the profile functions may hold the copy
    bool gone_ = false;      // the copy was removed, or is left for the next command
};

// Finishes the write of a command that ended while it wrote the file: the file gets the bytes of
// the checked copy that the command left, and the copy goes. Where that cannot be done, the file
// and the copy stay as they are, and no command writes until it can. Whether no copy is left.
bool FinishInterruptedWrite(const std::string& filePath) noexcept;

}  // namespace pelmora
