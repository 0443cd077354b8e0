// The colour and file-open dialogs, answered from a second thread as a
// member would: find the dialog, fill in its fields, press its buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "settings/modCmnDlg.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;

// Control ids of the system colour dialog's full-open part.
constexpr int kRedEdit = 706, kGreenEdit = 707, kBlueEdit = 708, kAddToCustom = 712;
// The file name field of the file-open dialog: a combo box in the
// Explorer look, an edit box in the old one.
constexpr int kFileNameCombo = 0x47c, kFileNameEdit = 0x480;

// Waits for our own thread's dialog to be ready for input.
HWND WaitForReadyDialog() { return wine_test::WaitForReadyWindow("#32770", nullptr); }

void Press(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void TypeColour(HWND dialog, int red, int green, int blue) {
  SetDlgItemInt(dialog, kRedEdit, red, FALSE);
  SetDlgItemInt(dialog, kGreenEdit, green, FALSE);
  SetDlgItemInt(dialog, kBlueEdit, blue, FALSE);
}

// The file dialog moves the current folder to the chosen one; each test
// starts from the folder the program was started in.
class PickersWin : public wine_test::SettingsTreeTest {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, startFolder_);
    SettingsTreeTest::SetUp();
  }
  void TearDown() override {
    SetCurrentDirectoryA(startFolder_);
    SettingsTreeTest::TearDown();
  }
  char startFolder_[MAX_PATH] = {};
};

TEST_F(PickersWin, FreshInstallationOffersWhiteAndStoresAllSixteenOnCancel) {
  BackgroundStep member([] {
    if (HWND dialog = WaitForReadyDialog()) Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(PickColor(0x123456), 0x123456);
  member.Join();
  for (int index = 0; index < 16; ++index) EXPECT_EQ(ReadSetting("Custom Colors", std::to_string(index)), "16777215");
}

TEST_F(PickersWin, CancelReturnsInitialButKeepsTheCustomColourDefined) {
  SaveCustomColor(15, 0x00FF00);
  BackgroundStep member([] {
    HWND dialog = WaitForReadyDialog();
    if (!dialog) return;
    TypeColour(dialog, 12, 34, 56);
    Press(dialog, kAddToCustom);
    Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(PickColor(0x0000FF), 0x0000FF);
  member.Join();
  EXPECT_EQ(GetCustomColor(0), RGB(12, 34, 56));
  EXPECT_EQ(GetCustomColor(1), 16777215);
  EXPECT_EQ(GetCustomColor(15), 0x00FF00);  // offered to the dialog and stored back
}

TEST_F(PickersWin, OkReturnsTheColourChosen) {
  BackgroundStep member([] {
    HWND dialog = WaitForReadyDialog();
    if (!dialog) return;
    TypeColour(dialog, 200, 100, 50);
    Press(dialog, IDOK);
  });
  EXPECT_EQ(PickColor(0), RGB(200, 100, 50));
}

// Answers the file-open dialog with `path`, or cancels it when empty.
void AnswerFileDialog(const std::string& path) {
  HWND dialog = WaitForReadyDialog();
  if (!dialog) return;
  if (path.empty()) {
    Press(dialog, IDCANCEL);
    return;
  }
  HWND field = GetDlgItem(dialog, kFileNameCombo);
  if (!field) field = GetDlgItem(dialog, kFileNameEdit);
  SetWindowTextA(field, path.c_str());
  Press(dialog, IDOK);
}

bool SamePath(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

TEST_F(PickersWin, OpenDialogModesGiveTheFolderWithItsSeparatorOrTheFullPath) {
  const std::string folder = Folder("AOL");
  const std::string key = folder + "importfde.key";
  wine_test::PutFile(key, "key");
  for (std::int16_t mode : {kOpenFolder, kOpenFullPath, std::int16_t{3}}) {
    BackgroundStep member([&] { AnswerFileDialog(key); });
    const std::string chosen = OpenDialog("Glimra Import Key", "importfde.key", mode);
    member.Join();
    const std::string expected = mode == kOpenFolder ? folder : mode == kOpenFullPath ? key : "";
    EXPECT_TRUE(SamePath(chosen, expected)) << "mode " << mode << ": " << chosen;
  }
}

TEST_F(PickersWin, OpenDialogCancelledIsEmpty) {
  BackgroundStep member([] { AnswerFileDialog(""); });
  EXPECT_EQ(OpenDialog("Text Based Files", "*.txt;*.log;*.wri", kOpenFullPath), "");
}

// A path longer than 128 characters comes back whole.
TEST_F(PickersWin, OpenDialogTakesLongPaths) {
  const std::string folder = Folder(std::string(120, 'f'));
  const std::string file = folder + "notes.txt";
  wine_test::PutFile(file, "text");
  ASSERT_GT(file.size(), 128u);
  BackgroundStep member([&] { AnswerFileDialog(file); });
  EXPECT_TRUE(SamePath(OpenDialog("Text Based Files", "*.txt", kOpenFullPath), file));
}

}  // namespace
}  // namespace glimra
