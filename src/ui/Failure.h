// Where failures that escape a window's handler go: the shell installs its failure display.
// The one process-wide setting of the window layer: a window procedure has nothing else to reach
// the shell by.
#pragma once

#include <exception>
#include <functional>

namespace pelmora::ui {

using FailureHandler = std::function<void(std::exception_ptr failure)>;

// Installs the handler that shows failures; returns the one it replaces. The handler must not
// throw.
FailureHandler SetFailureHandler(FailureHandler handler) noexcept;

// Hands the exception being handled to the installed handler. Call only inside a catch block.
void ReportCurrentException() noexcept;

}  // namespace pelmora::ui
