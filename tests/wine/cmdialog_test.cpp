// The folder picker, opened as GetAOLPath opens it and used with the mouse
// from a second thread: double-clicking folders, clicking files and buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "settings/frmCMDialog.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;

constexpr int kDrive1 = 301, kDir1 = 302, kFile1 = 303, kCommand1 = 309, kCommand2 = 310;

std::string Trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

std::string ListItem(HWND list, int index) {
  char text[MAX_PATH] = {};
  SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

int FindItem(HWND list, const std::string& name) {
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index)
    if (lstrcmpiA(Trimmed(ListItem(list, index)).c_str(), name.c_str()) == 0) return index;
  return -1;
}

// Clicks (or double-clicks) the list entry `name` with the mouse; returns
// once the picker's thread has handled the clicks (`handled` is a mark of
// that thread).
bool ClickItem(HWND list, const std::string& name, bool twice, wine_test::PostedMark& handled) {
  const int index = FindItem(list, name);
  if (index < 0) return false;
  RECT item{};
  SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(list, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
  }
  return handled.WaitUntilHandled();
}

int Count(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

HWND WaitForPicker() { return wine_test::WaitForReadyWindow("GlimraForm", "Select AOL Directory"); }

// The picker as its opener drives it: caption, path box, show, wait while
// visible, read the path box.
class CMDialogWin : public wine_test::SettingsTreeTest {
 protected:
  void SetUp() override {
    SettingsTreeTest::SetUp();
    VersionText() = "1.1.9";
    picker_.Load();
    picker_.SetCaption(frmCMDialog::kAolDirectoryCaption);
  }
  void TearDown() override {
    picker_.Unload();
    SettingsTreeTest::TearDown();
  }
  std::string ShowAndWait() {
    picker_.Show();
    PumpUntil([this] { return !picker_.Visible(); }, 3 * wine_test::kPatienceMs);
    return picker_.PathBox();
  }
  frmCMDialog picker_;
  wine_test::PostedMark handled_;  // of this thread, which runs the picker
};

TEST_F(CMDialogWin, LoadsAtTheRootOfDriveC) {
  EXPECT_EQ(picker_.Dir1Path(), "C:\\");
  EXPECT_EQ(picker_.PathBox(), "c:\\");
  char drive[MAX_PATH] = {};
  HWND drives = GetDlgItem(picker_.hWnd(), kDrive1);
  SendMessageA(drives, CB_GETLBTEXT, SendMessageA(drives, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(drive));
  EXPECT_EQ(std::string(drive, 2), "c:");
  EXPECT_GE(FindItem(GetDlgItem(picker_.hWnd(), kDir1), "windows"), 1);
}

TEST_F(CMDialogWin, RefusesAFolderWithoutAolExeAndTakesTheAolFolder) {
  const std::string aol = Folder("AOL 4.0");
  Folder("Empty");
  wine_test::PutFile(aol + "aol.exe", "MZ");
  wine_test::PutFile(aol + "waol.exe", "MZ");
  ASSERT_TRUE(picker_.SetDir1Path(scratch_));
  bool disabledInEmpty = false, stayedUp = false, enabledInAol = false;
  int filesInEmpty = -1;
  std::string listed, afterClick;
  BackgroundStep member([&] {
    HWND picker = WaitForPicker();
    if (!picker) return;
    HWND dir1 = GetDlgItem(picker, kDir1), file1 = GetDlgItem(picker, kFile1);
    HWND ok = GetDlgItem(picker, kCommand1);
    if (!ClickItem(dir1, "Empty", true, handled_)) return;
    filesInEmpty = Count(file1);
    disabledInEmpty = !IsWindowEnabled(ok);
    wine_test::ClickMiddle(ok);
    if (!handled_.WaitUntilHandled()) return;
    stayedUp = IsWindowVisible(picker);
    ClickItem(dir1, "glimra_settings_scratch", true, handled_);
    if (!ClickItem(dir1, "AOL 4.0", true, handled_)) return;
    listed = Count(file1) == 1 ? ListItem(file1, 0) : "";
    enabledInAol = IsWindowEnabled(ok);
    ClickItem(file1, "aol.exe", false, handled_);
    afterClick = wine_test::WindowText(GetDlgItem(picker, 304));
    wine_test::ClickMiddle(ok);
  });
  const std::string chosen = ShowAndWait();
  member.Join();
  EXPECT_EQ(filesInEmpty, 0);
  EXPECT_TRUE(disabledInEmpty);
  EXPECT_TRUE(stayedUp);
  EXPECT_EQ(listed, "aol.exe");
  EXPECT_TRUE(enabledInAol);
  EXPECT_EQ(afterClick, aol.substr(0, aol.size() - 1));
  EXPECT_EQ(chosen, aol.substr(0, aol.size() - 1));
}

TEST_F(CMDialogWin, RootOfDriveCIsRefusedWithTheNotFoundMessage) {
  ASSERT_TRUE(CopyFileA("C:\\windows\\notepad.exe", "C:\\aol.exe", FALSE) ||
              GetFileAttributesA("C:\\aol.exe") != INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(picker_.SetDir1Path("C:\\"));
  bool messageShown = false, stayedUp = false;
  BackgroundStep member([&] {
    HWND picker = WaitForPicker();
    if (!picker) return;
    wine_test::ClickMiddle(GetDlgItem(picker, kCommand1));
    HWND box = wine_test::WaitForReadyWindow("GlimraForm", "Glimra - 1.1.9");
    messageShown = box != nullptr;
    if (box) {
      wine_test::ClickMiddle(GetDlgItem(box, 200));
      if (!wine_test::WaitUntil([&] { return !IsWindow(box); })) return;  // unloaded by its opener
    }
    // The picker's answer to OK, whatever it was, has run.
    if (!handled_.WaitUntilHandled()) return;
    stayedUp = IsWindowVisible(picker);
    wine_test::ClickMiddle(GetDlgItem(picker, kCommand2));
  });
  const std::string chosen = ShowAndWait();
  member.Join();
  DeleteFileA("C:\\aol.exe");
  EXPECT_TRUE(messageShown);
  EXPECT_TRUE(stayedUp);
  EXPECT_EQ(chosen, "");  // Cancel empties the path box
}

TEST_F(CMDialogWin, DoubleClickOnTheFileHidesWithTheFolder) {
  const std::string aol = Folder("AOL");
  wine_test::PutFile(aol + "aol.exe", "MZ");
  ASSERT_TRUE(picker_.SetDir1Path(aol));
  BackgroundStep member([&] {
    if (HWND picker = WaitForPicker()) ClickItem(GetDlgItem(picker, kFile1), "aol.exe", true, handled_);
  });
  EXPECT_EQ(ShowAndWait(), aol.substr(0, aol.size() - 1));
}

TEST_F(CMDialogWin, AnyOtherCaptionTakesThePathBoxUnchecked) {
  const std::string aol = Folder("AOL");
  wine_test::PutFile(aol + "aol.exe", "MZ");
  ASSERT_TRUE(picker_.SetDir1Path(aol));
  picker_.SetCaption("Select A Path");
  picker_.SetPathBox("C:\\");
  BackgroundStep member([&] {
    if (HWND picker = wine_test::WaitForReadyWindow("GlimraForm", "Select A Path"))
      wine_test::ClickMiddle(GetDlgItem(picker, kCommand1));
  });
  EXPECT_EQ(ShowAndWait(), "C:\\");
}

}  // namespace
}  // namespace glimra
