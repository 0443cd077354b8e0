#include "settings/MakerSite.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace glimra {

namespace {

constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxName = 253;
constexpr long kMaxPort = 65535;

bool IsLabelCharacter(unsigned char c) { return std::isalnum(c) || c == '-'; }

// One part of a host name between dots: letters, digits and inner hyphens.
bool IsLabel(std::string_view label) {
  return !label.empty() && label.size() <= kMaxLabel && label.front() != '-' && label.back() != '-' &&
         std::all_of(label.begin(), label.end(), [](char c) { return IsLabelCharacter(c); });
}

// A host name or a dotted address; every part between dots must be a label.
bool IsHostName(std::string_view name) {
  if (name.empty() || name.size() > kMaxName) return false;
  for (std::size_t start = 0;;) {
    const std::size_t dot = name.find('.', start);
    if (!IsLabel(name.substr(start, dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

bool IsPort(std::string_view port) {
  if (port.empty() || port.size() > 5) return false;
  if (!std::all_of(port.begin(), port.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return false;
  const long value = std::stol(std::string(port));
  return value >= 1 && value <= kMaxPort;
}

// "name" or "name:port"; anything else would make a web address that fails
// and a contact address without a domain.
bool IsUsableHost(std::string_view host) {
  const std::size_t colon = host.find(':');
  if (colon == std::string_view::npos) return IsHostName(host);
  return IsHostName(host.substr(0, colon)) && IsPort(host.substr(colon + 1));
}

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
  return {IsUsableHost(host) ? host : kDefaultWebServer};
}

MakerSite ReadMakerSite(const SettingReader& read) { return MakerSiteFor(read("", kWebServerSetting)); }

}  // namespace glimra
