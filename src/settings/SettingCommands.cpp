#include "SettingCommands.h"

#include <vector>

#include "Errors.h"
#include "SettingsFile.h"

namespace pelmora {
namespace {

// The four keys of a setting, in the order in which they are written and recalled.
struct GeometryField {
    const char* key;
    std::int32_t CheckerGeometry::*value;
    void (ICheckerGeometry::*set)(std::int32_t);
};

constexpr GeometryField kGeometryFields[] = {
    {"pos_x", &CheckerGeometry::left, &ICheckerGeometry::SetLeft},
    {"pos_y", &CheckerGeometry::top, &ICheckerGeometry::SetTop},
    {"width", &CheckerGeometry::width, &ICheckerGeometry::SetWidth},
    {"height", &CheckerGeometry::height, &ICheckerGeometry::SetHeight},
};

}  // namespace

SettingCommands::SettingCommands(INameBox& nameBox, ICheckerGeometry& checker,
                                 IReadoutArea& readout, PathSource settingsPath,
                                 unsigned long lockLimitMs)
    : nameBox_(nameBox),
      checker_(checker),
      readout_(readout),
      settingsPath_(std::move(settingsPath)),
      lockLimitMs_(lockLimitMs) {}

void SettingCommands::ListSettings(const std::string& name) {
    std::string path;
    try {
        path = settingsPath_();
    } catch (...) {
        nameBox_.ClearItems();  // a file that cannot be found lists nothing
        throw;
    }
    // A lock that cannot be had throws before anything is read: the list stays as it was. The
    // file is released before the list is shown, as in Save and Delete.
    const std::vector<std::string> names = ReadNames(SettingsFile(path, lockLimitMs_));
    ShowList(names, name);
}

std::vector<std::string> SettingCommands::ReadNames(const SettingsFile& file) {
    std::vector<std::string> names;
    try {
        file.ListSectionNames(names);
    } catch (...) {
        nameBox_.ClearItems();  // a file that cannot be read lists nothing
        throw;
    }
    return names;
}

void SettingCommands::ShowList(const std::vector<std::string>& names, const std::string& name) {
    nameBox_.ReplaceItems(names);
    nameBox_.SetText("");
    if (!name.empty()) nameBox_.SetItemIndex(nameBox_.FindExact(name));
}

void SettingCommands::Save() {
    const std::optional<std::string> name = nameBox_.Text();
    if (!name) throw ESettingNameException::OutsideCodePage();
    if (name->empty()) return;
    std::vector<std::string> names;
    {
        // One hold of the settings file from the first write to the reading of the list:
        // another copy's command comes before or after, never in between. Each value is a
        // write of its own; they reach the file together, or (a failure) none does.
        SettingsFile file(settingsPath_(), lockLimitMs_);
        for (const GeometryField& field : kGeometryFields) {
            file.WriteIntValue(*name, field.key, checker_.Geometry().*field.value);
        }
        file.Commit();
        names = ReadNames(file);
    }
    ShowList(names, *name);
}

void SettingCommands::Recall() {
    const std::optional<std::string> name = nameBox_.Text();
    if (name && name->empty()) return;
    if (!name) {
        // No section bears the name: every value is missing.
        for (const GeometryField& field : kGeometryFields) (checker_.*field.set)(kRecallDefault);
    } else {
        // One value read and applied before the next: the checker moves in four steps.
        const SettingsFile file(settingsPath_(), lockLimitMs_);
        for (const GeometryField& field : kGeometryFields) {
            (checker_.*field.set)(file.ReadIntValue(*name, field.key, kRecallDefault));
        }
    }
    ShowCheckerGeometry();
}

void SettingCommands::Delete() {
    const std::optional<std::string> name = nameBox_.Text();
    if (!name) throw ESettingNameException::OutsideCodePage();
    if (name->empty()) return;
    std::vector<std::string> names;
    {
        SettingsFile file(settingsPath_(), lockLimitMs_);  // one hold, as in Save
        file.RemoveSection(*name);
        file.Commit();
        names = ReadNames(file);
    }
    ShowList(names, *name);
}

void SettingCommands::ShowCheckerGeometry() {
    readout_.SetText(GeometryReadout(checker_.Geometry()));
}

}  // namespace pelmora
