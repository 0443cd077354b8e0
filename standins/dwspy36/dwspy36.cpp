// dwspy36.dll: module paths of other processes (the process's image name for
// its program file; Tool Help snapshots, with the process-status functions as
// a second way, for the others) and plain memory copies.
#include "dwspy36.h"

// windows.h must come first.
// clang-format off
#include <windows.h>
#include <psapi.h>
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

// The process's own program file: one question to the system rather than a
// walk over every module the process has loaded.
std::string FromImageName(DWORD processId, LPCSTR moduleName) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return "";
  std::string path;
  char image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (QueryFullProcessImageNameA(process, 0, image, &size)) {
    const char* slash = std::strrchr(image, '\\');
    if (lstrcmpiA(slash ? slash + 1 : image, moduleName) == 0) path.assign(image, size);
  }
  CloseHandle(process);
  return path;
}

std::string FromSnapshot(DWORD processId, LPCSTR moduleName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return "";
  std::string path;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szModule, moduleName) == 0) {
      path = entry.szExePath;
      break;
    }
  }
  CloseHandle(snapshot);
  return path;
}

std::string FromProcessStatus(DWORD processId, LPCSTR moduleName) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return "";
  std::string path;
  HMODULE modules[1024];
  DWORD needed = 0;
  if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
    const DWORD count = needed / sizeof(HMODULE) < 1024 ? needed / sizeof(HMODULE) : 1024;
    for (DWORD i = 0; i < count && path.empty(); ++i) {
      char name[MAX_PATH] = {}, full[MAX_PATH] = {};
      if (GetModuleBaseNameA(process, modules[i], name, MAX_PATH) && lstrcmpiA(name, moduleName) == 0 &&
          GetModuleFileNameExA(process, modules[i], full, MAX_PATH))
        path = full;
    }
  }
  CloseHandle(process);
  return path;
}

}  // namespace

extern "C" {

DWORD WINAPI dwXGetModuleFileName(DWORD processId, LPCSTR moduleName, LPSTR buffer, DWORD bufferSize) {
  if (buffer && bufferSize > 0) buffer[0] = '\0';
  if (!moduleName || !*moduleName) return 0;
  std::string path = FromImageName(processId, moduleName);
  if (path.empty()) path = FromSnapshot(processId, moduleName);
  if (path.empty()) path = FromProcessStatus(processId, moduleName);
  return Deliver(path, buffer, bufferSize);
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
