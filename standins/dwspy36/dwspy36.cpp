// dwspy36.dll: module paths of other processes (Tool Help snapshots, which
// Windows 95 and 98 have as well) and plain memory copies.
#include "dwspy36.h"

// windows.h must come first.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <cstring>
#include <string>

namespace {

// Copies `text` into the caller's buffer, cut to fit; returns its length.
DWORD Deliver(const std::string& text, LPSTR buffer, DWORD bufferSize) {
  if (buffer && bufferSize > 0) lstrcpynA(buffer, text.c_str(), static_cast<int>(bufferSize));
  return static_cast<DWORD>(text.size());
}

// Windows 95 and 98 may name a module otherwise than its file, so the file
// name at the end of its path counts as well.
bool IsNamed(const MODULEENTRY32& entry, LPCSTR moduleName) {
  if (lstrcmpiA(entry.szModule, moduleName) == 0) return true;
  const char* slash = std::strrchr(entry.szExePath, '\\');
  return lstrcmpiA(slash ? slash + 1 : entry.szExePath, moduleName) == 0;
}

// The process's own program file comes first in the snapshot, so asking
// for it ends the walk at once.
std::string FromSnapshot(DWORD processId, LPCSTR moduleName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return "";
  std::string path;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    if (IsNamed(entry, moduleName)) {
      path = entry.szExePath;
      break;
    }
  }
  CloseHandle(snapshot);
  return path;
}

}  // namespace

extern "C" {

DWORD WINAPI dwXGetModuleFileName(DWORD processId, LPCSTR moduleName, LPSTR buffer, DWORD bufferSize) {
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  if (!moduleName || !*moduleName) return 0;
  return Deliver(FromSnapshot(processId, moduleName), buffer, bufferSize);
}

BOOL WINAPI dwCopyData(const void* source, void* destination, DWORD byteCount) {
  if (byteCount == 0) return TRUE;
  if (!source || !destination) return FALSE;
  std::memmove(destination, source, byteCount);
  return TRUE;
}

DWORD WINAPI dwGetStringFromLPSTR(LPCSTR address, LPSTR buffer, DWORD bufferSize) {
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  if (!address) return 0;
  return Deliver(address, buffer, bufferSize);
}

}  // extern "C"
