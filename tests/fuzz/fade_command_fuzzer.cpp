// glimra-fade's command line on any arguments and any standard input. The
// input is split at NUL bytes: arguments first, standard input last. Files
// never leave the fuzzer's own: "--html" writes to /dev/null, and the value
// after "--scheme" becomes the text of a scheme file in the temporary folder.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FadeCommand.h"
#include "FuzzInput.h"

using namespace glimra;

namespace {

const std::string& SchemePath() {
  static const std::string path = "/tmp/glimra-fuzz-" + std::to_string(getpid()) + ".fde";
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string StripAnsi(const std::string& text) {
  static const std::regex kSgr("\x1b\\[[0-9;]*m");
  return std::regex_replace(text, kSgr, "");
}

std::string StripHtml(const std::string& html) {
  static const std::regex kTag("<[^>]*>");
  std::string text = std::regex_replace(html, kTag, ""), plain;
  static const std::pair<const char*, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}, {"&amp;", '&'}};
  for (std::size_t at = 0; at < text.size();) {
    bool entity = false;
    for (const auto& [name, c] : kEntities) {
      if (text.compare(at, std::char_traits<char>::length(name), name) == 0) {
        plain += c;
        at += std::char_traits<char>::length(name);
        entity = true;
        break;
      }
    }
    if (!entity) plain += text[at++];
  }
  return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  std::vector<std::string> pieces;
  while (!input.Empty()) pieces.push_back(input.TakeUntil('\0'));
  const std::string standardInput = pieces.empty() ? "" : pieces.back();
  if (!pieces.empty()) pieces.pop_back();

  std::vector<std::string> arguments;
  bool optionsEnded = false;
  std::string format = "aol";
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    arguments.push_back(pieces[i]);
    if (pieces[i] == "--") optionsEnded = true;
    if (optionsEnded || i + 1 >= pieces.size()) continue;
    if (pieces[i] == "--html") {
      arguments.push_back("/dev/null");
      ++i;
    } else if (pieces[i] == "--scheme") {
      std::ofstream(SchemePath(), std::ios::binary) << pieces[++i];
      arguments.push_back(SchemePath());
    } else if (pieces[i] == "--format") {
      format = pieces[i + 1];
    }
  }

  WavePhase() = 0;
  std::istringstream in(standardInput);
  std::ostringstream out, err;
  const int status = RunFadeCommand(arguments, in, out, err);
  fuzz::Require(status == 0 || status == 2);
  if (status == 2) {
    fuzz::Require(out.str().empty() && !err.str().empty() && err.str().find('\n') == err.str().size() - 1);
    return 0;
  }
  fuzz::Require(err.str().empty());
  if (out.str().rfind("usage:", 0) == 0) return 0;  // --help

  // Terminal output strips back to the lines given as a terminal shows them,
  // page output to the lines themselves unless they carry markup.
  std::vector<std::string> given;
  {
    bool ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      const std::string& a = arguments[i];
      if (!ended && (a == "--colors" || a == "--html" || a == "--scheme" || a == "--format")) {
        ++i;
        continue;
      }
      if (!ended && a == "--") {
        ended = true;
        continue;
      }
      if (ended || a.empty() || a[0] != '-' || a == "-") given.push_back(a);
    }
  }
  if (given.empty()) given = Lines(standardInput);
  const std::string expected = Joined(given);
  if (format == "ansi") fuzz::Require(StripAnsi(out.str()) == TerminalText(expected));
  if (format == "html" && expected.find('<') == std::string::npos && expected.find('&') == std::string::npos &&
      expected.find('>') == std::string::npos)
    fuzz::Require(StripHtml(out.str()) == expected);
  const auto newlines = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
  if (format == "aol") fuzz::Require(newlines(out.str()) == newlines(expected));
  return 0;
}
