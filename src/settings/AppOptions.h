// The options record and the user colours, and how start-up loads them and
// the live fade settings from the settings tree, with the defaults of a
// fresh installation.
#pragma once

#include <cstdint>
#include <string>

#include "engine/modFade.h"
#include "runtime/Conversions.h"
#include "settings/SchemeFile.h"

namespace glimra {

// The user's options, one program-wide record. Fields the store has not yet
// set are False, 0 or empty.
struct AppOptions {
  std::string CurrentScheme;
  VBBool ShowFadePanelWithChat = kFalse;
  VBBool UseChatKW = kFalse;
  VBBool UseMultiline = kFalse;
  VBBool UseAlias = kFalse;
  VBBool ShowEMailSample = kFalse;
  VBBool ShowEFToolbar = kFalse;
  float MultilineBurst = 0;  // seconds between bursts
  std::int32_t CharsInLine = 0;
  std::string AliasName;
  std::string AOLPath;  // no trailing "\"; filled by the AOL detection
};
AppOptions& LiveAppOptions();

// The four colours of the "user colours" look, stored under "User Colors".
struct UserColors {
  Colour WindowColor = 0;
  Colour ButtonForecolor = 0;
  Colour ButtonHighlight = 0;
  Colour ButtonText = 0;
};
UserColors& LiveUserColors();

constexpr Colour kDefaultWindowColor = static_cast<Colour>(0x8000000F);  // system button face
constexpr Colour kDefaultButtonForecolor = 11365632;
constexpr Colour kDefaultButtonHighlight = 16757388;
constexpr Colour kDefaultButtonText = 16777215;
constexpr const char kDefaultSchemeName[] = "Cool Fade";

// Fills the stored fields of LiveFadeSettings() and of LiveAppOptions()
// (all but AOLPath) through `read`, value by value in a fixed order. A
// stored value that does not convert goes to the error handler (site
// "modGlimra" / "LoadOptions"): Retry reads and converts it again, Ignore
// keeps the field as it was and goes on with the next value.
void LoadOptions(const SettingReader& read);

// Fills LiveUserColors() through `read`; blank values give the defaults.
void LoadUserColors(const SettingReader& read);

#ifdef _WIN32
// The same from the registry (ReadSetting).
void LoadOptions();
void LoadUserColors();
#endif

}  // namespace glimra
