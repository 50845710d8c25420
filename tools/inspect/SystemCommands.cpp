// The commands about the system and the argument reading that all commands share.
#include <cstdlib>

#include "Commands.h"
#include "Json.h"

namespace inspect {

std::optional<long long> Args::Number(size_t index) const {
    if (index >= words_.size() || words_[index].empty()) return std::nullopt;
    char* end = nullptr;
    const long long number = std::strtoll(words_[index].c_str(), &end, 0);
    if (end == nullptr || *end != '\0') return std::nullopt;
    return number;
}

std::optional<HWND> Args::Window(size_t index) const {
    const std::optional<long long> number = Number(index);
    if (!number) return std::nullopt;
    return HandleFromNumber(*number);
}

std::optional<std::string> Args::Bytes(size_t index) const {
    if (index >= words_.size()) return std::nullopt;
    return FromHex(words_[index]);
}

std::string Ping(const Args&) {
    return Ok();
}

std::string CodePages(const Args&) {
    return Ok(",\"acp\":" + Num(GetACP()) + ",\"oemcp\":" + Num(GetOEMCP()));
}

std::string ScreenMetrics(const Args&) {
    return Ok(",\"width\":" + Num(GetSystemMetrics(SM_CXSCREEN)) +
              ",\"height\":" + Num(GetSystemMetrics(SM_CYSCREEN)) +
              ",\"caption\":" + Num(GetSystemMetrics(SM_CYCAPTION)) +
              ",\"frame\":" + Num(GetSystemMetrics(SM_CXSIZEFRAME)) +
              ",\"min_track_width\":" + Num(GetSystemMetrics(SM_CXMINTRACK)) +
              ",\"min_track_height\":" + Num(GetSystemMetrics(SM_CYMINTRACK)));
}

std::string Monitors(const Args&) {
    std::string list;
    const MONITORENUMPROC add = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!GetMonitorInfoW(monitor, &info)) return TRUE;
        std::string& out = *reinterpret_cast<std::string*>(data);
        out += std::string(out.empty() ? "" : ",") + "{\"rect\":" + RectJson(info.rcMonitor) +
               ",\"work\":" + RectJson(info.rcWork) +
               ",\"primary\":" + Bool((info.dwFlags & MONITORINFOF_PRIMARY) != 0) + "}";
        return TRUE;
    };
    if (!EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&list))) {
        return Error("EnumDisplayMonitors failed");
    }
    const RECT virtualScreen{
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return Ok(",\"monitors\":[" + list + "],\"virtual\":" + RectJson(virtualScreen));
}

std::string CursorPosition(const Args&) {
    POINT point = {};
    if (!GetCursorPos(&point)) return Error("GetCursorPos failed");
    return Ok(",\"x\":" + Num(point.x) + ",\"y\":" + Num(point.y));
}

}  // namespace inspect
