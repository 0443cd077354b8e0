// The maker's web server: one host for every address of the maker's site
// that Glimra fetches or shows (the version check, the download page, the
// support page, the advertisement's links and the contact address). The
// host is the root setting "Web Server" (a host name or address, with
// ":port" when not 80); without a usable one it is a reserved example
// domain, which no one else can own and which never resolves.
#pragma once

#include <string>

#include "settings/SchemeFile.h"

namespace glimra {

constexpr char kWebServerSetting[] = "Web Server";
constexpr char kDefaultWebServer[] = "www.zolsoftware.example";

struct MakerSite {
  std::string host;

  std::string WebSite() const;          // http://host
  std::string VersionDocument() const;  // http://host/glimraver32
  std::string DownloadPage() const;     // http://host/glimra/update.html
  std::string SupportPage() const;      // http://host/glimra/support.html
  // "glimra@" and the host without its port and without a leading "www.".
  std::string ContactAddress() const;
};

// The site for a stored host, blanks trimmed. Anything but a host name or
// dotted address (parts of letters, digits and inner hyphens between single
// dots) with an optional ":port" of 1-65535 gives the default: such a host
// makes no working web address, and it ends up on AOL's command line, where
// a blank or a quote would add arguments of its own.
MakerSite MakerSiteFor(const std::string& storedHost);
MakerSite ReadMakerSite(const SettingReader& read);

#ifdef _WIN32
// The same from the registry (ReadSetting), read again on every call.
MakerSite ReadMakerSite();
#endif

}  // namespace glimra
