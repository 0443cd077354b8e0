// The rules of the chat fader that need no window: how a line typed into the
// chat box is handled (sent as it is, faded, or run as a chat command), the
// chat command table, the Glimra menu's command numbers, the overflow into
// the multi-line sender and the advertisement's lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Conversions.h"
#include "settings/MakerSite.h"

namespace glimra {

// ---- chat commands ("/" lines) ----

enum class ChatCommand { Help, Advertise, Updates, Show, Hide, FadeOn, FadeOff, Options, Multiline, Keyword };

// The command lower-cased with every blank removed ("Top News" -> "topnews").
std::string NormalizeCommand(std::string_view command);
// What a normalized command does; anything unknown goes to AOL as a keyword.
ChatCommand CommandFor(std::string_view normalized);

// A "/" line that AOL keeps for itself: another "/" from the second character
// on, and no "http://" from there ("//roll", but not "/http://x.com/a").
bool IsLineForAOL(std::string_view text);

// ---- the chat box and the Send icon ----

enum class EnterAction {
  LeaveToAOL,  // AOL handles the key: blank line, "//" line, or fading off
  RunCommand,  // keep the key, empty the box, run the text after "/"
  Fade,        // keep the key, send the faded line instead
};
EnterAction DecideEnter(std::string_view text, VBBool useChatKW, VBBool faderOn);

enum class SendIconAction {
  Nothing,      // blank box, or fading off: the icon sends the box as it is
  LeaveToAOL,   // a "//" line goes out unchanged
  PendCommand,  // empty the box now, run the command on button-up
  Fade,         // replace the box's text by the faded line
};
// The Send icon always treats "/" lines as commands, whatever "Use Chat KW" says.
SendIconAction DecideSendIconDown(std::string_view text, VBBool faderOn);

enum class OverflowAction {
  None,           // the character goes on as usual
  StopAtFullBox,  // fading off, box full: the key goes to AOL untouched, nothing else
  OpenMultiline,  // move the box's text and the character into the multi-line sender
};
constexpr std::int32_t kPlainChatBoxLimit = 85;
// A character `code` arriving in a box that holds `length` characters.
OverflowAction DecideOverflow(VBBool useMultiline, VBBool faderOn, std::int32_t charsInLine, std::int32_t length,
                              std::intptr_t code);

// ---- the Glimra menu in the AOL menu bar ----

enum class MenuAction {
  None,
  Unhook,         // 16 and 273: AOL is closing
  ShowChatTools,  // 60000
  ShowOptions,    // 60001
  Advertise,      // 60002
  ShowWizard,     // 60003
  ShowAbout,      // 60004
  ExitGlimra,     // 60005
  CheckUpdates,   // 60006
  HelpContents,   // 62000
  HelpSearch,     // 62001
  OnlineSupport,  // 62002
};
MenuAction MenuActionFor(std::int32_t value);

constexpr std::int32_t kAOLExitCommand = 8207;

// ---- the advertisement ----

// The rainbow banner: "</B></I></U>", 37 coloured pieces, "<FONT COLOR=#000000>";
// ANSI text (the small tilde, diaeresis, degree and ordinal are single bytes).
std::string AdvertiseBanner();
// The five lines the advertisement sends, banner first, with the links to
// the maker's site.
std::vector<std::string> AdvertiseLines(const MakerSite& site);

}  // namespace glimra
