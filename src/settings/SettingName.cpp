#include "SettingName.h"

namespace pelmora {

SettingNameFault CheckSettingName(std::string_view name) {
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return SettingNameFault::kLineBreak;
    }
    if (name.size() > kSettingNameLimit) return SettingNameFault::kTooLong;
    constexpr std::string_view kBlanks = " \t\v\f\x1A";
    const bool onlyBlanks = name.find_first_not_of(kBlanks) == std::string_view::npos;
    if (!onlyBlanks && (kBlanks.find(name.front()) != std::string_view::npos ||
                        kBlanks.find(name.back()) != std::string_view::npos)) {
        return SettingNameFault::kBlanksAround;
    }
    return SettingNameFault::kNone;
}

}  // namespace pelmora
