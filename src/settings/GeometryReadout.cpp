// The text of the geometry readout; kept apart from the commands so that it builds on its own.
#include <string>

#include "SettingCommands.h"

namespace pelmora {

std::string GeometryReadout(const CheckerGeometry& geometry) {
    std::string text;
    text.reserve(48);
    text += "pos_x=";
    text += std::to_string(geometry.left);
    text += "\r\npos_y=";
    text += std::to_string(geometry.top);
    text += "\r\nwidth=";
    text += std::to_string(geometry.width);
    return text;
}

}  // namespace pelmora
