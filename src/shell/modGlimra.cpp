// Glimra's program entry. It runs beside the AOL client and has no main
// window of its own.
#include <windows.h>

#include "engine/modFade.h"
#include "shell/ErrorReporter.h"
#include "shell/ErrorReporting.h"
#include "shell/EventPump.h"

namespace glimra {

void SetProgramWideValues() {
  VersionText() = MakeVersionText(GLIMRA_VERSION_MAJOR, GLIMRA_VERSION_MINOR, GLIMRA_VERSION_REVISION);
  LowColorFlag() = MeasureLowColorFlag(LowColorFlag());
  InstallErrorReporting();
  SetFadeYield(DoEvents);
}

}  // namespace glimra

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  glimra::SetProgramWideValues();
  return 0;
}
