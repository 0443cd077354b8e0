#include "settings/AppOptions.h"

#include "runtime/ErrorReporting.h"

namespace glimra {

AppOptions& LiveAppOptions() {
  static AppOptions options;
  return options;
}

UserColors& LiveUserColors() {
  static UserColors colors;
  return colors;
}

namespace {

// A switch that is on unless the store says "False"; text other than
// "True", "False" or empty leaves it as it was.
void SetOnUnlessFalse(VBBool& field, const std::string& text) {
  if (text == "True" || text.empty()) field = kTrue;
  if (text == "False") field = kFalse;
}

// A switch that is off unless the store says "True".
void SetOffUnlessTrue(VBBool& field, const std::string& text) {
  if (text == "True") field = kTrue;
  if (text == "False" || text.empty()) field = kFalse;
}

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void LoadOptions(const SettingReader& read) {
  const ErrorSite site{"modGlimra", "LoadOptions"};
  FadeSettings& fade = LiveFadeSettings();
  AppOptions& options = LiveAppOptions();
  // Each value is one statement: Retry repeats it, Ignore skips just it.
  const auto load = [&](auto&& statement) { Guard(site, statement); };
  RunProcedure(site, [&] {
    load([&] { SetOnUnlessFalse(fade.FaderOn, read("", "Fader On")); });
    load([&] {
      options.CurrentScheme = read("Schemes", "Default");
      if (options.CurrentScheme.empty()) options.CurrentScheme = kDefaultSchemeName;
    });
    load([&] { SetOffUnlessTrue(fade.Wavy, read("Style", "Wavy")); });
    load([&] { SetOffUnlessTrue(fade.Bold, read("Style", "Bold")); });
    load([&] { SetOffUnlessTrue(fade.Italic, read("Style", "Italic")); });
    load([&] { SetOffUnlessTrue(fade.ULine, read("Style", "ULine")); });
    load([&] {
      const std::string text = read("Colors", "Fade Number");
      fade.FadeNumber = text.empty() ? 5 : CInt(text);
    });
    for (int i = 1; i <= 6; ++i) {
      load([&] {
        const std::string text = read("Colors", kColorValueNames[i]);
        fade.Colors[i] = text.empty() ? 0 : CLng(text);
      });
    }
    load([&] { SetOnUnlessFalse(options.ShowFadePanelWithChat, read("Options", "ShowFadePanelWithChat")); });
    load([&] { SetOnUnlessFalse(options.UseMultiline, read("Multiline", "Use Multiline")); });
    load([&] {
      const std::string text = read("Multiline", "Multiline Burst");
      options.MultilineBurst = text.empty() ? 1.5f : CSng(text);
    });
    load([&] {
      const std::string text = read("Multiline", "Chars In Line");
      options.CharsInLine = text.empty() ? 60 : CInt(text);
    });
    load([&] { SetOffUnlessTrue(options.UseAlias, read("EMail", "Use Alias")); });
    load([&] { options.AliasName = read("EMail", "Alias Name"); });
    load([&] { SetOnUnlessFalse(options.ShowEMailSample, read("EMail", "Show EMail Sample")); });
    load([&] { SetOnUnlessFalse(options.UseChatKW, read("Options", "Use Chat KW")); });
    load([&] { SetOnUnlessFalse(options.ShowEFToolbar, read("E-Fade", "ShowEFToolbar")); });
    load([&] { SetOffUnlessTrue(fade.SolidFade, read("Colors", "SolidFade")); });
  });
}

void LoadUserColors(const SettingReader& read) {
  const ErrorSite site{"modGlimra", "LoadUserColors"};
  UserColors& colors = LiveUserColors();
  const auto load = [&](Colour& field, const char* valueName, Colour fallback) {
    Guard(site, [&] {
      const std::string text = TrimSpaces(read("User Colors", valueName));
      field = text.empty() ? fallback : CLng(text);
    });
  };
  RunProcedure(site, [&] {
    load(colors.WindowColor, "WindowColor", kDefaultWindowColor);
    load(colors.ButtonForecolor, "ButtonForecolor", kDefaultButtonForecolor);
    load(colors.ButtonHighlight, "ButtonHighlight", kDefaultButtonHighlight);
    load(colors.ButtonText, "ButtonText", kDefaultButtonText);
  });
}

}  // namespace glimra
