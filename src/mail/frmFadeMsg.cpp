#include "mail/frmFadeMsg.h"

#include "mail/MailFade.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr int kWidth = 4200, kHeight = 1290;

HFONT NoticeFont(bool bold) {
  static HFONT fonts[2] = {};
  HFONT& font = fonts[bold ? 1 : 0];
  if (!font)
    font = CreateFontA(-13, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
  return font;
}

}  // namespace

frmFadeMsg::frmFadeMsg() : FormWindow("frmFadeMsg", kWidth, kHeight) {}

void frmFadeMsg::OnLoad() {
  SetCaption("Glimra Fade Notice");
  const auto label = [&](UINT id, const std::string& text, const TwipRect& place, bool bold) {
    HWND child = AddChild("STATIC", text, WS_VISIBLE | SS_CENTER, id, place);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(NoticeFont(bold)), FALSE);
  };
  label(kLabel3, "Glimra E-Mail Fader", {120, 90, kWidth - 240, 255}, true);
  label(kLblMsg, "", {120, 420, kWidth - 240, 450}, false);
  label(kLabel2, "This may take a minute...", {120, 930, kWidth - 240, 240}, false);
  PrepareForm(*this);
  DrawFormEdge(*this);
  SetDlgItemTextA(hWnd(), kLblMsg, kMailFadeNotice);
}

std::string frmFadeMsg::lblMsg() const {
  char text[256] = {};
  if (IsLoaded()) GetDlgItemTextA(hWnd(), kLblMsg, text, sizeof text);
  return text;
}

frmFadeMsg& FadeMsg() {
  static frmFadeMsg form;
  return form;
}

}  // namespace glimra
