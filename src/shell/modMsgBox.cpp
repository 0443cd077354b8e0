#include "shell/modMsgBox.h"

#include <windows.h>

#include "runtime/Conversions.h"
#include "runtime/EventPump.h"
#include "shell/frmMsg.h"

namespace glimra {

namespace {

// Beeps, shows the box and returns once a button has hidden it.
void ShowAndWait(frmMsg& box, const MsgLayout& layout) {
  MessageBeep(static_cast<UINT>(layout.icon));
  box.Show(!layout.waiting);
  if (layout.waiting) PumpUntil([&box] { return !box.Visible(); });
}

}  // namespace

void ShowMsg(const std::string& message, std::int32_t style) {
  frmMsg box;
  box.Load();
  const MsgLayout layout = ShowMsgLayout(style);
  box.Arrange(layout, message, true);
  ShowAndWait(box, layout);
  box.Unload();
}

std::int16_t AskMsg(const std::string& message, std::int32_t style) {
  frmMsg box;
  box.Load();
  const MsgLayout layout = AskMsgLayout(style);
  box.Arrange(layout, message, false);
  ShowAndWait(box, layout);
  const std::string tag = box.Tag;
  box.Unload();
  return tag.empty() ? 0 : CInt(tag);
}

}  // namespace glimra
