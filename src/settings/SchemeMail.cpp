#include "settings/SchemeMail.h"

#include "engine/modFade.h"
#include "shell/MsgBoxLayout.h"

namespace glimra {

const char kNoMailWindowMessage[] =
    "~BGlimra was unable to open an E-Mail window.~B~N ~NPlease open an E-Mail by pressing ~B~CBCTRL+M~B~CN and try "
    "this operation again.";
std::string SchemeFileNotWrittenMessage(const std::string& scheme) {
  return "Glimra was unable to write the file ~B~CR" + EscapeMsgText(scheme) +
         ".fde~B~CN to its outgoing folder.~N ~NNothing has been attached. Please try this operation again!";
}

const char kNoAttachmentsWindowMessage[] =
    "Glimra was unable to open the ~B~CRAttachments~B~CN window.~N ~NPlease try this operation again!";
const char kNoAttachButtonMessage[] =
    "Glimra was unable to click the ~B~CRAttach~B~CN button.~N ~NPlease try this operation again!";
const char kNoAttachFileWindowMessage[] =
    "Glimra was unable to open the ~B~CRAttach File~B~CN window.~N ~NPlease try this operation again!";
const char kNoAttachFileEditMessage[] =
    "Glimra was unable to set text to the ~B~CRAttach File~B~CN window.~N ~NPlease try this operation again!";
const char kNoOpenButtonMessage[] =
    "Glimra was unable to click the ~B~CROpen~B~CN button in the Attach File window.~N ~NPlease try this operation "
    "again!";
const char kSharingClipboardBusyMessage[] =
    "~B~CRThe clipboard is busy!~B~CN~N ~NAnother program is holding the clipboard, so Glimra could not put the "
    "text into your E-Mail and has left your clipboard as it was.  Please try again in a moment.";
const char kSchemesKeyMessage[] =
    "~B~CRCannot open registry key \"SCHEMES\"~B~CN~N ~NPlease reinstall Glimra to restore this key.~N ~NThis "
    "function will now end.";

namespace {

constexpr char kCrLf[] = "\r\n";

// The maker's pages.
std::string Link(const std::string& address, const std::string& text) {
  return "<A HREF=" + address + ">" + text + "</A>";
}
std::string EchorraPage(const MakerSite& site) { return site.WebSite() + "/echorra32/"; }
std::string GlimraPage(const MakerSite& site) { return site.WebSite() + "/glimra/"; }

// A line of 62 underscores over a line of 62 macrons (0xAF in the ANSI code page).
std::string Rule() {
  return "</FONT><FONT  SIZE=3 PTSIZE=10><U>" + std::string(62, '_') + "</U>" + kCrLf + std::string(62, '\xAF') + kCrLf;
}

// Small tildes (0x98), diaereses (0xA8), apostrophes, degrees (0xB0) and ordinals (0xBA): 41 characters.
std::string Divider() {
  const std::string wave = "''\xB0\xBA\xBA\xB0''";
  return "\x98\xA8\xA8\xA8\xA8\x98" + wave + "\x98\x98" + wave + "\x98\x98" + wave + "\x98\x98\xA8\xA8\xA8\xA8\x98";
}

std::string Header(std::size_t count) {
  return "<Font Color=#000000 Size=2><B>Number of Fade Schemes in this zip file<Font Color=#0000ff Size=3><I>\r" +
         std::to_string(count) + "\r</B></I><Font Color=#000000 Size=3>" + Divider() + kCrLf + kCrLf +
         "<B>Fade Schemes included in this zip file</B>" + kCrLf + kCrLf;
}

std::string NameWithSample(const SharedScheme& scheme) {
  return "<B><U><FONT COLOR=#000000>" + EscapeMarkup(scheme.name) + "</B></U>" + kCrLf + scheme.sample + kCrLf + kCrLf;
}

std::string Wrap(const char* open, const std::string& text, const char* close) { return open + text + close; }

}  // namespace

std::string MakeEMailFade(const FadeScheme& scheme) {
  // The name is plain text: its "<" or "&" must show as it stands.
  const std::string text = ShieldPlainText("This is a sample of the " + scheme.Name + " fade scheme!");
  const Colour* c = scheme.Colors;
  std::string faded;
  switch (scheme.FadeNumber) {
    case 1: faded = SolidByColor(text, {c[1]}, scheme.Wavy); break;
    case 2: faded = FadeByColor2(c[1], c[2], text, scheme.Wavy); break;
    case 3: faded = FadeByColor3(c[1], c[2], c[3], text, scheme.Wavy); break;
    case 4: faded = FadeByColor4(c[1], c[2], c[3], c[4], text, scheme.Wavy); break;
    case 5: faded = FadeByColor5(c[1], c[2], c[3], c[4], c[5], text, scheme.Wavy); break;
    case 6: faded = FadeByColor6(c[1], c[2], c[3], c[4], c[5], c[6], text, scheme.Wavy); break;
    default: return "";
  }
  faded = UnshieldFaded(faded);
  if (IsTrue(scheme.Bold)) faded = Wrap("<B>", faded, "</B>");
  if (IsTrue(scheme.Italic)) faded = Wrap("<I>", faded, "</I>");
  if (IsTrue(scheme.ULine)) faded = Wrap("<U>", faded, "</U>");
  return faded;
}

std::string SharingSubject(std::size_t schemeCount, const std::string& sender) {
  return (schemeCount == 1 ? "A \"Glimra\" Fade Scheme from " : "Zip of \"Glimra\" Fade Schemes from ") + sender;
}

std::string DirectionsTag(const MakerSite& site) {
  const std::string requirement = "You must have Zol Software's " + Link(EchorraPage(site), "Echorra 32 - 9.x") +
                                  " or " + Link(GlimraPage(site), "Glimra") + " program installed on your computer.";
  return std::string(
             "</P><P ALIGN=LEFT></FONT><FONT COLOR=#000000 SIZE=3 PTSIZE=9><B><U>Directions for installing:</FONT>"
             "<FONT  SIZE=2 PTSIZE=8></B></U>") +
         kCrLf + requirement + kCrLf + kCrLf +
         "<I>Detailed installation instructions are located within your Echorra 32 or Glimra Help file.</I>" + kCrLf +
         kCrLf;
}

std::string SharingBody(const std::vector<SharedScheme>& schemes, bool withSample, const std::string& sender,
                        const std::string& versionText, const MakerSite& site) {
  const bool one = schemes.size() == 1;
  const std::string intro =
      std::string("</FONT><FONT  SIZE=2 PTSIZE=8>") + (one ? "This Fade Scheme was " : "These Fade Schemes were ");
  std::string list;
  if (one)
    list = withSample ? NameWithSample(schemes[0]) : "<FONT COLOR=#000000>" + EscapeMarkup(schemes[0].name);
  else
    for (const SharedScheme& scheme : schemes)
      list += withSample ? NameWithSample(scheme) : "<FONT COLOR=#000000>" + EscapeMarkup(scheme.name) + ", ";
  return "<HTML><PRE></P><P ALIGN=CENTER>" + intro + "brought to you by <B>" + EscapeMarkup(sender) +
         " </B>using <B>Glimra - <FONT COLOR=#0000ff FONT  SIZE=2 PTSIZE=8>Rev " + versionText + kCrLf +
         "</FONT><FONT COLOR=#000000 SIZE=2></B>Get your copy now at the " + Link(site.WebSite(), "Zol Software") +
         " website!" + kCrLf + "</FONT><FONT COLOR=#000000 SIZE=2>" + Rule() + (one ? "" : Header(schemes.size())) +
         list + "<FONT COLOR=#000000>" + Rule() + DirectionsTag(site) + "</B></I></U><FONT COLOR=#000000>" + kCrLf +
         kCrLf + "</PRE></HTML>";
}

}  // namespace glimra
