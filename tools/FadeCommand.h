// glimra-fade: the fade engine on the command line, for faded AOL markup,
// terminals and web pages. Parsing, rendering and the preview page live here
// so they can be tested.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/modFade.h"
#include "settings/SchemeFile.h"

namespace glimra {

enum class OutputFormat {
  Aol,   // the chat markup, one font tag per character
  Ansi,  // 24-bit colour escape sequences for terminals
  Html,  // a page fragment: one <div> per line, a <span style> per run of equal colour
};

struct FadeOptions {
  std::vector<Colour> colours;
  bool coloursGiven = false;
  bool solid = false;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool wavy = false;
  OutputFormat format = OutputFormat::Aol;
  std::optional<std::string> schemeFile;
  std::optional<std::string> htmlFile;
  std::vector<std::string> texts;
};

// The colours used when neither --colors nor --scheme is given: deep blue,
// violet, rose, orange, gold.
std::vector<Colour> DefaultFadeColours();

// "#RRGGBB" (red first, as on the web), a CSS colour name, or a decimal
// Windows colour 0..16777215 (red in the low byte). Nothing for anything else.
std::optional<Colour> ParseColourArgument(std::string_view text);

struct ParsedArguments {
  std::optional<FadeOptions> options;  // empty when the arguments are bad
  std::string error;                   // one line saying what is wrong
  bool helpWanted = false;
};
ParsedArguments ParseFadeArguments(const std::vector<std::string>& arguments);

// A scheme file's text read the way the program imports it. A fade number
// outside 1 to 6, or a value in use that does not convert (a colour outside
// 0 to 16777215, a switch that is not True or False), makes it bad: nothing,
// and `error` says why.
std::optional<FadeScheme> SchemeFromFileText(std::string_view text, std::string& error);
// A scheme file needs a few hundred bytes; anything far larger is refused.
constexpr std::size_t kLargestSchemeFile = 64 * 1024;

// Loads the options into the live fade settings (fader on, styles, colours).
void ApplyFadeOptions(const FadeOptions& options);

// One line for a terminal: the styles as SGR bold, italic, underline, each
// change of colour as a 24-bit foreground colour, reset at the end. The
// text goes through TerminalText.
std::string AnsiLine(const FadedLine& line, std::string_view text);
// Text a terminal shows without obeying any of it: control characters in
// caret notation, as `cat -v` writes them (ESC as "^[", DEL as "^?", a C1
// control as "M-^[", be it UTF-8 or a byte of its own); tab and line feed,
// and everything printable, UTF-8 or not, unchanged.
std::string TerminalText(std::string_view text);
// One line as a <div>: styles on the div, a <span style> per run of equal
// colour and wave position, the text escaped.
std::string HtmlLine(const FadedLine& line, std::string_view text);
// Why `text` cannot go into an HTML page (not UTF-8, or a control character
// other than tab); nothing when it can.
std::optional<std::string> HtmlTextProblem(std::string_view text);

// A self-contained HTML page showing the markup lines as AOL shows them:
// the engine's own tags rendered, everything else shown as text.
std::string PreviewPage(const std::vector<std::string>& markupLines);

// The whole command: returns the exit status (0, 1 when a file cannot be
// written, 2 for bad input).
int RunFadeCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace glimra
