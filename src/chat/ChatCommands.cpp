#include "chat/ChatCommands.h"

#include <cctype>
#include <utility>

namespace glimra {

namespace {

bool IsBlankOnly(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

bool IsEditingKey(std::intptr_t code) { return code == 8 || code == 9 || code == 10 || code == 13; }

}  // namespace

std::string NormalizeCommand(std::string_view command) {
  std::string normalized;
  for (char c : command)
    if (c != ' ') normalized += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return normalized;
}

ChatCommand CommandFor(std::string_view normalized) {
  static const std::pair<std::string_view, ChatCommand> kTable[] = {
      {"help", ChatCommand::Help},       {"adv", ChatCommand::Advertise},  {"advertise", ChatCommand::Advertise},
      {"updates", ChatCommand::Updates}, {"update", ChatCommand::Updates}, {"show", ChatCommand::Show},
      {"hide", ChatCommand::Hide},       {"fadeon", ChatCommand::FadeOn},  {"fadeoff", ChatCommand::FadeOff},
      {"options", ChatCommand::Options}, {"opt", ChatCommand::Options},    {"multiline", ChatCommand::Multiline},
  };
  for (const auto& [text, command] : kTable)
    if (normalized == text) return command;
  return ChatCommand::Keyword;
}

bool IsLineForAOL(std::string_view text) {
  return text.find('/', 1) != std::string_view::npos && text.find("http://", 1) == std::string_view::npos;
}

EnterAction DecideEnter(std::string_view text, VBBool useChatKW, VBBool faderOn) {
  if (IsBlankOnly(text)) return EnterAction::LeaveToAOL;
  if (text[0] == '/' && IsTrue(useChatKW))
    return IsLineForAOL(text) ? EnterAction::LeaveToAOL : EnterAction::RunCommand;
  return IsTrue(faderOn) ? EnterAction::Fade : EnterAction::LeaveToAOL;
}

SendIconAction DecideSendIconDown(std::string_view text, VBBool faderOn) {
  if (IsBlankOnly(text)) return SendIconAction::Nothing;
  if (text[0] == '/') return IsLineForAOL(text) ? SendIconAction::LeaveToAOL : SendIconAction::PendCommand;
  return IsTrue(faderOn) ? SendIconAction::Fade : SendIconAction::Nothing;
}

OverflowAction DecideOverflow(VBBool useMultiline, VBBool faderOn, std::int32_t charsInLine, std::int32_t length,
                              std::intptr_t code) {
  if (!IsTrue(useMultiline)) return OverflowAction::None;
  if (IsTrue(faderOn))
    return length == charsInLine && !IsEditingKey(code) ? OverflowAction::OpenMultiline : OverflowAction::None;
  if (faderOn == kFalse && length == kPlainChatBoxLimit)
    return IsEditingKey(code) ? OverflowAction::StopAtFullBox : OverflowAction::OpenMultiline;
  return OverflowAction::None;
}

MenuAction MenuActionFor(std::int32_t value) {
  switch (value) {
    case 16:
    case 273: return MenuAction::Unhook;
    case 60000: return MenuAction::ShowChatTools;
    case 60001: return MenuAction::ShowOptions;
    case 60002: return MenuAction::Advertise;
    case 60003: return MenuAction::ShowWizard;
    case 60004: return MenuAction::ShowAbout;
    case 60005: return MenuAction::ExitGlimra;
    case 60006: return MenuAction::CheckUpdates;
    case 62000: return MenuAction::HelpContents;
    case 62001: return MenuAction::HelpSearch;
    case 62002: return MenuAction::OnlineSupport;
    default: return MenuAction::None;
  }
}

std::string AdvertiseBanner() {
  // Small tilde, diaeresis, degree and masculine ordinal of the Windows Latin-1 code page.
  static constexpr char kTilde[] = "\x98", kDiaeresis[] = "\xA8", kDegree[] = "\xB0", kOrdinal[] = "\xBA";
  static const std::pair<const char*, const char*> kPieces[] = {
      {"33e460", kTilde},
      {"66df48", kDiaeresis},
      {"99db30", kDiaeresis},
      {"ccd618", kDiaeresis},
      {"ffd200", kDiaeresis},
      {"fcba00", kTilde},
      {"f9a200", "'"},
      {"f68a00", "'"},
      {"f37200", kDegree},
      {"f05a00", kOrdinal},
      {"dc4400", "^"},
      {"c82d00", "v"},
      {"b41600", "^"},
      {"a00000", "^"},
      {"78001a", "v"},
      {"500034", "^"},
      {"28004f", "~"},
      {"000069", "*"},
      {"000000", "<B>I'm using Glimra!"},
      {"200054", "</B>*"},
      {"40003f", "~"},
      {"60002a", "^"},
      {"800015", "v"},
      {"a00000", "^"},
      {"b01200", "^"},
      {"c02400", "v"},
      {"d03600", "^"},
      {"e04800", kOrdinal},
      {"f05a00", kDegree},
      {"f47800", "'"},
      {"f89600", "'"},
      {"fbb400", kTilde},
      {"ffd200", kDiaeresis},
      {"bfd81e", kDiaeresis},
      {"80dd3c", kDiaeresis},
      {"40e25a", kDiaeresis},
      {"00e878", kTilde},
  };
  std::string banner = "</B></I></U>";
  for (const auto& [colour, text] : kPieces) banner += std::string("<FONT COLOR=#") + colour + ">" + text;
  return banner + "<FONT COLOR=#000000>";
}

std::vector<std::string> AdvertiseLines(const MakerSite& site) {
  const std::string contact = site.ContactAddress();
  return {AdvertiseBanner(), "<I>A cool tool to spice up your AOL 4.0 chat!</I>", " ",
          "For more information, E-Mail <A HREF=mailto:" + contact + "?subject=Glimra_Info>" + contact + "</A>",
          "Or visit the <A HREF=" + site.WebSite() + ">Zol Software</A> website!</HTML>"};
}

}  // namespace glimra
