// The three primitives every part of Glimra uses on its settings tree,
// HKEY_CURRENT_USER "Software\Zol Software\Glimra\". Subkeys are paths
// relative to that root ("" for the root itself, "Colors", "Schemes\Name").
// Values are REG_SZ text. None of them reports anything; each opens and
// closes its key on every call.
#pragma once

#include <string>

namespace glimra {

extern const char kSettingsRoot[];  // "Software\Zol Software\Glimra\"

// Values this long or longer (in bytes, without the terminating zero) do not
// fit the read buffer and read as missing.
constexpr size_t kSettingReadLimit = 1024;

// Creates the key if needed and stores `value` (an empty text as one blank).
// True when stored.
bool WriteSetting(const std::string& subkey, const std::string& valueName, const std::string& value);

// The stored text, cut at its first zero byte; the empty text when the key or
// value is missing, too long, or not a text value.
std::string ReadSetting(const std::string& subkey, const std::string& valueName);

// Deletes the key root + subkey (which must have no subkeys). True on success.
bool DeleteSettingKey(const std::string& subkey);

}  // namespace glimra
