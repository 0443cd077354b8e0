#include "shell/modToolHelp.h"

#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>

#include "runtime/ErrorReporting.h"
#include "shell/modMsgBox.h"

namespace glimra {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

bool ProcessRunning(const std::string& fragment) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = Lower(entry.szExeFile).find(fragment) != std::string::npos;
  CloseHandle(snapshot);
  return found;
}

void CheckForEchorra() {
  bool running = false;
  RunProcedure({"modToolHelp", "CheckForEchorra"}, [&] { running = ProcessRunning("echorra32.exe"); });
  if (!running) return;
  ShowMsg(
      "~B~CRGlimra has detected that Echorra 32 is currently running!~B~CN~N ~NGlimra is ~Bnot compatible with "
      "Echorra 32~B.  Running both together can cause errors.~N ~NIt should also be noted that Echorra 32 already has "
      "every feature of the Glimra program!  :)~N ~NGlimra will now end.",
      64);
  EndProgram();
}

}  // namespace glimra
