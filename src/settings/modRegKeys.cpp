#include "settings/modRegKeys.h"

#include <windows.h>

#include <algorithm>

#include "settings/AppOptions.h"
#include "settings/MakerSite.h"

namespace glimra {

const char kSettingsRoot[] = "Software\\Zol Software\\Glimra\\";

namespace {

std::string KeyPath(const std::string& subkey) {
  std::string path = kSettingsRoot + subkey;
  // The root itself is addressed without its closing separator.
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool WriteSetting(const std::string& subkey, const std::string& valueName, const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::string text = value.empty() ? std::string(" ") : value;
  const LONG result = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                                     static_cast<DWORD>(text.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string ReadSetting(const std::string& subkey, const std::string& valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return "";
  char buffer[kSettingReadLimit] = {};
  DWORD size = sizeof buffer;
  DWORD type = REG_NONE;
  const LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
  std::string text(buffer, std::min<size_t>(size, sizeof buffer));
  text = text.substr(0, text.find('\0'));
  // A text that fills the whole buffer has no room for its terminating zero:
  // it is longer than a setting can be.
  if (text.size() >= kSettingReadLimit) return "";
  return text;
}

bool DeleteSettingKey(const std::string& subkey) {
  return RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath(subkey).c_str()) == ERROR_SUCCESS;
}

// The options and user colours as start-up loads them: from the registry.
void LoadOptions() { LoadOptions(ReadSetting); }
void LoadUserColors() { LoadUserColors(ReadSetting); }
MakerSite ReadMakerSite() { return ReadMakerSite(ReadSetting); }

}  // namespace glimra
