// The rules of the e-mail fader's fade button: which highlighted mail text it
// fades and the messages it shows instead.
#pragma once

#include <cstddef>
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

extern const char kNoTextFoundMessage[];
extern const char kMessageTooLongMessage[];
// The fade notice's first line while a mail is faded.
extern const char kMailFadeNotice[];

}  // namespace glimra
