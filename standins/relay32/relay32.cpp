// relay32.dll: the AOL client's version, on-line state and screen names.
// The version and names come from the AOL folder: the running client's
// waol.state there, else the folder's waol.ini. The on-line state comes from
// the running client itself. Like the library it stands in for, it takes
// the folder only in the form each call names (no closing backslash for the
// version, exactly one for the names) and only where AOL is installed;
// any other folder gets nothing written.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kNameBuffer = 175;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool EndsWithSeparator(const std::string& path) { return !path.empty() && (path.back() == '\\' || path.back() == '/'); }

// The AOL folder named by `folder` with `backslashes` (0 or 1) closing
// backslashes; empty when the argument has another form or names no AOL folder.
std::string AolFolder(const char* folder, int backslashes) {
  std::string path = folder ? folder : "";
  if (backslashes == 1) {
    if (!EndsWithSeparator(path)) return "";
    path.pop_back();
  }
  if (EndsWithSeparator(path) || !Exists(path + "\\waol.exe")) return "";
  return path;
}

// A client that was killed leaves its state behind; only a running one counts.
bool ClientPublished(const std::string& folder) {
  return FindWindowA("AOL Frame25", nullptr) && Exists(folder + "\\waol.state");
}

// Reads a value as the running client published it, or as it is configured.
std::string Read(const std::string& folder, const char* stateKey, const char* configKey, const char* fallback) {
  char value[1024] = {};
  const std::string state = folder + "\\waol.state";
  if (ClientPublished(folder)) {
    GetPrivateProfileStringA("State", stateKey, fallback, value, sizeof value, state.c_str());
  } else {
    GetPrivateProfileStringA("Client", configKey, fallback, value, sizeof value, (folder + "\\waol.ini").c_str());
  }
  return value;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The stored screen names (never "Guest") and the current one.
std::vector<std::string> Names(const std::string& folder, std::string& current) {
  std::vector<std::string> names;
  if (ClientPublished(folder)) {
    for (int i = 1; i <= 5; ++i) {
      const std::string key = "Name" + std::to_string(i);
      const std::string name = Trim(Read(folder, key.c_str(), "", ""));
      if (!name.empty()) names.push_back(name);
    }
    current = Trim(Read(folder, "Current", "", ""));
    return names;
  }
  const std::string list = Read(folder, "", "ScreenNames", "Tester");
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(',', start), list.size());
    const std::string name = Trim(list.substr(start, end - start));
    if (!name.empty() && lstrcmpiA(name.c_str(), "Guest") != 0 && names.size() < 5) names.push_back(name);
    start = end + 1;
  }
  current = Trim(Read(folder, "", "Current", ""));
  if (current.empty() && !names.empty()) current = names.front();
  return names;
}

void Put(char* buffer, const std::string& name) {
  if (!buffer || name.empty()) return;
  const size_t length = std::min(name.size(), kNameBuffer - 1);
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
}

}  // namespace

extern "C" {

// Writes exactly three characters, "4.0" for version 4.0; no NUL follows.
__declspec(dllexport) int __stdcall AOLGetVersion(const char* folder, char* buffer) {
  const std::string path = AolFolder(folder, 0);
  if (!buffer || path.empty()) return 0;
  const int major = std::atoi(Read(path, "Version", "Version", "4").c_str());
  const int minor = std::atoi(Read(path, "Minor", "Minor", "0").c_str());
  buffer[0] = static_cast<char>('0' + (major % 10));
  buffer[1] = '.';
  buffer[2] = static_cast<char>('0' + (minor % 10));
  return 1;
}

// 1 when no client is signed on; while one is, what that client is set to
// answer (0 unless told otherwise).
__declspec(dllexport) int __stdcall AOLIsOnline() {
  HWND frame = FindWindowA("AOL Frame25", nullptr);
  if (!frame) return 1;
  DWORD_PTR answer = 1;
  if (!SendMessageTimeoutA(frame, RegisterWindowMessageA("WAOL_STANDIN_ONLINE"), 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
    return 1;
  return static_cast<int>(answer);
}

// Buffers 1 to 5 get the stored names, buffer 6 the current one; each name
// is ended by a NUL, and buffers without a name are left as they are.
__declspec(dllexport) int __stdcall AOLGetScreenName(const char* folder, char* name1, char* name2, char* name3,
                                                     char* name4, char* name5, char* current) {
  const std::string path = AolFolder(folder, 1);
  if (path.empty()) return 0;
  std::string currentName;
  const std::vector<std::string> names = Names(path, currentName);
  char* buffers[] = {name1, name2, name3, name4, name5};
  for (size_t i = 0; i < names.size() && i < 5; ++i) Put(buffers[i], names[i]);
  Put(current, currentName);
  return static_cast<int>(names.size());
}

}  // extern "C"
