#include "FadeCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <regex>

#include "ColourNames.h"
#include "runtime/ErrorReporting.h"

namespace glimra {

namespace {

constexpr char kHelp[] =
    "usage: glimra-fade [OPTIONS] [TEXT...]\n"
    "Fades each TEXT, or each line of standard input, as Glimra fades a chat line.\n"
    "\n"
    "  --colors LIST    1 to 6 comma-separated colours, each #RRGGBB, a CSS colour name\n"
    "                   (tomato, rebeccapurple, ...) or a decimal Windows colour 0 to\n"
    "                   16777215 (red in the low byte); default: a five-colour fade\n"
    "  --scheme FILE    colours and styles from a Glimra scheme file (.fde); --colors and\n"
    "                   the style options given as well override or add to it\n"
    "  --solid          cycle through the colours one character at a time\n"
    "  --bold, --italic, --underline\n"
    "  --wavy           characters alternately raised and lowered (aol and html; a\n"
    "                   terminal cannot raise text, so ansi shows the line flat)\n"
    "  --format FORMAT  aol: AOL chat markup, a <FONT COLOR> tag per character (default)\n"
    "                   ansi: 24-bit colour escape sequences for terminals; control\n"
    "                   characters of the text are shown, not sent: ^[ for ESC, ^? for\n"
    "                   DEL, M-^[ for a C1 control (tab and line breaks kept)\n"
    "                   html: a page fragment, a <div> per line, a <span style> per run\n"
    "                   of equal colour\n"
    "  --html FILE      also write a page showing the lines as AOL shows them\n"
    "  --help           this text\n"
    "\n"
    "Text that is not UTF-8 (Latin-1, say) fades a byte a character and passes through\n"
    "unchanged; --format html needs UTF-8 text without control characters.\n"
    "Exit status: 0; 1 when the page cannot be written; 2 for bad arguments or input.\n";

// What the member typed, fit for a one-line message: control characters as
// \xNN, and no more than 60 bytes.
std::string Quoted(std::string_view text) {
  std::string quoted;
  for (char c : text.substr(0, 60)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return "'" + quoted + (text.size() > 60 ? "...'" : "'");
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::optional<std::vector<Colour>> ParseColourList(std::string_view list, std::string& error) {
  std::vector<Colour> colours;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string_view item = list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
    const std::optional<Colour> colour = ParseColourArgument(item);
    if (!colour) {
      error =
          "glimra-fade: bad colour " + Quoted(item) + " (use #RRGGBB, a CSS colour name or a decimal 0 to 16777215)";
      return std::nullopt;
    }
    colours.push_back(*colour);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (colours.size() > 6) {
    error = "glimra-fade: at most 6 colours, got " + std::to_string(colours.size());
    return std::nullopt;
  }
  return colours;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

// The tags AOL renders in a chat line; anything else in the markup is text.
std::string MarkupToHtml(const std::string& markup) {
  static const std::regex kTag(R"(<(FONT COLOR=#([0-9A-Fa-f]{6})|/?[BIU]|/?sup|/?sub)>)", std::regex::icase);
  std::string html;
  std::size_t last = 0;
  for (std::sregex_iterator it(markup.begin(), markup.end(), kTag), end; it != end; ++it) {
    const std::size_t at = static_cast<std::size_t>(it->position(0));
    html += HtmlEscape(std::string_view(markup).substr(last, at - last));
    if ((*it)[2].matched)
      html += "<font color=\"#" + (*it)[2].str() + "\">";
    else
      html += "<" + (*it)[1].str() + ">";
    last = at + static_cast<std::size_t>(it->length(0));
  }
  html += HtmlEscape(std::string_view(markup).substr(last));
  return html;
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<OutputFormat> ParseFormat(std::string_view name) {
  if (name == "aol") return OutputFormat::Aol;
  if (name == "ansi") return OutputFormat::Ansi;
  if (name == "html") return OutputFormat::Html;
  return std::nullopt;
}

std::string HexRgb(std::uint32_t rgb) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return digits;
}

// The value a conversion gives, or nothing where the program's conversion fails.
template <class Convert>
auto Converted(const std::string& text, Convert convert) -> std::optional<decltype(convert(text))> {
  std::optional<decltype(convert(text))> value;
  SkipOnError([&] { value = convert(text); });
  return value;
}

std::optional<std::string> ReadSchemeFile(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "glimra-fade: cannot read the scheme file " + Quoted(path);
    return std::nullopt;
  }
  std::string text(kLargestSchemeFile + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    error = "glimra-fade: cannot read the scheme file " + Quoted(path);
    return std::nullopt;
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > kLargestSchemeFile) {
    error = "glimra-fade: " + Quoted(path) + " is far larger than a scheme file";
    return std::nullopt;
  }
  return text;
}

// The code of a control character a terminal would obey: C0 but tab and
// line feed, DEL, and C1, be it UTF-8 (U+0080 to U+009F) or a lone byte
// 0x80 to 0x9F, which an 8-bit terminal takes as C1. Nothing otherwise.
std::optional<unsigned> TerminalControl(std::string_view character) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 2 && first == 0xC2) {
    const auto second = static_cast<unsigned char>(character[1]);
    return second < 0xA0 ? std::optional<unsigned>(second) : std::nullopt;
  }
  if (character.size() != 1 || first == '\t' || first == '\n') return std::nullopt;
  if (first < 0x20 || (first >= 0x7F && first < 0xA0)) return first;
  return std::nullopt;
}

// cat -v's caret notation: ^@ to ^_, ^? for DEL, "M-" before a C1 control.
std::string CaretNotation(unsigned control) {
  const std::string caret = {'^', static_cast<char>((control & 0x7F) ^ 0x40)};
  return control >= 0x80 ? "M-" + caret : caret;
}

// Which text this is, for error messages: the n-th TEXT or input line.
std::string Which(bool fromArguments, std::size_t index) {
  return (fromArguments ? "text " : "line ") + std::to_string(index + 1);
}

}  // namespace

std::vector<Colour> DefaultFadeColours() {
  // Windows layout: 0x00BBGGRR.
  return {0xCC3300, 0xFF3399, 0x9933FF, 0x0099FF, 0x00CCFF};
}

std::optional<Colour> ParseColourArgument(std::string_view text) {
  if (text.size() == 7 && text[0] == '#') {
    for (char c : text.substr(1))
      if (!IsHexDigit(c)) return std::nullopt;
    const long rgb = std::stol(std::string(text.substr(1)), nullptr, 16);
    return static_cast<Colour>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
  }
  if (const std::optional<std::uint32_t> named = CssColourByName(text))
    return static_cast<Colour>(((*named >> 16) & 0xFF) | (*named & 0xFF00) | ((*named & 0xFF) << 16));
  if (text.empty() || text.size() > 8) return std::nullopt;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  const long value = std::stol(std::string(text));
  if (value > 0xFFFFFF) return std::nullopt;
  return static_cast<Colour>(value);
}

ParsedArguments ParseFadeArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  FadeOptions options;
  options.colours = DefaultFadeColours();
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      options.texts.push_back(argument);
      continue;
    }
    const bool takesValue =
        argument == "--colors" || argument == "--html" || argument == "--scheme" || argument == "--format";
    if (takesValue && i + 1 >= arguments.size()) {
      parsed.error = "glimra-fade: " + argument + " needs a value";
      return parsed;
    }
    if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      parsed.helpWanted = true;
    } else if (argument == "--colors") {
      auto colours = ParseColourList(arguments[++i], parsed.error);
      if (!colours) return parsed;
      options.colours = *colours;
      options.coloursGiven = true;
    } else if (argument == "--format") {
      const std::optional<OutputFormat> format = ParseFormat(arguments[++i]);
      if (!format) {
        parsed.error = "glimra-fade: unknown format " + Quoted(arguments[i]) + " (use aol, ansi or html)";
        return parsed;
      }
      options.format = *format;
    } else if (argument == "--scheme") {
      options.schemeFile = arguments[++i];
    } else if (argument == "--html") {
      options.htmlFile = arguments[++i];
    } else if (argument == "--solid") {
      options.solid = true;
    } else if (argument == "--bold") {
      options.bold = true;
    } else if (argument == "--italic") {
      options.italic = true;
    } else if (argument == "--underline") {
      options.underline = true;
    } else if (argument == "--wavy") {
      options.wavy = true;
    } else {
      parsed.error = "glimra-fade: unknown option " + Quoted(argument);
      return parsed;
    }
  }
  parsed.options = std::move(options);
  return parsed;
}

std::optional<FadeScheme> SchemeFromFileText(std::string_view text, std::string& error) {
  // Later lines win, as an import overwrites value by value; value names
  // compare without regard to case, as the registry's do.
  std::map<std::string, std::string> values;
  for (std::string_view line : SplitTextLines(text))
    if (std::optional<SchemeLineValue> value = ParseSchemeLine(line))
      values[LowerCase(value->valueName)] = value->value.empty() ? " " : value->value;
  const auto read = [&values](const std::string&, const std::string& valueName) {
    const auto found = values.find(LowerCase(valueName));
    return found == values.end() ? std::string() : found->second;
  };
  const auto fail = [&error](const std::string& why) -> std::optional<FadeScheme> {
    error = "glimra-fade: bad scheme file: " + why;
    return std::nullopt;
  };

  const std::optional<std::int16_t> fadeNumber =
      Converted(read("", "Fade Number"), [](const std::string& t) { return CInt(t); });
  if (!fadeNumber || *fadeNumber < 1 || *fadeNumber > 6) return fail("FadeNumber must be 1 to 6");
  for (int i = 1; i <= *fadeNumber; ++i) {
    const std::string colourText = read("", kColorValueNames[i]);
    if (colourText.empty()) continue;  // missing colours are black, as the program exports them
    const std::optional<std::int32_t> colour = Converted(colourText, [](const std::string& t) { return CLng(t); });
    if (!colour || *colour < 0 || *colour > 0xFFFFFF)
      return fail(std::string(kColorValueNames[i]) + " must be a colour 0 to 16777215");
  }
  for (const char* name : {"Wavy", "Bold", "Italic", "ULine"}) {
    const std::string switchText = read("", name);
    if (!switchText.empty() && !Converted(switchText, [](const std::string& t) { return CBool(t); }))
      return fail(std::string(name) + " must be True or False");
  }
  FadeScheme scheme;
  ReadFadeScheme(read, "", scheme);
  return scheme;
}

void ApplyFadeOptions(const FadeOptions& options) {
  FadeSettings& settings = LiveFadeSettings();
  settings.FaderOn = kTrue;
  settings.FadeNumber = static_cast<std::int16_t>(options.colours.size());
  for (std::size_t i = 0; i < options.colours.size(); ++i) settings.Colors[i + 1] = options.colours[i];
  settings.SolidFade = ToVBBool(options.solid);
  settings.Bold = ToVBBool(options.bold);
  settings.Italic = ToVBBool(options.italic);
  settings.ULine = ToVBBool(options.underline);
  settings.Wavy = ToVBBool(options.wavy);
}

std::string AnsiLine(const FadedLine& line, std::string_view text) {
  std::string out;
  if (line.empty || line.characters.empty()) return out;
  std::string styles;
  for (const auto& [on, code] : {std::pair{line.bold, "1"}, {line.italic, "3"}, {line.underline, "4"}})
    if (on) styles += (styles.empty() ? "" : ";") + std::string(code);
  if (!styles.empty()) out += "\x1b[" + styles + "m";
  bool coloured = false;
  std::uint32_t colour = 0;
  for (const FadedCharacter& character : line.characters) {
    if (character.coloured && (!coloured || character.rgb != colour)) {
      coloured = true;
      colour = character.rgb;
      char sgr[32];
      std::snprintf(sgr, sizeof sgr, "\x1b[38;2;%u;%u;%um", (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
      out += sgr;
    }
    out += TerminalText(text.substr(character.offset, character.length));
  }
  if (coloured || !styles.empty()) out += "\x1b[0m";
  return out;
}

std::string TerminalText(std::string_view text) {
  std::string shown;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = std::max<std::size_t>(WellFormedUtf8Length(text, pos), 1);
    const std::string_view character = text.substr(pos, length);
    const std::optional<unsigned> control = TerminalControl(character);
    shown += control ? CaretNotation(*control) : std::string(character);
    pos += length;
  }
  return shown;
}

std::string HtmlLine(const FadedLine& line, std::string_view text) {
  std::string html = "<div style=\"white-space:pre-wrap";
  if (line.bold) html += ";font-weight:bold";
  if (line.italic) html += ";font-style:italic";
  if (line.underline) html += ";text-decoration:underline";
  html += "\">";
  if (line.empty || line.characters.empty()) return html + "<br></div>";
  const auto& characters = line.characters;
  for (std::size_t first = 0; first < characters.size();) {
    const FadedCharacter& lead = characters[first];
    std::size_t last = first + 1;
    while (last < characters.size() && characters[last].coloured == lead.coloured && characters[last].rgb == lead.rgb &&
           characters[last].wave == lead.wave)
      ++last;
    const std::size_t from = lead.offset;
    const std::size_t to = characters[last - 1].offset + characters[last - 1].length;
    const std::string escaped = HtmlEscape(text.substr(from, to - from));
    if (!lead.coloured && lead.wave == 0) {
      html += escaped;
    } else {
      std::string style;
      if (lead.coloured) style = "color:#" + HexRgb(lead.rgb);
      if (lead.wave != 0)
        style += std::string(style.empty() ? "" : ";") + "vertical-align:" + (lead.wave > 0 ? "super" : "sub") +
                 ";font-size:smaller";
      html += "<span style=\"" + style + "\">" + escaped + "</span>";
    }
    first = last;
  }
  return html + "</div>";
}

std::optional<std::string> HtmlTextProblem(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = WellFormedUtf8Length(text, pos);
    if (length == 0) return std::string("is not UTF-8 text");
    const auto byte = static_cast<unsigned char>(text[pos]);
    const auto next = pos + 1 < text.size() ? static_cast<unsigned char>(text[pos + 1]) : 0;
    // C0 controls but tab, DEL, and the C1 controls U+0080 to U+009F.
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F || (byte == 0xC2 && next < 0xA0))
      return std::string("has a control character");
    pos += length;
  }
  return std::nullopt;
}

std::string PreviewPage(const std::vector<std::string>& markupLines) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Glimra fade preview</title>\n"
      "<style>body{background:#fff;font-family:Arial,sans-serif;font-size:10pt;margin:16px}"
      ".line{padding:3px 0}.name{color:#000}.markup{color:#888;font-family:monospace;font-size:8pt;"
      "margin:0 0 10px 0;word-break:break-all}</style></head>\n<body>\n";
  for (const std::string& line : markupLines) {
    page += "<div class=\"line\"><span class=\"name\">Member: </span>" + MarkupToHtml(line) + "</div>\n";
    page += "<div class=\"markup\">" + HtmlEscape(line) + "</div>\n";
  }
  page += "</body></html>\n";
  return page;
}

int RunFadeCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err) {
  const ParsedArguments parsed = ParseFadeArguments(arguments);
  if (parsed.helpWanted) {
    out << kHelp;
    return 0;
  }
  if (!parsed.options) {
    err << parsed.error << "\n";
    return 2;
  }
  FadeOptions options = *parsed.options;
  if (options.schemeFile) {
    std::string error;
    std::optional<std::string> schemeText = ReadSchemeFile(*options.schemeFile, error);
    std::optional<FadeScheme> scheme;
    if (schemeText) scheme = SchemeFromFileText(*schemeText, error);
    if (!scheme) {
      err << error << "\n";
      return 2;
    }
    if (!options.coloursGiven) options.colours.assign(scheme->Colors + 1, scheme->Colors + 1 + scheme->FadeNumber);
    options.bold = options.bold || IsTrue(scheme->Bold);
    options.italic = options.italic || IsTrue(scheme->Italic);
    options.underline = options.underline || IsTrue(scheme->ULine);
    options.wavy = options.wavy || IsTrue(scheme->Wavy);
  }
  if (options.colours.empty()) {
    err << "glimra-fade: no colours given\n";
    return 2;
  }
  SetTextEncoding(TextEncoding::Utf8);
  ApplyFadeOptions(options);

  const bool fromArguments = !options.texts.empty();
  std::vector<std::string> lines = options.texts;
  if (!fromArguments) {
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  if (options.format == OutputFormat::Html) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (const std::optional<std::string> problem = HtmlTextProblem(lines[i])) {
        err << "glimra-fade: " << Which(fromArguments, i) << " " << *problem << "; --format html needs UTF-8 text\n";
        return 2;
      }
    }
  }

  std::vector<std::string> markup, rendered;
  for (const std::string& line : lines) {
    // Each rendering moves the wave; the markup and the chosen format start from the same phase.
    const std::int16_t phase = WavePhase();
    if (options.format == OutputFormat::Aol || options.htmlFile) {
      std::string faded = line;
      markup.push_back(FadeEngine(faded));
    }
    if (options.format == OutputFormat::Aol) continue;
    WavePhase() = phase;
    const FadedLine layout = FadeEngineLayout(line);
    rendered.push_back(options.format == OutputFormat::Ansi ? AnsiLine(layout, line) : HtmlLine(layout, line));
  }

  if (options.htmlFile) {
    std::ofstream page(*options.htmlFile, std::ios::binary);
    if (!(page << PreviewPage(markup))) {
      err << "glimra-fade: cannot write " << Quoted(*options.htmlFile) << "\n";
      return 1;
    }
  }
  for (const std::string& line : options.format == OutputFormat::Aol ? markup : rendered) out << line << "\n";
  return 0;
}

}  // namespace glimra
