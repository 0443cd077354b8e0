// The texts of a mail that shares fade schemes with another member: its
// subject, its HTML body (a signature line, the schemes with or without a
// faded sample of each, installation directions), and the failure messages
// of the sharing window. Plain ANSI text, one byte a character.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "settings/MakerSite.h"
#include "settings/SchemeFile.h"

namespace glimra {

// The sample sentence of a scheme, faded in the scheme's own colours and
// styles (bold innermost, then italic, then underline). A fade number outside
// 1 to 6 gives the empty text; the scheme's solid switch plays no part.
std::string MakeEMailFade(const FadeScheme& scheme);

// "A "Glimra" Fade Scheme from " for one scheme, "Zip of "Glimra" Fade
// Schemes from " for any other count, followed by the sender.
std::string SharingSubject(std::size_t schemeCount, const std::string& sender);

// The installation directions that close the body, with links to the maker's site.
std::string DirectionsTag(const MakerSite& site);

// One shared scheme: its name and its faded sample (MakeEMailFade).
struct SharedScheme {
  std::string name;
  std::string sample;
};

// The whole body for the schemes in list order. With exactly one scheme the
// body names it alone; any other count (none included) announces the count
// first. `withSample` puts each scheme's sample under its name.
std::string SharingBody(const std::vector<SharedScheme>& schemes, bool withSample, const std::string& sender,
                        const std::string& versionText, const MakerSite& site);

// The sharing window's messages.
extern const char kNoMailWindowMessage[];
// A scheme's file could not be written for attaching.
std::string SchemeFileNotWrittenMessage(const std::string& scheme);
extern const char kNoAttachmentsWindowMessage[];
extern const char kNoAttachButtonMessage[];
extern const char kNoAttachFileWindowMessage[];
extern const char kNoAttachFileEditMessage[];
extern const char kNoOpenButtonMessage[];
// Another program held the clipboard open the whole time the body was to go in.
extern const char kSharingClipboardBusyMessage[];
// The scheme list's failure when the "Schemes" key cannot be opened.
extern const char kSchemesKeyMessage[];

}  // namespace glimra
