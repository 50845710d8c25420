// Save and Recall in a file of 10,000 settings, each step of each series a named function.
//
// Save against the bare profile calls it makes ("floor"), and, for reference, a Save under a new
// name ("newname") against its own bare calls ("newfloor") and the bare calls plus the list
// refilled and the name selected in a plain combo box ("plain").
// Recall against its bare reads plus the same four steps on plain windows ("floor": the plain
// checker moved and sized in four steps, each followed by its readout in a plain edit control),
// for reference also against the bare reads alone ("reads").
#include <array>
#include <cstdlib>

#include "ControlIds.h"
#include "InProcessSupport.h"
#include "SettingsFile.h"
#include "WindowText.h"

namespace bench {
namespace {

using pelmora::WindowTextA;
using pelmora::ui::MainWindow;

constexpr int kSections = 10000;
constexpr const char* kKeys[] = {"pos_x", "pos_y", "width", "height"};
constexpr const char kNewName[] = "new setting";  // a name the settings file does not hold
constexpr UINT kSetBounds = SWP_NOZORDER | SWP_NOACTIVATE;

class SaveRecallBench {
  public:
    SaveRecallBench(const std::string& path, const ProgramWindows& program,
                    const PlainWindows& plain)
        : path_(path),
          main_(program.main.Handle()),
          combo_(program.main.ControlHandle(MainWindow::kNameBox)),
          memo_(program.main.ControlHandle(MainWindow::kReadout)),
          checker_(program.checker.Handle()),
          plain_(plain) {
        WriteSettingsFile(path_, kSections);
    }

    // ---- Save: the checker stands somewhere else each time, so every write changes the file.
    double ProgramSave() {
        SetWindowPos(checker_, nullptr, NextLeft(), 120, 244, 157, kSetBounds);
        const double ms = TimedClick(saved_, pelmora::ui::kSaveId, [&] { ForgetFile(path_); });
        if (Count() != kSections || WindowTextA(combo_) != saved_) {
            Fail("Save did not end with the saved name selected");
        }
        return ms;
    }
    // Under a name the file does not hold yet: the list gains one. Deleted again afterwards,
    // outside the clock, so that the file stays as it was.
    double ProgramSaveUnderNewName() {
        const double ms = TimedClick(kNewName, pelmora::ui::kSaveId, [&] { ForgetFile(path_); });
        if (Count() != kSections + 1 || WindowTextA(combo_) != kNewName) {
            Fail("Save under a new name did not add it to the list");
        }
        Click(pelmora::ui::kDeleteId);
        Pump();
        if (Count() != kSections) Fail("Delete did not take the new name away");
        return ms;
    }
    // The bare calls of a Save under a new name: four writes that each change the file, and the
    // names. The section goes again outside the clock.
    double BareSaveUnderNewName() {
        ForgetFile(path_);
        const double start = Now();
        BareSave(kNewName, {123, 123, 123, 123});
        const double ms = Now() - start;
        WritePrivateProfileStringA(kNewName, nullptr, nullptr, path_.c_str());
        ForgetFile(path_);
        return ms;
    }
    double BareSaveOfTheSavedName() {
        ForgetFile(path_);
        const double start = Now();
        BareSave(saved_, {NextLeft(), 120, 244, 157});
        return Now() - start;
    }
    double PlainSave() {
        SetWindowTextA(plain_.combo, saved_.c_str());
        Pump();
        ForgetFile(path_);
        const double start = Now();
        const std::string names = BareSave(saved_, {NextLeft(), 120, 244, 157});
        SendMessageA(plain_.combo, CB_RESETCONTENT, 0, 0);
        AddNames(plain_.combo, names);
        SetWindowTextA(plain_.combo, "");
        SendMessageA(plain_.combo, CB_SETCURSEL,
                     SendMessageA(plain_.combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(saved_.c_str())),
                     0);
        Pump();
        return Now() - start;
    }

    // ---- Recall: two settings at different places, taken in turn by each series, so that
    // every recall of the program moves the checker. `secondsAgo` is the age of the file's
    // last write.
    void StartRecallSeries(int secondsAgo) {
        secondsAgo_ = secondsAgo;
        readsTurn_ = 0;
        floorTurn_ = 0;  // the program's turn goes on: the checker always moves
    }
    double ProgramRecall() {
        const std::string& name = recalled_[programTurn_++ % 2];
        RECT before{};
        GetWindowRect(checker_, &before);
        const double ms = TimedClick(name, pelmora::ui::kRecallId, [&] { PrepareFile(); });
        pelmora::SettingsFile file(path_);
        RECT after{};
        GetWindowRect(checker_, &after);
        if (after.left != file.ReadIntValue(name, "pos_x", 50) || after.left == before.left ||
            WindowTextA(memo_) != ReadoutFor(checker_)) {
            Fail("Recall did not move the checker");
        }
        return ms;
    }
    double BareRecallReads() {
        const std::string& name = recalled_[readsTurn_++ % 2];
        PrepareFile();
        const double start = Now();
        BareRecall(name);
        return Now() - start;
    }
    double PlainRecall() {
        const std::string& name = recalled_[floorTurn_++ % 2];
        PrepareFile();
        const double start = Now();
        const std::array<int, 4> values = BareRecall(name);
        RECT r{};
        GetWindowRect(plain_.checker, &r);
        int bounds[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        for (int k = 0; k < 4; ++k) {
            bounds[k] = values[k];
            SetWindowPos(plain_.checker, nullptr, bounds[0], bounds[1], bounds[2], bounds[3],
                         kSetBounds);
            // The readout shows no height: the last step leaves its text as it was.
            if (k < 3) SetWindowTextA(plain_.memo, ReadoutFor(plain_.checker).c_str());
        }
        Pump();
        return Now() - start;
    }

  private:
    int NextLeft() { return 500 + turn_++ % 7; }
    LRESULT Count() const { return SendMessageA(combo_, CB_GETCOUNT, 0, 0); }

    void Click(int id) const {
        SendMessageW(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main_, id)));
    }
    // Puts `name` into the name box, lets `beforeClock` ready the file, then times a click on
    // the button `id` until what it changed is drawn.
    template <typename Ready>
    double TimedClick(const std::string& name, int id, Ready beforeClock) {
        SetWindowTextA(combo_, name.c_str());
        Pump();
        beforeClock();
        const double start = Now();
        Click(id);
        Pump();
        return Now() - start;
    }
    // The bare calls of a Save made on a copy and written into the file itself, as any Save
    // that checks its writes before they reach the file and keeps the file what it is (its link,
    // its names, its permissions) makes them: the copy, the four writes on it and its release,
    // one plain read of it (the least that any check needs), the copy made to reach the disk and
    // renamed (what a write cut off in the middle is finished from), its bytes written over the
    // file's, flushed and read back, the copy removed, then the names read again and their
    // release.
    std::string BareSave(const std::string& section, const std::array<int, 4>& values) {
        const std::string copy = path_ + ".floor", checked = path_ + ".floor-checked";
        if (!CopyFileA(path_.c_str(), copy.c_str(), FALSE)) Fail("cannot copy " + path_);
        for (int k = 0; k < 4; ++k) {
            WritePrivateProfileStringA(section.c_str(), kKeys[k], std::to_string(values[k]).c_str(),
                                       copy.c_str());
        }
        ForgetFile(copy);
        const std::string bytes = ReadWhole(copy);
        if (bytes.empty()) Fail("cannot read " + copy);
        HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE || !FlushFileBuffers(file)) Fail("cannot flush " + copy);
        CloseHandle(file);
        if (!MoveFileExA(copy.c_str(), checked.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Fail("cannot rename " + copy);
        }
        file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        if (file == INVALID_HANDLE_VALUE ||
            !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
            !SetEndOfFile(file) || !FlushFileBuffers(file) ||
            SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) {
            Fail("cannot write " + path_);
        }
        std::string back(bytes.size(), '\0');
        if (!ReadFile(file, back.data(), static_cast<DWORD>(back.size()), &done, nullptr) ||
            back != bytes) {
            Fail("cannot read back " + path_);
        }
        CloseHandle(file);
        if (!DeleteFileA(checked.c_str())) Fail("cannot remove " + checked);
        const std::string names = ReadNames(path_, NamesBufferSize(kSections));
        ForgetFile(path_);
        return names;
    }
    // The four reads of a Recall.
    std::array<int, 4> BareRecall(const std::string& name) {
        std::array<int, 4> values{};
        for (int k = 0; k < 4; ++k) {
            char value[2048];
            GetPrivateProfileStringA(name.c_str(), kKeys[k], "", value, sizeof value,
                                     path_.c_str());
            values[k] = std::atoi(value);
        }
        ForgetFile(path_);
        return values;
    }
    // The profile functions trust what they hold of a file only once its last write is some
    // seconds old; before that they read it anew for every call.
    void PrepareFile() {
        ForgetFile(path_);
        SetLastWriteTime(path_, secondsAgo_);
    }

    const std::string path_;
    const HWND main_, combo_, memo_, checker_;
    const PlainWindows plain_;
    const std::string saved_ = SettingName(kSections / 2);
    const std::string recalled_[2] = {SettingName(kSections / 3), SettingName(kSections * 2 / 3)};
    int turn_ = 0;  // where the checker stands for the next Save
    int secondsAgo_ = 0;
    int programTurn_ = 0, readsTurn_ = 0, floorTurn_ = 0;
};

}  // namespace

void BenchSaveRecall(int rounds, const std::string& path, const ProgramWindows& program,
                     const PlainWindows& plain) {
    SaveRecallBench bench(path, program, plain);
    Rotate(rounds, "save", kSections,
           {{"program", [&] { return bench.ProgramSave(); }},
            {"newname", [&] { return bench.ProgramSaveUnderNewName(); }},
            {"newfloor", [&] { return bench.BareSaveUnderNewName(); }},
            {"floor", [&] { return bench.BareSaveOfTheSavedName(); }},
            {"plain", [&] { return bench.PlainSave(); }}});
    // Two states of the file: saved a while ago, as a recall usually finds it, and rewritten a
    // moment ago.
    for (const auto& [kind, secondsAgo] : {std::pair{"recall", 3600}, std::pair{"recallnew", 0}}) {
        bench.StartRecallSeries(secondsAgo);
        Rotate(rounds, kind, kSections,
               {{"program", [&] { return bench.ProgramRecall(); }},
                {"reads", [&] { return bench.BareRecallReads(); }},
                {"floor", [&] { return bench.PlainRecall(); }}});
    }
}

}  // namespace bench
