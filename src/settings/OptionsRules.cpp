#include "settings/OptionsRules.h"

#include <cctype>
#include <cstdio>

namespace glimra {

const std::vector<CheckBoxOption>& CheckBoxOptions() {
  static const std::vector<CheckBoxOption> boxes = {
      {OptionsCheck::OpenFade, "Show Fader Control Panel with Chat Room", "Options", "ShowFadePanelWithChat",
       &AppOptions::ShowFadePanelWithChat},
      {OptionsCheck::ChatKW, "Chat Room Keywords Enabled", "Options", "Use Chat KW", &AppOptions::UseChatKW},
      {OptionsCheck::EFade, "Show E-Fade toolbar with editable E-Mail", "E-Fade", "ShowEFToolbar",
       &AppOptions::ShowEFToolbar},
      {OptionsCheck::Multiline, "Use Multiline Chat Extender", "Multiline", "Use Multiline", &AppOptions::UseMultiline},
      {OptionsCheck::Alias, "Use Alias instead of screen name in E-Mail", "EMail", "Use Alias", &AppOptions::UseAlias},
      {OptionsCheck::FadeSample, "Show sample of Fade Scheme in E-Mail", "EMail", "Show EMail Sample",
       &AppOptions::ShowEMailSample},
  };
  return boxes;
}

const CheckBoxOption& CheckBoxFor(OptionsCheck check) {
  for (const CheckBoxOption& box : CheckBoxOptions())
    if (box.check == check) return box;
  return CheckBoxOptions().front();
}

StoredSetting ApplyCheckBox(AppOptions& options, OptionsCheck check, bool checked) {
  const CheckBoxOption& box = CheckBoxFor(check);
  options.*box.field = ToVBBool(checked);
  return {box.subkey, box.valueName, checked ? "True" : "False"};
}

const std::vector<std::string>& BurstEntries() {
  static const std::vector<std::string> entries = {"0.10", "0.25", "0.50", "0.75", "1",    "1.25", "1.50",
                                                   "1.75", "2",    "2.25", "2.50", "2.75", "3"};
  return entries;
}

const std::vector<std::string>& LineEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> numbers;
    for (int n = 20; n <= 92; ++n) numbers.push_back(std::to_string(n));
    return numbers;
  }();
  return entries;
}

int FindEntryByPrefix(const std::vector<std::string>& entries, const std::string& text) {
  const auto begins = [&](const std::string& entry) {
    if (entry.size() < text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(entry[i])) != std::tolower(static_cast<unsigned char>(text[i])))
        return false;
    return true;
  };
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (begins(entries[i])) return static_cast<int>(i);
  return -1;
}

// Seven significant digits, as a single-precision number prints.
std::string SingleText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
  return text;
}

int BurstEntryFor(float burst) { return FindEntryByPrefix(BurstEntries(), SingleText(burst)); }

int LineEntryFor(std::int32_t charsInLine) { return FindEntryByPrefix(LineEntries(), CStr(charsInLine)); }

StoredSetting ChooseBurst(AppOptions& options, const std::string& entry) {
  options.MultilineBurst = CSng(entry);
  return {"Multiline", "Multiline Burst", SingleText(options.MultilineBurst)};
}

StoredSetting ChooseLines(AppOptions& options, const std::string& entry) {
  options.CharsInLine = CInt(entry);
  return {"Multiline", "Chars In Line", CStr(options.CharsInLine)};
}

StoredSetting ApplyAliasName(AppOptions& options, const std::string& text) {
  options.AliasName = text;
  return {"EMail", "Alias Name", text};
}

bool MultilineControlsEnabled(bool multilineChecked) { return multilineChecked; }
bool AliasControlsEnabled(bool aliasChecked) { return aliasChecked; }

std::optional<bool> SetColorsEnabledFor(std::int16_t mode) {
  if (mode < 0 || mode > 2) return std::nullopt;
  return mode == 2;
}

std::optional<int> ModeButtonFor(std::int16_t mode) {
  if (mode < 0 || mode > 2) return std::nullopt;
  return mode;
}

bool FixedLooksEnabled(VBBool lowColor) { return !IsTrue(lowColor); }

const std::vector<SwatchOption>& SwatchOptions() {
  static const std::vector<SwatchOption> swatches = {
      {UserSwatch::WindowColor, "Window Color", "WindowColor", &UserColors::WindowColor},
      {UserSwatch::ButtonForecolor, "Button Forecolor", "ButtonForecolor", &UserColors::ButtonForecolor},
      {UserSwatch::ButtonHighlight, "Button Highlight", "ButtonHighlight", &UserColors::ButtonHighlight},
      {UserSwatch::ButtonText, "Button Text", "ButtonText", &UserColors::ButtonText},
  };
  return swatches;
}

namespace {

const SwatchOption& SwatchFor(UserSwatch swatch) {
  for (const SwatchOption& option : SwatchOptions())
    if (option.swatch == swatch) return option;
  return SwatchOptions().front();
}

}  // namespace

StoredSetting ApplySwatchPick(UserColors& colours, UserSwatch swatch, Colour picked) {
  const SwatchOption& option = SwatchFor(swatch);
  colours.*option.field = picked;
  return {"User Colors", option.valueName, CStr(static_cast<std::int32_t>(picked))};
}

}  // namespace glimra
