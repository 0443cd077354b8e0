// The Win32 side of error reporting: the report box and the program-wide
// values every report carries.
#pragma once

#include <cstdint>

#include "runtime/ErrorReporting.h"

namespace glimra {

// The caption of the report box.
constexpr char kErrorReportCaption[] = "Glimra Error Report";

// Shows one report as an Abort / Retry / Ignore box and returns the answer
// (3, 4 or 5).
std::int16_t ShowErrorReport(const ErrorReport& report);

// The low-colour flag measured on the desktop: bits per pixel of its device context.
VBBool MeasureLowColorFlag(VBBool current);

// Installs the report box, the unload of every form and the immediate end of
// the program as the uniform error handler's world.
void InstallErrorReporting();

}  // namespace glimra
