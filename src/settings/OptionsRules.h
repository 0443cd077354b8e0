// The options dialog's rules apart from its window: what each check box
// edits and stores, the entries of the two lists and which entry a stored
// number selects, what a chosen entry and the alias store, which controls are
// enabled and which button shows the colour mode. Also the user colours
// dialog's swatches and what a pick stores. Each of these names the value it
// stores, which LoadOptions and LoadUserColors read back at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "settings/AppOptions.h"

namespace glimra {

// One value a dialog writes to the settings tree: where, and the text.
struct StoredSetting {
  std::string subkey;
  std::string valueName;
  std::string text;
};

enum class OptionsCheck { OpenFade, ChatKW, EFade, Multiline, Alias, FadeSample };

struct CheckBoxOption {
  OptionsCheck check;
  const char* caption;
  const char* subkey;
  const char* valueName;
  VBBool AppOptions::*field;
};
// The six check boxes in the order the dialog shows them.
const std::vector<CheckBoxOption>& CheckBoxOptions();
const CheckBoxOption& CheckBoxFor(OptionsCheck check);

// A click on a check box: the field takes the box's state; what to store.
StoredSetting ApplyCheckBox(AppOptions& options, OptionsCheck check, bool checked);

// The entries of cboBurstSecs and cboLines, in list order.
const std::vector<std::string>& BurstEntries();
const std::vector<std::string>& LineEntries();

// The first entry that begins with `text`, letter case aside, searched from
// the top as the combo box's prefix search does; -1 when none does.
int FindEntryByPrefix(const std::vector<std::string>& entries, const std::string& text);

// The text a real number is written as ("1.5", "0.25", "1"), as stored and
// as the burst list is searched for.
std::string SingleText(float value);

// The entries the stored options select when the dialog opens; -1 for none.
int BurstEntryFor(float burst);
int LineEntryFor(std::int32_t charsInLine);

// Choosing an entry: the field takes it; what to store.
StoredSetting ChooseBurst(AppOptions& options, const std::string& entry);
StoredSetting ChooseLines(AppOptions& options, const std::string& entry);

// The alias as typed, taken when the dialog closes; what to store.
StoredSetting ApplyAliasName(AppOptions& options, const std::string& text);

// What the dialog's state enables.
bool MultilineControlsEnabled(bool multilineChecked);
bool AliasControlsEnabled(bool aliasChecked);
// "Set Colors" for a mode: enabled in the user colours look, disabled in the
// two others, left as it is for any other value.
std::optional<bool> SetColorsEnabledFor(std::int16_t mode);
// The option button (0, 1, 2) that shows a mode; none for other values.
std::optional<int> ModeButtonFor(std::int16_t mode);
// The two fixed looks and their heading are offered unless the screen is low-colour.
bool FixedLooksEnabled(VBBool lowColor);

// The user colours dialog's four swatches, in the order it shows them.
enum class UserSwatch { WindowColor, ButtonForecolor, ButtonHighlight, ButtonText };
struct SwatchOption {
  UserSwatch swatch;
  const char* caption;
  const char* valueName;  // under "User Colors"
  Colour UserColors::*field;
};
const std::vector<SwatchOption>& SwatchOptions();
// A pick (or a cancelled one, which gives the colour it started from): the
// user colour takes it; what to store.
StoredSetting ApplySwatchPick(UserColors& colours, UserSwatch swatch, Colour picked);

}  // namespace glimra
