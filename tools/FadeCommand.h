// glimra-fade: the fade engine on the command line, for faded markup without
// AOL. Parsing, rendering and the preview page live here so they can be tested.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/modFade.h"

namespace glimra {

struct FadeOptions {
  std::vector<Colour> colours;
  bool solid = false;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool wavy = false;
  std::optional<std::string> htmlFile;
  std::vector<std::string> texts;
};

// The colours used when --colors is not given: deep blue, violet, rose, orange, gold.
std::vector<Colour> DefaultFadeColours();

// "#RRGGBB" (red first, as on the web) or a decimal Windows colour 0..16777215
// (red in the low byte). Returns nothing for anything else.
std::optional<Colour> ParseColourArgument(std::string_view text);

struct ParsedArguments {
  std::optional<FadeOptions> options;  // empty when the arguments are bad
  std::string error;                   // one line saying what is wrong
  bool helpWanted = false;
};
ParsedArguments ParseFadeArguments(const std::vector<std::string>& arguments);

// Loads the options into the live fade settings (fader on, styles, colours).
void ApplyFadeOptions(const FadeOptions& options);

// A self-contained HTML page showing the markup lines as AOL shows them:
// the engine's own tags rendered, everything else shown as text.
std::string PreviewPage(const std::vector<std::string>& markupLines);

// The whole command: returns the exit status (0, or 2 for bad input).
int RunFadeCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace glimra
