#include "Config.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace waol {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (start <= text.size()) {
    const auto end = std::min(text.find(separator, start), text.size());
    std::string part = Trim(text.substr(start, end - start));
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

const char* EditionName(Edition edition) {
  switch (edition) {
    case Edition::UK: return "UK";
    case Edition::Canada: return "Canada";
    case Edition::Australia: return "Australia";
    default: return "US";
  }
}

std::string ClientConfig::CurrentName() const {
  if (current >= 0 && current < static_cast<int>(screenNames.size())) return screenNames[current];
  return "";
}

namespace {

// Splits the command line into words; a quoted word may hold blanks.
std::vector<std::string> Words(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

class Source {
 public:
  Source(std::string ini, const std::map<std::string, std::string>& overrides)
      : ini_(std::move(ini)), overrides_(overrides) {}
  std::string Get(const char* key, const char* fallback) const {
    auto found = overrides_.find(Lower(key));
    if (found != overrides_.end()) return found->second;
    char value[2048] = {};
    GetPrivateProfileStringA("Client", key, fallback, value, sizeof value, ini_.c_str());
    return value;
  }
  int Int(const char* key, int fallback) const {
    const std::string text = Get(key, "");
    return text.empty() ? fallback : std::atoi(text.c_str());
  }

 private:
  std::string ini_;
  const std::map<std::string, std::string>& overrides_;
};

Edition ParseEdition(const std::string& name) {
  const std::string lower = Lower(name);
  if (lower == "uk") return Edition::UK;
  if (lower == "canada" || lower == "ca") return Edition::Canada;
  if (lower == "australia" || lower == "au") return Edition::Australia;
  return Edition::US;
}

}  // namespace

ClientConfig LoadConfig(const std::string& commandLine) {
  ClientConfig config;
  config.folder = ProgramFolder();
  for (const std::string& word : Words(commandLine)) {
    if (word.size() > 2 && (word[0] == '-' || word[0] == '/') && (word[1] == 's' || word[1] == 'S') &&
        word.find('=') == std::string::npos) {
      config.keyword = word.substr(2);
    } else if (word.size() > 1 && word[0] == '/' && word.find('=') != std::string::npos) {
      const auto equals = word.find('=');
      config.overrides[Lower(word.substr(1, equals - 1))] = word.substr(equals + 1);
    }
  }
  const Source source(config.folder + "\\waol.ini", config.overrides);
  config.version = std::clamp(source.Int("Version", 4), 3, 9);
  config.minor = std::clamp(source.Int("Minor", 0), 0, 9);
  config.edition = ParseEdition(source.Get("Edition", "US"));
  config.signedOn = source.Int("SignedOn", 1) != 0;
  const auto names = Split(source.Get("ScreenNames", "Tester"), ',');
  if (!names.empty()) config.screenNames.assign(names.begin(), names.begin() + std::min<size_t>(names.size(), 8));
  const std::string current = source.Get("Current", "");
  for (size_t i = 0; i < config.screenNames.size(); ++i)
    if (Lower(config.screenNames[i]) == Lower(current)) config.current = static_cast<int>(i);
  config.moduleName = source.Get("ModuleName", "");
  config.menuDelayMs = std::clamp(source.Int("MenuDelay", 0), 0, 60000);
  config.mailDelayMs = std::clamp(source.Int("MailDelay", 0), 0, 120000);
  config.menuCount = std::clamp(source.Int("MenuCount", 5), 5, 8);
  config.chatRooms = Split(source.Get("ChatRoom", ""), '|');
  config.goodbye = source.Int("Goodbye", 0) != 0;
  config.onlineAnswer = source.Int("OnlineAnswer", 0);
  if (config.onlineAnswer == 1) config.onlineAnswer = 0;  // 1 means signed off
  config.logPath = source.Get("Log", "");
  if (config.logPath.empty()) config.logPath = config.folder + "\\waol.log";
  return config;
}

}  // namespace waol
