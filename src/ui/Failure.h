// Where failures that escape a window's handler go: the shell installs its failure display.
#pragma once

#include <exception>

namespace pelmora::ui {

using FailureHandler = void (*)(std::exception_ptr failure) noexcept;

// Installs the handler that shows failures; returns the one it replaces.
FailureHandler SetFailureHandler(FailureHandler handler) noexcept;

// Hands the exception being handled to the installed handler. Call only inside a catch block.
void ReportCurrentException() noexcept;

}  // namespace pelmora::ui
