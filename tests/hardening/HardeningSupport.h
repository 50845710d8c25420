// Shared by the hardening suites: the setting commands over in-memory windows, a view of a
// settings file as the profile functions show it (independent of SettingsFile), and the figures
// that the suites report at the end of a run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "KernelHandle.h"
#include "SettingCommands.h"

namespace pelmora::hardening {

// Owns a kernel handle (file, event, process); move-only. A file's handle is taken through
// OwnKernelHandle.
using Handle = KernelHandle;

// How many hostile files, names and faults the run went through.
struct Figures {
    int files = 0;
    int names = 0;
    int faults = 0;
    int sectionsCompared = 0;
};
Figures& RunFigures();

class NameBox : public INameBox {
  public:
    std::vector<std::string> items;
    std::string text;
    int selected = -1;

    std::optional<std::string> Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    void ClearItems() override {
        items.clear();
        selected = -1;
    }
    void AddItem(const std::string& item) override { items.push_back(item); }
    int FindExact(const std::string& t) const override;
    void SetItemIndex(int index) override;
};

class Checker : public ICheckerGeometry {
  public:
    CheckerGeometry geometry{497, 114, 244, 157};
    std::function<void(int)> beforeRead;  // called with the running count of geometry reads
    mutable int reads = 0;

    CheckerGeometry Geometry() const override {
        ++reads;
        if (beforeRead) beforeRead(reads);
        return geometry;
    }
    void SetLeft(std::int32_t v) override { geometry.left = v; }
    void SetTop(std::int32_t v) override { geometry.top = v; }
    void SetWidth(std::int32_t v) override { geometry.width = v; }
    void SetHeight(std::int32_t v) override { geometry.height = v; }
};

class Readout : public IReadoutArea {
  public:
    std::string text;
    void SetText(const std::string& t) override { text = t; }
};

// The commands on a settings file at a fixed path, with the windows they work on.
class Program {
  public:
    explicit Program(std::string path, unsigned long lockLimitMs = kSettingsLockLimitMs)
        : path_(std::move(path)),
          commands(
              box, checker, readout, [this] { return path_; }, lockLimitMs) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    std::vector<std::string> List();
    void Save(const std::string& name, const CheckerGeometry& geometry);
    CheckerGeometry Recall(const std::string& name);
    void Delete(const std::string& name);

  private:
    std::string path_;

  public:
    NameBox box;
    Checker checker;
    Readout readout;
    SettingCommands commands;
};

// One section as the profile functions show it: its listed name and its "key=value" lines.
struct SectionView {
    std::string name;
    std::string entries;  // NUL-separated, as GetPrivateProfileSectionA gives them
    friend bool operator==(const SectionView&, const SectionView&) = default;
};
using FileView = std::vector<SectionView>;

// Every listed section with its entries, read straight through the profile functions (of a file
// with more than 100 sections, the entries of a sample of about 100 chosen by name).
FileView ViewThroughProfile(const std::string& path);
// The names of the view, in order.
std::vector<std::string> NamesOf(const FileView& view);
// The view without the sections that the profile functions match to `name`.
FileView Without(const FileView& view, const std::string& name);
// Whether the profile functions take `a` and `b` for one section name.
bool SameSection(const std::string& a, const std::string& b);
// Counts the comparison for the figures and tells whether the two views are equal.
bool SameSections(const FileView& before, const FileView& after);

// Readable form of 8-bit text for failure messages: control and non-ASCII bytes as \xNN,
// and long texts shortened.
std::string Printable(std::string_view text);

// The test program's own path, for starting a second copy of it.
std::wstring OwnPathW();
// Starts a copy of this program (at `exePath`) with the arguments; an empty handle when it
// could not be started.
Handle StartSelf(const std::wstring& exePath, const std::wstring& arguments);
// Waits for a started program (at most `timeoutMs`, then ends it): its exit code, or -1.
int WaitForExit(const Handle& process, DWORD timeoutMs);
// Both of the above.
int RunSelf(const std::wstring& exePath, const std::wstring& arguments, DWORD timeoutMs);

// Wide text from UTF-8 source literals, so that paths outside the ANSI code page can be named.
std::wstring Wide(std::string_view utf8);

}  // namespace pelmora::hardening
