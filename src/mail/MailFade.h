// The rules of the e-mail fader's fade button: which highlighted mail text it
// fades and the messages it shows instead.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace glimra {

// At most this many characters of highlighted text are faded at once.
constexpr std::size_t kMailFadeLimit = 30000;

enum class MailFadeCheck {
  NoText,   // nothing but blanks was highlighted
  TooLong,  // more than kMailFadeLimit characters
  Fade,
};
MailFadeCheck CheckMailSelection(std::string_view text);

// Fades plain mail text with the live settings into markup that shows the
// same text again: "<", ">" and "&" come out as entities, and a CR LF line
// break stays one break (no tag between its two halves, which the body would
// take as two breaks). Control bytes 1 to 4 show nothing and are left out.
std::string FadeMailText(std::string_view plain);

extern const char kNoTextFoundMessage[];
// Another program held the clipboard open the whole time Glimra tried it.
extern const char kClipboardBusyMessage[];
extern const char kMessageTooLongMessage[];
// The fade notice's first line while a mail is faded.
extern const char kMailFadeNotice[];

}  // namespace glimra
