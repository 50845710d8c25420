#include "Failure.h"

#include <windows.h>

#include <utility>

namespace pelmora::ui {
namespace {

FailureHandler g_handler;

}  // namespace

FailureHandler SetFailureHandler(FailureHandler handler) noexcept {
    return std::exchange(g_handler, std::move(handler));
}

void ReportCurrentException() noexcept {
    if (g_handler) {
        g_handler(std::current_exception());
    } else {
        // No shell yet (or a test without one): say so plainly rather than lose it.
        MessageBeep(MB_ICONERROR);
    }
}

}  // namespace pelmora::ui
