// The fade notice: a small window without caption or buttons that asks the
// member to wait while a mail selection is being faded.
#pragma once

#include <string>

#include "runtime/FormWindow.h"

namespace glimra {

class frmFadeMsg : public FormWindow {
 public:
  enum : UINT { kLblMsg = 101, kLabel2, kLabel3 };
  frmFadeMsg();

  std::string lblMsg() const;

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_BORDER | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  bool OnClose() override { return false; }
};

// The one fade notice of the run.
frmFadeMsg& FadeMsg();

}  // namespace glimra
