#include "settings/MakerSite.h"

#include <algorithm>
#include <cctype>

namespace glimra {

namespace {

bool IsHostCharacter(unsigned char c) { return std::isalnum(c) || c == '.' || c == '-' || c == ':'; }

std::string TrimmedBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string MakerSite::WebSite() const { return "http://" + host; }
std::string MakerSite::VersionDocument() const { return WebSite() + "/glimraver32"; }
std::string MakerSite::DownloadPage() const { return WebSite() + "/glimra/update.html"; }
std::string MakerSite::SupportPage() const { return WebSite() + "/glimra/support.html"; }

std::string MakerSite::ContactAddress() const {
  std::string domain = host.substr(0, host.find(':'));
  if (domain.rfind("www.", 0) == 0) domain.erase(0, 4);
  return "glimra@" + domain;
}

MakerSite MakerSiteFor(const std::string& storedHost) {
  const std::string host = TrimmedBlanks(storedHost);
  const bool usable = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) { return IsHostCharacter(c); });
  return {usable ? host : kDefaultWebServer};
}

MakerSite ReadMakerSite(const SettingReader& read) { return MakerSiteFor(read("", kWebServerSetting)); }

}  // namespace glimra
