// The help text format of the stand-in help viewer: a plain text file with a
// title line and topics, each opened by "== " and its name, optionally
// followed by a "Keywords:" line (semicolon-separated), then its body.
//
//   Title: Glimra!
//   == Table of Contents
//   Keywords: Table Of Contents; Contents
//   body lines...
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace winhelp {

struct HelpTopic {
  std::string name;
  std::vector<std::string> keywords;  // the name is always the first
  std::string body;                   // lines joined by CR LF, outer blank lines dropped
};

struct HelpBook {
  std::string title;
  std::vector<HelpTopic> topics;
};

HelpBook ParseHelpText(std::string_view text);

// The topic a keyword opens, as a partial-key lookup: a keyword equal to the
// text (letter case ignored), else the first keyword that begins with it.
// The empty text opens the first topic; nullptr when nothing matches.
const HelpTopic* FindTopic(const HelpBook& book, std::string_view keyword);

}  // namespace winhelp
