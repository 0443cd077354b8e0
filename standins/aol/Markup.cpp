#include "Markup.h"

#include <cctype>
#include <cstring>

namespace waol {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The value of attribute `name` inside a tag's text, or "" (quotes removed).
std::string Attribute(const std::string& tag, const char* name) {
  const std::string upper = Upper(tag);
  const std::string wanted = std::string(name) + "=";
  for (auto at = upper.find(wanted); at != std::string::npos; at = upper.find(wanted, at + 1)) {
    if (at > 0 && std::isalnum(static_cast<unsigned char>(upper[at - 1]))) continue;
    auto start = at + wanted.size();
    while (start < tag.size() && tag[start] == ' ') ++start;
    if (start < tag.size() && (tag[start] == '"' || tag[start] == '\'')) {
      const char quote = tag[start++];
      const auto end = tag.find(quote, start);
      return tag.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    auto end = start;
    while (end < tag.size() && tag[end] != ' ' && tag[end] != '>') ++end;
    return tag.substr(start, end - start);
  }
  return "";
}

// "#RRGGBB" (the "#" optional, fewer digits read as a smaller number) to 0x00BBGGRR.
bool ParseColour(std::string value, std::uint32_t& colour) {
  if (!value.empty() && value[0] == '#') value.erase(0, 1);
  if (value.empty()) return false;
  std::uint32_t rgb = 0;
  size_t digits = 0;
  for (char c : value) {
    if (!std::isxdigit(static_cast<unsigned char>(c)) || ++digits > 6) break;
    rgb = rgb * 16 + static_cast<std::uint32_t>(
                         std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
  }
  if (digits == 0) return false;
  colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

struct Entity {
  const char* name;
  char text;
};
constexpr Entity kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&nbsp;", '\xA0'}};

class Parser {
 public:
  std::vector<Run> Parse(const std::string& markup) {
    size_t i = 0;
    while (i < markup.size()) {
      const char c = markup[i];
      if (c == '<' && OpensTag(markup, i)) {
        const auto end = markup.find('>', i);
        if (end == std::string::npos) {  // an unfinished tag is shown as it stands
          Add(markup.substr(i));
          break;
        }
        Tag(markup.substr(i + 1, end - i - 1));
        i = end + 1;
      } else if (c == '&' && Entity(markup, i)) {
      } else {
        Add(std::string(1, c));
        ++i;
      }
    }
    return std::move(runs_);
  }

 private:
  static bool OpensTag(const std::string& markup, size_t at) {
    if (at + 1 >= markup.size()) return false;
    const unsigned char next = static_cast<unsigned char>(markup[at + 1]);
    return std::isalpha(next) || next == '/' || next == '!';
  }

  bool Entity(const std::string& markup, size_t& at) {
    for (const auto& entity : kEntities) {
      const size_t length = std::strlen(entity.name);
      if (Upper(markup.substr(at, length)) == Upper(entity.name)) {
        Add(std::string(1, entity.text));
        at += length;
        return true;
      }
    }
    return false;
  }

  void Tag(const std::string& body) {
    const bool closing = !body.empty() && body[0] == '/';
    size_t start = closing ? 1 : 0, end = start;
    while (end < body.size() && std::isalnum(static_cast<unsigned char>(body[end]))) ++end;
    const std::string name = Upper(body.substr(start, end - start));
    if (name == "B")
      style_.bold = !closing;
    else if (name == "I")
      style_.italic = !closing;
    else if (name == "U")
      style_.underline = !closing;
    else if (name == "SUP")
      style_.superscript = !closing, style_.subscript = false;
    else if (name == "SUB")
      style_.subscript = !closing, style_.superscript = false;
    else if (name == "A")
      style_.link = !closing && !Attribute(body, "HREF").empty();
    else if (name == "BR")
      Add("\r");
    else if (name == "FONT")
      Font(body, closing);
  }

  void Font(const std::string& body, bool closing) {
    if (closing) {  // AOL's FONT tags rarely pair up; a close returns to the colour before
      if (!colours_.empty()) colours_.pop_back();
      style_.colour = colours_.empty() ? kDefaultColour : colours_.back();
      return;
    }
    std::uint32_t colour;
    if (!ParseColour(Attribute(body, "COLOR"), colour)) return;
    if (colours_.size() < 64)
      colours_.push_back(colour);
    else
      colours_.back() = colour;
    style_.colour = colour;
  }

  void Add(const std::string& text) {
    if (!runs_.empty()) {
      Run& last = runs_.back();
      if (last.colour == style_.colour && last.bold == style_.bold && last.italic == style_.italic &&
          last.underline == style_.underline && last.superscript == style_.superscript &&
          last.subscript == style_.subscript && last.link == style_.link) {
        last.text += text;
        return;
      }
    }
    Run run = style_;
    run.text = text;
    runs_.push_back(run);
  }

  Run style_;
  std::vector<std::uint32_t> colours_;
  std::vector<Run> runs_;
};

}  // namespace

std::vector<Run> ParseMarkup(const std::string& markup) { return Parser().Parse(markup); }

std::string PlainText(const std::vector<Run>& runs) {
  std::string text;
  for (const Run& run : runs) text += run.text;
  return text;
}

}  // namespace waol
