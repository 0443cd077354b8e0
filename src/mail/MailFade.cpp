#include "mail/MailFade.h"

#include "engine/modFade.h"

namespace glimra {

const char kNoTextFoundMessage[] =
    "~B~CRNo text found!~B~CN~N ~NPlease highlight the text you would like faded and try again.";
const char kClipboardBusyMessage[] =
    "~B~CRThe clipboard is busy!~B~CN~N ~NAnother program is holding the clipboard, so Glimra has left your E-Mail "
    "and your clipboard as they were.  Please try again in a moment.";
const char kMessageTooLongMessage[] =
    "~B~CRMessage too long!~B~CN~N ~NGlimra can only safely fade up to 30000 characters of text at a time.  Please "
    "break you fades up into smaller groups!";
const char kMailFadeNotice[] = "Please wait while Glimra applies the fade to your E-Mail";

std::string FadeMailText(std::string_view plain) {
  std::string text = ShieldPlainText(plain);
  return UnshieldFaded(FadeEngine(text));
}

MailFadeCheck CheckMailSelection(std::string_view text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return MailFadeCheck::NoText;
  if (text.size() > kMailFadeLimit) return MailFadeCheck::TooLong;
  return MailFadeCheck::Fade;
}

}  // namespace glimra
