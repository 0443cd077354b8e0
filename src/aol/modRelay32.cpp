#include "aol/modRelay32.h"

#include <windows.h>

#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

using GetVersionFn = int(__stdcall*)(const char*, char*);
using IsOnlineFn = int(__stdcall*)();
using GetScreenNameFn = int(__stdcall*)(const char*, char*, char*, char*, char*, char*, char*);

constexpr std::size_t kScreenNameBuffer = 175;

// The library stays loaded for the whole run, as a declared import would.
template <class Function>
Function RelayFunction(const char* name) {
  static HMODULE relay = LoadLibraryA("relay32.dll");
  if (!relay) RaiseError(kErrFileNotFound);
  FARPROC function = GetProcAddress(relay, name);
  if (!function) throw RuntimeError(453, std::string("Can't find DLL entry point ") + name + " in relay32.dll");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

}  // namespace

std::string RelayVersion(const std::string& aolFolder) {
  const auto getVersion = RelayFunction<GetVersionFn>("AOLGetVersion");
  char buffer[4] = {};  // three characters, and room for a NUL the library may add
  getVersion(aolFolder.c_str(), buffer);
  return std::string(buffer, 3).c_str();
}

std::int32_t RelayIsOnline() {
  const auto isOnline = RelayFunction<IsOnlineFn>("AOLIsOnline");
  return isOnline();
}

std::array<std::string, 6> RelayScreenNames(const std::string& aolFolderWithBackslash) {
  const auto getNames = RelayFunction<GetScreenNameFn>("AOLGetScreenName");
  // Each buffer has one byte more than its blanks, for a NUL the library may write after them.
  std::array<std::string, 6> buffers;
  for (std::string& buffer : buffers) buffer.assign(kScreenNameBuffer + 1, ' ');
  getNames(aolFolderWithBackslash.c_str(), buffers[0].data(), buffers[1].data(), buffers[2].data(), buffers[3].data(),
           buffers[4].data(), buffers[5].data());
  for (std::string& buffer : buffers) buffer.resize(kScreenNameBuffer);
  return buffers;
}

}  // namespace glimra
