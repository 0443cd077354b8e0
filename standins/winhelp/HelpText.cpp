#include "HelpText.h"

#include <algorithm>
#include <cctype>

namespace winhelp {

namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool SameLetters(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), SameLetters);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && BeginsWithIgnoringCase(a, b);
}

std::vector<std::string> SplitKeywords(std::string_view list) {
  std::vector<std::string> keywords;
  while (!list.empty()) {
    const size_t end = list.find(';');
    const std::string_view keyword = Trim(list.substr(0, end));
    if (!keyword.empty()) keywords.emplace_back(keyword);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return keywords;
}

void FinishBody(HelpTopic& topic) {
  const std::string_view body = Trim(topic.body);
  topic.body = std::string(body);
}

}  // namespace

HelpBook ParseHelpText(std::string_view text) {
  HelpBook book;
  HelpTopic* topic = nullptr;
  bool keywordLineAllowed = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (StartsWith(line, "== ")) {
      if (topic) FinishBody(*topic);
      book.topics.push_back({std::string(Trim(line.substr(3))), {}, {}});
      topic = &book.topics.back();
      topic->keywords.push_back(topic->name);
      keywordLineAllowed = true;
    } else if (!topic) {
      if (StartsWith(line, "Title:")) book.title = std::string(Trim(line.substr(6)));
    } else if (keywordLineAllowed && StartsWith(line, "Keywords:")) {
      for (std::string& keyword : SplitKeywords(line.substr(9))) topic->keywords.push_back(std::move(keyword));
      keywordLineAllowed = false;
    } else {
      keywordLineAllowed = false;
      topic->body.append(line).append("\r\n");
    }
  }
  if (topic) FinishBody(*topic);
  return book;
}

const HelpTopic* FindTopic(const HelpBook& book, std::string_view keyword) {
  keyword = Trim(keyword);
  if (book.topics.empty()) return nullptr;
  if (keyword.empty()) return &book.topics.front();
  for (const HelpTopic& topic : book.topics)
    for (const std::string& candidate : topic.keywords)
      if (EqualIgnoringCase(candidate, keyword)) return &topic;
  for (const HelpTopic& topic : book.topics)
    for (const std::string& candidate : topic.keywords)
      if (BeginsWithIgnoringCase(candidate, keyword)) return &topic;
  return nullptr;
}

}  // namespace winhelp
