#include "settings/frmCMDialog.h"

#include <windows.h>

#include <algorithm>

#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "settings/modFileOp.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

enum ControlId : UINT {
  kDrive1 = 301,
  kDir1,
  kFile1,
  kPathBox,
  kLblPath,
  kLabel2,
  kLabel3,
  kHint,
  kCommand1,
  kCommand2,
};

constexpr char kFilePattern[] = "aol.exe";
constexpr char kNotFoundMessage[] =
    "~B~CRAOL.EXE not found!~B~CN~N ~NThis is not a valid AOL directory.~N ~NPlease choose a directory that "
    "conatins the ~B~CBAOL.EXE~B~CN file.";

bool IsRoot(const std::string& folder) { return folder.size() == 3 && folder[1] == ':' && folder[2] == '\\'; }

// "C:\" for a drive root, otherwise the folder without a closing "\".
std::string Normalised(std::string folder) {
  std::replace(folder.begin(), folder.end(), '/', '\\');
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  if (IsRoot(folder)) folder[0] = static_cast<char>(toupper(static_cast<unsigned char>(folder[0])));
  return folder;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Names in `folder` matching `pattern`: its subfolders, or its files.
std::vector<std::string> Names(const std::string& folder, const char* pattern, bool folders, bool& readable) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(Joined(folder, pattern).c_str(), &found);
  readable = search != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND;
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name == "." || name == ".." || isFolder != folders) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
    names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
  return names;
}

// The folders from the root down to `folder`: "C:\", "C:\A", "C:\A\B".
std::vector<std::string> Ancestry(const std::string& folder) {
  std::vector<std::string> chain{folder.substr(0, 3)};
  for (std::size_t at = folder.find('\\', 3); chain.back() != folder; at = folder.find('\\', at + 1))
    chain.push_back(folder.substr(0, at));
  return chain;
}

std::string LastName(const std::string& folder) {
  return IsRoot(folder) ? folder : folder.substr(folder.find_last_of('\\') + 1);
}

// "c:" followed by the volume label of a fixed drive.
std::string DriveEntry(const std::string& root) {
  std::string entry{static_cast<char>(tolower(static_cast<unsigned char>(root[0]))), ':'};
  char label[MAX_PATH] = {};
  if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED &&
      GetVolumeInformationA(root.c_str(), label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0) && *label)
    entry += std::string(" [") + label + "]";
  return entry;
}

}  // namespace

constexpr UINT kListFolderLater = WM_APP + 1;

frmCMDialog::frmCMDialog() : FormWindow("frmCMDialog", 5400, 3960) {}

void frmCMDialog::AddControls() {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto add = [&](const char* kind, const char* text, DWORD style, UINT id, const TwipRect& place, DWORD ex = 0) {
    HWND control = AddChild(kind, text, WS_VISIBLE | style, id, place, ex);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  add("STATIC", "Folders:", 0, kLabel2, {120, 120, 2400, 240});
  lblPath_ = add("STATIC", "", SS_PATHELLIPSIS | SS_NOPREFIX, kLblPath, {120, 360, 2880, 240});
  dir1_ = add("LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kDir1, {120, 600, 2880, 2040},
              WS_EX_CLIENTEDGE);
  add("STATIC", "Double-click your current AOL folder", 0, kHint, {120, 2700, 5160, 240});
  add("STATIC", "Drives:", 0, kLabel3, {3240, 120, 2040, 240});
  drive1_ = add("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kDrive1, {3240, 360, 2040, 1800});
  file1_ = add("LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kFile1,
               {3240, 840, 2040, 1800}, WS_EX_CLIENTEDGE);
  pathBox_ =
      add("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, kPathBox, {120, 3000, 5160, 300}, WS_EX_CLIENTEDGE);
  command1_ = &AddZolButton(kCommand1, {2880, 3480, 1095, 330}, "OK");
  command2_ = &AddZolButton(kCommand2, {4080, 3480, 1200, 330}, "Cancel");
  ShowWindow(command1_->Window(), SW_SHOW);
  ShowWindow(command2_->Window(), SW_SHOW);
}

void frmCMDialog::OnLoad() {
  SetCaption("Select A Path");
  AddControls();
  CenterForm(*this);
  StayOnTop(*this);
  SetFormColor(*this);
  SetButtonColor(*command1_, kFalse);
  SetButtonColor(*command2_, kFalse);
  // The edge is drawn with every paint of the window.
  DrawFormEdge(*this);
  FillDrive1();
  SelectDrive1("C:\\");
  SetDir1Path("C:\\");
  SetPathBox("c:\\");
}

std::string frmCMDialog::PathBox() const { return WindowText(pathBox_); }
void frmCMDialog::SetPathBox(const std::string& text) { SetWindowTextA(pathBox_, text.c_str()); }

void frmCMDialog::FillDrive1() {
  SendMessageA(drive1_, CB_RESETCONTENT, 0, 0);
  char drives[512] = {};
  GetLogicalDriveStringsA(sizeof drives, drives);
  for (const char* root = drives; *root; root += lstrlenA(root) + 1)
    SendMessageA(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveEntry(root).c_str()));
}

void frmCMDialog::SelectDrive1(const std::string& folder) {
  const std::string drive{static_cast<char>(tolower(static_cast<unsigned char>(folder[0]))), ':'};
  SendMessageA(drive1_, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(drive.c_str()));
}

bool frmCMDialog::SetDir1Path(const std::string& folder) {
  const std::string wanted = Normalised(folder);
  if (wanted.size() < 3 || wanted[1] != ':' || wanted[2] != '\\') return false;
  bool readable = false;
  Names(wanted, "*", true, readable);
  if (!readable) return false;
  dir1Path_ = wanted;
  Dir1_Change();
  return true;
}

void frmCMDialog::FillDir1() {
  SendMessageA(dir1_, LB_RESETCONTENT, 0, 0);
  dir1Folders_.clear();
  auto addEntry = [&](const std::string& path, std::size_t depth) {
    const std::string text = std::string(depth * 3, ' ') + LastName(path);
    SendMessageA(dir1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    dir1Folders_.push_back(path);
  };
  const std::vector<std::string> chain = Ancestry(dir1Path_);
  for (std::size_t depth = 0; depth < chain.size(); ++depth) addEntry(chain[depth], depth);
  bool readable = false;
  for (const std::string& name : Names(dir1Path_, "*", true, readable)) addEntry(Joined(dir1Path_, name), chain.size());
  SendMessageA(dir1_, LB_SETCURSEL, chain.size() - 1, 0);
}

void frmCMDialog::FillFile1() {
  SendMessageA(file1_, LB_RESETCONTENT, 0, 0);
  bool readable = false;
  for (const std::string& name : Names(dir1Path_, kFilePattern, false, readable))
    SendMessageA(file1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void frmCMDialog::OnCommand(UINT id, UINT code, HWND) {
  switch (id) {
    case kDrive1:
      if (code == CBN_SELCHANGE) Drive1_Change();
      break;
    case kDir1:
      if (code == LBN_DBLCLK) Dir1_DblClick();
      break;
    case kFile1:
      if (code == LBN_SELCHANGE) File1_Click();
      if (code == LBN_DBLCLK) File1_DblClick();
      break;
    case kCommand1:
      if (code == BN_CLICKED) Command1_Click();
      break;
    case kCommand2:
      if (code == BN_CLICKED) Command2_Click();
      break;
    default: break;
  }
}

// The drive list goes to the chosen drive's root; a drive that cannot be
// read (device unavailable) is refused and the list shows the folder's
// drive again.
void frmCMDialog::Drive1_Change() {
  char entry[MAX_PATH] = {};
  const LRESULT selected = SendMessageA(drive1_, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return;
  SendMessageA(drive1_, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(entry));
  const std::string root = std::string(entry, 2) + "\\";
  if (SetDir1Path(root)) return;
  MessageBoxA(hWnd(), "There is no disk present in the disk drive", "Terminator", MB_OK | MB_ICONHAND);
  SelectDrive1(dir1Path_);
}

void frmCMDialog::Dir1_Change() {
  FillDir1();
  FillFile1();
  SelectDrive1(dir1Path_);
  SetWindowTextA(lblPath_, (dir1Path_ + " ").c_str());
  SetPathBox(dir1Path_);
  const bool listsAFile = SendMessageA(file1_, LB_GETCOUNT, 0, 0) > 0;
  command1_->SetBool(L"Enabled", listsAFile);
  EnableWindow(command1_->Window(), listsAFile);
}

void frmCMDialog::Dir1_DblClick() {
  const LRESULT index = SendMessageA(dir1_, LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= dir1Folders_.size()) return;
  // Listing the folder rebuilds Dir1 itself, so it runs after the list's own message.
  PostMessageA(hWnd(), kListFolderLater, static_cast<WPARAM>(index), 0);
}

// A click on the file list picks the folder holding that file: the path box
// shows the folder again (the opener wants the AOL folder, not the file).
void frmCMDialog::File1_Click() { SetPathBox(dir1Path_); }

void frmCMDialog::File1_DblClick() {
  SetPathBox(dir1Path_);
  Hide();
}

void frmCMDialog::Command1_Click() {
  if (Caption() == kAolDirectoryCaption) {
    const std::string path = PathBox();
    if (SameText(path, "C:\\") || !FileExists(Joined(path, kFilePattern))) {
      ShowMsg(kNotFoundMessage, 16);
      return;
    }
  }
  Hide();
}

void frmCMDialog::Command2_Click() {
  SetPathBox("");
  Hide();
}

// Closing the window from its system menu cancels.
bool frmCMDialog::OnClose() {
  Command2_Click();
  return false;
}

bool frmCMDialog::OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == kListFolderLater) {
    if (wp < dir1Folders_.size()) SetDir1Path(dir1Folders_[wp]);
    return true;
  }
  // The read-only path box keeps a white field like an editable one.
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lp) == pathBox_) {
    SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return true;
  }
  return false;
}

}  // namespace glimra
