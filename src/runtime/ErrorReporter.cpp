#include "runtime/ErrorReporter.h"

#include <windows.h>

#include <string>

#include "runtime/Forms.h"

namespace glimra {

namespace {

std::string ReportText(const ErrorReport& report) {
  return "An unexpected error occurred in " + report.product + " " + report.version + ".\n\n" + "Module:\t" +
         report.module + "\nProcedure:\t" + report.procedure + "\nLine:\t" + std::to_string(report.line) +
         "\nError:\t" + report.number + "\nDescription:\t" + report.description + "\n\nAbort ends " + report.product +
         ", Retry runs the failing step again, Ignore skips it.";
}

}  // namespace

std::int16_t ShowErrorReport(const ErrorReport& report) {
  const int answer = MessageBoxA(nullptr, ReportText(report).c_str(), kErrorReportCaption,
                                 MB_ABORTRETRYIGNORE | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
  return static_cast<std::int16_t>(answer);
}

VBBool MeasureLowColorFlag(VBBool current) {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDC(desktop);
  if (!dc) return current;
  const int bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(desktop, dc);
  return LowColorFlagFor(bitsPerPixel, current);
}

void InstallErrorReporting() {
  ErrorEnvironment& environment = CurrentErrorEnvironment();
  environment.report = ShowErrorReport;
  environment.unloadAllForms = [] { UnloadAllForms(); };
  environment.endProgram = [] { ExitProcess(0); };
}

}  // namespace glimra
