#include "FadeCommand.h"

#include <cctype>
#include <fstream>
#include <istream>
#include <ostream>
#include <regex>

namespace glimra {

namespace {

constexpr char kUsage[] =
    "usage: glimra-fade [--colors LIST] [--solid] [--bold] [--italic] [--underline] [--wavy] [--html FILE] "
    "[TEXT...]";

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::optional<std::vector<Colour>> ParseColourList(std::string_view list, std::string& error) {
  std::vector<Colour> colours;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string_view item = list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
    const std::optional<Colour> colour = ParseColourArgument(item);
    if (!colour) {
      error = "glimra-fade: bad colour '" + std::string(item) + "' (use #RRGGBB or a decimal 0 to 16777215)";
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
      default: out += c;
    }
  }
  return out;
}

// The tags AOL renders in a chat line; anything else in the markup is text.
std::string MarkupToHtml(const std::string& markup) {
  static const std::regex kTag(R"(<(FONT COLOR=#([0-9A-Fa-f]{6})|/?[BIU]|/?sup|/?sub)>)", std::regex::icase);
  std::string html;
  auto last = markup.cbegin();
  for (std::sregex_iterator it(markup.begin(), markup.end(), kTag), end; it != end; ++it) {
    html += HtmlEscape(std::string_view(&*last, static_cast<std::size_t>((*it)[0].first - last)));
    if ((*it)[2].matched)
      html += "<font color=\"#" + (*it)[2].str() + "\">";
    else
      html += "<" + (*it)[1].str() + ">";
    last = (*it)[0].second;
  }
  html += HtmlEscape(std::string_view(&*last, static_cast<std::size_t>(markup.cend() - last)));
  return html;
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
    const bool takesValue = argument == "--colors" || argument == "--html";
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
      parsed.error = "glimra-fade: unknown option '" + argument + "'";
      return parsed;
    }
  }
  parsed.options = std::move(options);
  return parsed;
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
    out << kUsage << "\n";
    return 0;
  }
  if (!parsed.options) {
    err << parsed.error << "\n";
    return 2;
  }
  const FadeOptions& options = *parsed.options;
  if (options.colours.empty()) {
    err << "glimra-fade: no colours given\n";
    return 2;
  }
  SetTextEncoding(TextEncoding::Utf8);
  ApplyFadeOptions(options);

  std::vector<std::string> lines = options.texts;
  if (lines.empty()) {
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  std::vector<std::string> markup;
  for (std::string line : lines) markup.push_back(FadeEngine(line));

  if (options.htmlFile) {
    std::ofstream page(*options.htmlFile, std::ios::binary);
    if (!(page << PreviewPage(markup))) {
      err << "glimra-fade: cannot write " << *options.htmlFile << "\n";
      return 1;
    }
  }
  for (const std::string& line : markup) out << line << "\n";
  return 0;
}

}  // namespace glimra
