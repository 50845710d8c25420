#include "SettingCommands.h"

#include <vector>

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
                                 IReadoutArea& readout, PathSource settingsPath)
    : nameBox_(nameBox),
      checker_(checker),
      readout_(readout),
      settingsPath_(std::move(settingsPath)) {}

void SettingCommands::ListSettings(const std::string& name) {
    std::vector<std::string> names;
    try {
        const SettingsFile file(settingsPath_());
        file.ListSectionNames(names);
    } catch (...) {
        nameBox_.ClearItems();  // a file that cannot be read lists nothing
        throw;
    }
    nameBox_.ReplaceItems(names);
    nameBox_.SetText("");
    if (!name.empty()) nameBox_.SetItemIndex(nameBox_.FindExact(name));
}

void SettingCommands::Button1Click() {
    const std::string name = nameBox_.Text();
    if (name.empty()) return;
    {
        // Each value goes to the file by a write of its own; a failed write ends the command
        // and leaves the earlier ones in the file.
        SettingsFile file(settingsPath_());
        for (const GeometryField& field : kGeometryFields) {
            file.WriteIntValue(name, field.key, checker_.Geometry().*field.value);
        }
    }
    ListSettings(nameBox_.Text());
}

void SettingCommands::Button2Click() {
    const std::string name = nameBox_.Text();
    if (name.empty()) return;
    {
        // One value read and applied before the next: the checker moves in four steps.
        const SettingsFile file(settingsPath_());
        for (const GeometryField& field : kGeometryFields) {
            (checker_.*field.set)(file.ReadIntValue(name, field.key, kRecallDefault));
        }
    }
    ShowCheckerGeometry();
}

void SettingCommands::Button3Click() {
    const std::string name = nameBox_.Text();
    if (name.empty()) return;
    {
        SettingsFile file(settingsPath_());
        file.RemoveSection(name);
    }
    ListSettings(nameBox_.Text());
}

void SettingCommands::ShowCheckerGeometry() {
    readout_.SetText(GeometryReadout(checker_.Geometry()));
}

}  // namespace pelmora
