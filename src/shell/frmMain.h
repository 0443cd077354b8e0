// The start-up window: the title, the version and release date, and the
// status bar prgStatus that start-up and the AOL detection write their
// progress into.
#pragma once

#include <memory>
#include <string>

#include "runtime/FormWindow.h"
#include "runtime/ZolBar.h"

namespace glimra {

class frmMain : public FormWindow {
 public:
  static constexpr char kReleaseText[] = "July 06, 1999";
  static constexpr char kInitialStatus[] = "Initializing Glimra";

  frmMain();
  ZolBar& prgStatus() { return *prgStatus_; }
  HWND lblVersion() const { return lblVersion_; }
  HWND lblRelease() const { return lblRelease_; }

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_BORDER | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  void OnUnload() override;
  void OnPaint(HDC dc) override;

 private:
  std::unique_ptr<ZolBar> prgStatus_;
  HWND lblVersion_ = nullptr;
  HWND lblRelease_ = nullptr;
  HFONT titleFont_ = nullptr;
};

// The one start-up window of the run.
frmMain& MainSplash();

}  // namespace glimra
