// The formatted message box window: an icon and marked-up text in Picture1,
// and up to three buttons, Command1(0) the rightmost. Picture1 (control 100)
// holds the marked-up message as its window text.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "runtime/FormWindow.h"
#include "shell/MsgBoxLayout.h"
#include "shell/PictureBox.h"

namespace glimra {

class frmMsg : public FormWindow {
 public:
  frmMsg();
  ~frmMsg() override;

  PictureBox& Picture1() { return *picture_; }
  HostedControl& Command1(int index) { return *buttons_[static_cast<std::size_t>(index)]; }

  // Lays the window out for `layout` and `message` (rendering, button
  // positions, height, icon, caption, centring).
  void Arrange(const MsgLayout& layout, const std::string& message, bool etchedEdge);

 protected:
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool OnClose() override;

 private:
  void Command1_Click(int index);
  void MoveButtonsBelowText();
  void ApplyButtons(const MsgLayout& layout);

  std::unique_ptr<PictureBox> picture_;
  std::array<HostedControl*, 3> buttons_{};
  HFONT buttonFont_ = nullptr;  // Arial 9 pt, the window's font and so its buttons' ambient font
};

}  // namespace glimra
