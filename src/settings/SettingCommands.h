// The program's logic: listing, saving, recalling and deleting named settings, and the text of
// the geometry readout. The windows are reached only through the three interfaces below.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SettingsLock.h"

namespace pelmora {

class SettingsFile;

// The checker window's outer rectangle in screen pixels.
struct CheckerGeometry {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const CheckerGeometry&, const CheckerGeometry&) = default;
};

// The name box: an editable text over a list of items.
class INameBox {
  public:
    // The edit text in the ANSI code page, in which setting names are held; nothing when the
    // code page cannot hold it exactly (a character it lacks would turn into "?" or a
    // look-alike, and the text would name another setting).
    virtual std::optional<std::string> Text() const = 0;
    // Leaves the box untouched when it already shows `text`.
    virtual void SetText(const std::string& text) = 0;
    // Removes every item; the edit text stays.
    virtual void ClearItems() = 0;
    // Appends an item; throws ENameBoxException when the box cannot take it.
    virtual void AddItem(const std::string& item) = 0;
    // Appends the items in order, as AddItem one by one; a box may take them faster at once.
    virtual void AddItems(const std::vector<std::string>& items) {
        for (const std::string& item : items) AddItem(item);
    }
    // Removes every item and appends `items`, as ClearItems and AddItems; a box may keep the
    // items it already has where they stay the same.
    virtual void ReplaceItems(const std::vector<std::string>& items) {
        ClearItems();
        AddItems(items);
    }
    // Index of the first item equal to `text` as a whole, or -1.
    virtual int FindExact(const std::string& text) const = 0;
    // Selects an item (its text goes into the edit text), or none with -1.
    virtual void SetItemIndex(int index) = 0;

  protected:
    ~INameBox() = default;
};

// The checker window's geometry: each set takes effect at once.
class ICheckerGeometry {
  public:
    virtual CheckerGeometry Geometry() const = 0;
    virtual void SetLeft(std::int32_t left) = 0;
    virtual void SetTop(std::int32_t top) = 0;
    virtual void SetWidth(std::int32_t width) = 0;
    virtual void SetHeight(std::int32_t height) = 0;

  protected:
    ~ICheckerGeometry() = default;
};

// The readout area: one text, only ever replaced as a whole.
class IReadoutArea {
  public:
    // Leaves the area untouched when it already holds `text`.
    virtual void SetText(const std::string& text) = 0;

  protected:
    ~IReadoutArea() = default;
};

// "pos_x=<left>\r\npos_y=<top>\r\nwidth=<width>": the height is not shown.
std::string GeometryReadout(const CheckerGeometry& geometry);

// The value that Recall takes for a setting or key that is missing.
inline constexpr std::int32_t kRecallDefault = 50;

// The commands behind the main window. Each opens the settings file at its start and releases
// it, flushed, before it returns, also when it ends by a failure; nothing is kept between calls.
class SettingCommands {
  public:
    // Where the settings file is; asked anew by every command.
    using PathSource = std::function<std::string()>;

    // Each command waits for another running copy's command at most `lockLimitMs` and fails,
    // having written nothing, when that is not enough.
    SettingCommands(INameBox& nameBox, ICheckerGeometry& checker, IReadoutArea& readout,
                    PathSource settingsPath, unsigned long lockLimitMs = kSettingsLockLimitMs);

    // Refills the name box from the file and selects `name` when it is given.
    void ListSettings(const std::string& name);
    // Save: the checker's geometry under the name in the name box. A name that the code page
    // cannot hold is refused (ESettingNameException) before the file is touched. The four values
    // reach the file together or, when the command fails, none does.
    void Save();
    // Recall: the geometry saved under the name in the name box, onto the checker. A name that
    // the code page cannot hold reads as a missing setting.
    void Recall();
    // Delete: the setting that bears the name in the name box; refuses a name as Save does.
    void Delete();
    // The checker's current geometry into the readout area.
    void ShowCheckerGeometry();

  private:
    // The names in the file; the name box emptied when they cannot be read.
    std::vector<std::string> ReadNames(const SettingsFile& file);
    // Refills the name box with `names` and selects `name` when it is given.
    void ShowList(const std::vector<std::string>& names, const std::string& name);

    INameBox& nameBox_;
    ICheckerGeometry& checker_;
    IReadoutArea& readout_;
    PathSource settingsPath_;
    unsigned long lockLimitMs_;
};

}  // namespace pelmora
