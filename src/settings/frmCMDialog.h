// The folder picker that locates the AOL client: a drive list, a folder
// list and the file list showing "aol.exe" in the current folder. Its opener
// sets the caption and the path box, shows it, waits while it is visible,
// then reads the path box (empty after Cancel) and unloads it.
#pragma once

#include <string>
#include <vector>

#include "runtime/FormWindow.h"

namespace glimra {

class frmCMDialog : public FormWindow {
 public:
  static constexpr char kAolDirectoryCaption[] = "Select AOL Directory";

  frmCMDialog();

  // The path box: the folder chosen.
  std::string PathBox() const;
  void SetPathBox(const std::string& text);
  // Dir1's folder ("C:\" for a root, else without a closing "\").
  const std::string& Dir1Path() const { return dir1Path_; }
  // Lists `folder` in Dir1 and File1, as a double-click on it does; false
  // when the folder cannot be read (nothing changes then).
  bool SetDir1Path(const std::string& folder);

 protected:
  void OnLoad() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  bool OnClose() override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();
  void FillDrive1();
  void SelectDrive1(const std::string& folder);
  void FillDir1();
  void FillFile1();

  void Drive1_Change();
  void Dir1_Change();
  void Dir1_DblClick();
  void File1_Click();
  void File1_DblClick();
  void Command1_Click();
  void Command2_Click();

  HWND drive1_ = nullptr;
  HWND dir1_ = nullptr;
  HWND file1_ = nullptr;
  HWND pathBox_ = nullptr;
  HWND lblPath_ = nullptr;
  HostedControl* command1_ = nullptr;
  HostedControl* command2_ = nullptr;
  std::string dir1Path_;
  std::vector<std::string> dir1Folders_;  // the folder of each Dir1 entry
};

}  // namespace glimra
