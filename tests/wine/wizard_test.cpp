// The export/import wizard as a member uses it, on a Wine machine with a
// floppy drive A:, the hard disk C: and a CD-ROM drive D:: real clicks and
// keys into the wizard, its messages, the input box and the file dialog.
// Failures Wine cannot produce (a full disk, a write-protected diskette, no
// disk in the drive) come from replaced file operations. The copy's policy
// itself is tested natively (wizard_rules_test); these show the window
// carries it out.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "GlimraProcessFixture.h"
#include "MemberInput.h"
#include "SettingsTestSupport.h"
#include "WineDrives.h"
#include "WineTestSupport.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/RuntimeError.h"
#include "settings/SchemeFile.h"
#include "settings/SchemeStore.h"
#include "settings/frmWizard.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::ClickAtScreen;
using wine_test::ClickOn;
using wine_test::FileBytes;
using wine_test::FilesIn;
using wine_test::PressKey;
using wine_test::PressKeyWith;
using wine_test::ShiftPress;
using wine_test::TypeOnKeyboard;
using wine_test::WaitUntil;
using wine_test::WindowText;

constexpr char kMessageCaption[] = "Glimra - 1.1.9";
constexpr int kMessageText = 100;
// The message box's buttons: Command1(0) on the right, (1) in the middle, (2) on the left.
constexpr int kOk = 0, kIgnore = 0, kCancel = 0, kRetry = 1, kAbort = 2;
constexpr UINT kGetBarValue = WM_USER + 101;
// The file name field of the file-open dialog: a combo box in the Explorer
// look, an edit box in the old one.
constexpr int kFileNameCombo = 0x47c, kFileNameEdit = 0x480;
constexpr char kMarkerBytes[] =
    "Please do not delete this file as it is needed for restoring/importing Fade Scheme settings!\r\n";
constexpr char kChooseMode[] = "Please choose with the ~BImport~B or ~BExport~B option before continuing.";
constexpr char kSelectDrive[] = "Please ~B~CRselect a drive letter~B~CN to Export your Fade Scheme settings to.";
constexpr char kLocateKey[] =
    "The location for the ~BIMPORT.KEY~B file has not been specified.~N ~NPlease click the ~B~CRLocate "
    "IMPORT.KEY~B~CN button to locate this file before continuing.";
constexpr char kFilePath[] =
    "~B~CRFile/Path access error!~B~CN~N ~NThe diskette in the disk drive is ~Bcorrupted~B.~N ~NPlease try another "
    "diskette.";
constexpr char kPermission[] =
    "~B~CRPermission Denied!~B~CN~N ~NThe diskette in the disk drive is ~Bwrite-protected~B.";
constexpr char kDiskFull[] =
    "~B~CRDisk is full!~B~CN~N ~NPlease free up some space on this disk and try this operation again.";
constexpr char kBackupNoDisk[] = "~B~CRNo disk present!~B~CN~N ~NPlease insert a disk now and click ~BRetry~B";

using Values = std::map<std::string, std::string>;

// Every value of a key, by name.
Values ValuesOf(const std::string& subkey) {
  Values values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + subkey).c_str(), 0, KEY_READ, &key)) return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values[name] = ReadSetting(subkey, name);
  }
  RegCloseKey(key);
  return values;
}

// The scheme keys below "Schemes".
std::vector<std::string> SchemeKeys() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "Schemes").c_str(), 0, KEY_READ, &key))
    return names;
  char name[256];
  for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index) names.push_back(name);
  RegCloseKey(key);
  return names;
}

// Three schemes as the chat tools window saves them, and their files' bytes.
struct SavedScheme {
  const char* name;
  const char* bytes;
};
constexpr SavedScheme kThree[] = {
    {"Bold Three",
     "[Options]\r\nFadeNumber=3\r\n\r\n[Colors]\r\nOne=255\r\nTwo=65280\r\nThree=16711680\r\nFour=0\r\nFive=0\r\n"
     "Six=0\r\n\r\n[Style]\r\nWavy=False\r\nBold=True\r\nItalic=False\r\nULine=False\r\n"},
    {"Sea Breeze",
     "[Options]\r\nFadeNumber=2\r\n\r\n[Colors]\r\nOne=16776960\r\nTwo=-2147483633\r\nThree=0\r\nFour=0\r\nFive=0\r\n"
     "Six=0\r\n\r\n[Style]\r\nWavy=True\r\nBold=False\r\nItalic=True\r\nULine=False\r\n"},
    {"Sunset",
     "[Options]\r\nFadeNumber=6\r\n\r\n[Colors]\r\nOne=1\r\nTwo=2\r\nThree=3\r\nFour=4\r\nFive=5\r\nSix=6\r\n\r\n"
     "[Style]\r\nWavy=False\r\nBold=False\r\nItalic=False\r\nULine=True\r\n"},
};

void SaveThreeSchemes() {
  const auto save = [](const char* name, std::vector<std::pair<const char*, const char*>> values) {
    for (const auto& [value, text] : values) WriteSetting(SchemeKey(name), value, text);
  };
  save("Bold Three", {{"Fade Number", "3"},
                      {"One", "255"},
                      {"Two", "65280"},
                      {"Three", "16711680"},
                      {"Four", "0"},
                      {"Five", "0"},
                      {"Six", "0"},
                      {"Wavy", "False"},
                      {"Bold", "True"},
                      {"Italic", "False"},
                      {"ULine", "False"}});
  save("Sea Breeze", {{"Fade Number", "2"},
                      {"One", "16776960"},
                      {"Two", "-2147483633"},
                      {"Three", "0"},
                      {"Four", "0"},
                      {"Five", "0"},
                      {"Six", "0"},
                      {"Wavy", "True"},
                      {"Bold", "False"},
                      {"Italic", "True"},
                      {"ULine", "False"}});
  save("Sunset", {{"Fade Number", "6"},
                  {"One", "1"},
                  {"Two", "2"},
                  {"Three", "3"},
                  {"Four", "4"},
                  {"Five", "5"},
                  {"Six", "6"},
                  {"Wavy", "False"},
                  {"Bold", "False"},
                  {"Italic", "False"},
                  {"ULine", "True"}});
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// The member's side: finds the wizard's controls as they show on the screen
// and works them with the mouse and keyboard.
class Member {
 public:
  explicit Member(HWND wizard) : wizard_(wizard) {}

  HWND Item(UINT id) const { return GetDlgItem(wizard_, static_cast<int>(id)); }
  std::string Text(UINT id) const { return WindowText(Item(id)); }
  bool Shows(UINT id) const { return IsWindowVisible(Item(id)) != FALSE; }
  bool Usable(UINT id) const { return Shows(id) && IsWindowEnabled(Item(id)); }
  // Clicks a control, a little left and right of its middle by turns: two
  // clicks in a row are two clicks, never one double click.
  bool Click(UINT id) {
    HWND control = Item(id);
    if (!wine_test::WaitUntilReady(control)) {
      ADD_FAILURE() << "control " << id << " is not ready for the member: " << wine_test::WhyNotReady(control);
      return false;
    }
    const int side = (leftNext_[id] = !leftNext_[id]) ? -1 : 1;
    POINT at = Middle(control);
    at.x += side * GetSystemMetrics(SM_CXDOUBLECLK);
    ClickAtScreen(at);
    return true;
  }
  static POINT Middle(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  bool WaitFor(UINT id) {
    return WaitUntil([&] { return Shows(id); });
  }

  // Waits for the formatted message box, reads its text and presses the
  // button at `index`; "<no message>" when none came.
  static std::string Answer(int index = kOk) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindWindowA("GlimraForm", kMessageCaption)) && IsWindowVisible(box); }) ||
        !wine_test::WaitUntilReady(box))
      return "<no message>";
    const std::string text = WindowText(GetDlgItem(box, kMessageText));
    ClickOn(GetDlgItem(box, 200 + index));
    if (!WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); })) return text + " <it stayed up>";
    return text;
  }
  static bool NoMessageShown() { return FindWindowA("GlimraForm", kMessageCaption) == nullptr; }

  // The option button of drive `caption` on page 2.
  HWND DriveOption(const std::string& caption) const {
    for (UINT i = 0; i < kMaxDriveOptions; ++i)
      if (Text(frmWizard::kOptOne + i) == caption) return Item(frmWizard::kOptOne + i);
    return nullptr;
  }
  std::vector<std::string> OfferedDrives() const {
    std::vector<std::string> drives;
    for (UINT i = 0; i < kMaxDriveOptions; ++i)
      if (Shows(frmWizard::kOptOne + i)) drives.push_back(Text(frmWizard::kOptOne + i));
    return drives;
  }

  // Page 1 to the ready page of an export to drive `caption`.
  bool WalkToExportReady(const std::string& caption) {
    return Did(Click(frmWizard::kOptExport), "choose Export") && Did(Click(frmWizard::kCmdNext), "go to the drives") &&
           Did(ClickOn(WaitForDrive(caption)), "choose the drive") && Did(Click(frmWizard::kCmdNext), "go on") &&
           Did(WaitFor(frmWizard::kLstSchemes), "see the schemes") && Did(Click(frmWizard::kCmdNext), "go on") &&
           Did(WaitFor(frmWizard::kLblAction), "reach the ready page");
  }
  // Says which step of a walk the member could not take.
  static bool Did(bool done, const char* step) {
    if (!done) ADD_FAILURE() << "the member could not " << step;
    return done;
  }
  HWND WaitForDrive(const std::string& caption) const {
    HWND option = nullptr;
    WaitUntil([&] { return (option = DriveOption(caption)) && IsWindowVisible(option); });
    return option;
  }

  // Locates importfde.key in `folder` through the file dialog, typing its path.
  bool LocateKey(const std::string& folder) {
    if (!Did(Click(frmWizard::kCmdLocateKey), "click Locate")) return false;
    HWND dialog = nullptr;
    if (!Did(WaitUntil([&] { return (dialog = wine_test::ShownWindow("#32770", "Open")) != nullptr; }),
             "see the file dialog") ||
        !Did(wine_test::WaitUntilReady(dialog), "use the file dialog") ||
        !Did(WaitUntil([&] { return GetForegroundWindow() == dialog; }), "have the file dialog in front"))
      return false;
    // The keys go to the file name field, which has the focus; Enter once it shows them all.
    HWND field = GetDlgItem(dialog, kFileNameCombo);
    if (!field) field = GetDlgItem(dialog, kFileNameEdit);
    const std::string path = folder + "importfde.key";
    TypeOnKeyboard(path);
    if (!Did(WaitUntil([&] { return WindowText(field) == path; }), "type the key's path")) return false;
    PressKey(VK_RETURN);
    return Did(WaitUntil([&] { return !IsWindow(dialog); }), "close the file dialog with Enter") &&
           Did(WaitUntil([&] { return Text(frmWizard::kLblImport) == folder; }), "see the folder taken");
  }

  // Page 1 to the ready page of an import from `folder`.
  bool WalkToImportReady(const std::string& folder) {
    return Did(Click(frmWizard::kOptImport), "choose Import") && Did(Click(frmWizard::kCmdNext), "go on") &&
           Did(WaitFor(frmWizard::kCmdLocateKey), "see Locate") && Did(LocateKey(folder), "locate the key") &&
           Did(Click(frmWizard::kCmdNext), "go on") && Did(WaitFor(frmWizard::kLstSchemes), "see the schemes") &&
           Did(Click(frmWizard::kCmdNext), "go on") && Did(WaitFor(frmWizard::kLblAction), "reach the ready page");
  }

  std::string BarCaption() const { return Text(frmWizard::kPrgStatus); }
  int BarValue() const { return static_cast<int>(SendMessageA(Item(frmWizard::kPrgStatus), kGetBarValue, 0, 0)); }
  // Next, Back and Cancel usable again: a copy has ended without finishing.
  bool WaitForButtonsBack(DWORD timeoutMs = wine_test::kPatienceMs) const {
    return WaitUntil(
        [&] { return Usable(frmWizard::kCmdNext) && Usable(frmWizard::kCmdBack) && Usable(frmWizard::kCmdCancel); },
        timeoutMs);
  }
  bool WaitForFinish(DWORD timeoutMs = wine_test::kPatienceMs) const {
    return WaitUntil([&] { return Shows(frmWizard::kLabel9) && Shows(frmWizard::kCmdFinish); }, timeoutMs);
  }

 private:
  HWND wizard_;
  std::map<UINT, bool> leftNext_;
};

// Types `text` into the input box over the whole default and presses OK.
bool AnswerInputBox(const std::string& text) {
  HWND input = nullptr;
  if (!Member::Did(WaitUntil([&] { return (input = FindWindowA("GlimraForm", "Glimra")) && IsWindowVisible(input); }),
                   "see the input box") ||
      !Member::Did(ClickOn(GetDlgItem(input, 1)), "click into the input box") ||
      !Member::Did(WaitUntil([&] { return wine_test::TakesKeys(GetDlgItem(input, 1)); }), "type into the input box"))
    return false;
  PressKey(VK_HOME);
  ShiftPress(VK_END, 1);
  TypeOnKeyboard(text);
  return Member::Did(WaitUntil([&] { return WindowText(GetDlgItem(input, 1)) == text; }), "see the answer typed") &&
         Member::Did(ClickOn(GetDlgItem(input, 2)), "press OK") &&
         Member::Did(WaitUntil([&] { return !IsWindow(input) || !IsWindowVisible(input); }), "see the box close");
}

std::wstring WideOf(const std::string& text) {
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
  return wide;
}

// Writes a file whose name is given in UTF-16, as another system would leave it.
void PutWideFile(const std::string& folder, const std::wstring& name, const std::string& bytes) {
  const HANDLE file = CreateFileW((WideOf(folder) + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// File operations that fail on cue: a queue of run-time error numbers per
// scheme name (or "list", "marker", "folder"); 0 runs the real operation.
class ScriptedFiles {
 public:
  explicit ScriptedFiles(WizardFileOperations real) : real_(std::move(real)) {}

  void Fail(const std::string& what, std::initializer_list<long> numbers) {
    std::lock_guard<std::mutex> hold(lock_);
    script_[what].insert(script_[what].end(), numbers);
  }
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
  }
  void ForgetCalls() {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.clear();
  }
  // Names the listing adds to what the folder holds.
  std::vector<std::string> extraFiles;

  WizardFileOperations Operations() {
    WizardFileOperations files;
    files.createFolder = [this](const std::string& folder) {
      Step("folder");
      real_.createFolder(folder);
    };
    files.exportScheme = [this](const std::string& name, const std::string& folder) {
      Step(name);
      real_.exportScheme(name, folder);
    };
    files.writeMarker = [this](const std::string& path, const std::string& text) {
      Step("marker");
      real_.writeMarker(path, text);
    };
    files.listSchemeFiles = [this](const std::string& folder) {
      Step("list");
      std::vector<std::string> names = real_.listSchemeFiles(folder);
      names.insert(names.end(), extraFiles.begin(), extraFiles.end());
      return names;
    };
    files.importScheme = [this](const std::string& folder, const std::string& name) {
      Step(name);
      return real_.importScheme(folder, name);
    };
    files.removeMarker = real_.removeMarker;
    return files;
  }

 private:
  void Step(const std::string& what) {
    long number = 0;
    {
      std::lock_guard<std::mutex> hold(lock_);
      calls_.push_back(what);
      std::deque<long>& queue = script_[what];
      if (!queue.empty()) {
        number = queue.front();
        queue.pop_front();
      }
    }
    if (number) RaiseError(number);
  }

  WizardFileOperations real_;
  std::mutex lock_;
  std::map<std::string, std::deque<long>> script_;
  std::vector<std::string> calls_;
};

class WizardWin : public wine_test::SettingsTreeTest {
 protected:
  void SetUp() override {
    SettingsTreeTest::SetUp();
    VersionText() = "1.1.9";
    floppy_ = Folder("floppy");
    // Floppy A:, CD-ROM D:, the hard disk C:; every other drive becomes a CD-ROM for the test.
    ASSERT_TRUE(drives_.Map('a', floppy_, DRIVE_REMOVABLE));
    ASSERT_TRUE(drives_.Map('d', Folder("cdrom"), DRIVE_CDROM));
    for (char letter = 'B'; letter <= 'Z'; ++letter) {
      const UINT type = GetDriveTypeA((std::string(1, letter) + ":\\").c_str());
      if (letter != 'C' && (type == DRIVE_REMOVABLE || type == DRIVE_FIXED)) {
        ASSERT_TRUE(drives_.Retype(letter, DRIVE_CDROM)) << letter;
      }
    }
    ASSERT_EQ(GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    ASSERT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
    savedFiles_ = WizardFiles();
    savedEnvironment_ = CurrentErrorEnvironment();
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) -> std::int16_t {
                                                   std::lock_guard<std::mutex> hold(reportLock_);
                                                   reports_.push_back(report);
                                                   if (answers_.empty()) return kAnswerIgnore;
                                                   const std::int16_t answer = answers_.front();
                                                   answers_.pop_front();
                                                   return answer;
                                                 },
                                                 nullptr, nullptr};
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    startFolder_ = folder;
    HelpFile() = startFolder_ + "\\glimra.hlp";
  }
  void TearDown() override {
    if (wizard_.IsLoaded()) wizard_.Unload();
    WizardFiles() = savedFiles_;
    CurrentErrorEnvironment() = savedEnvironment_;
    for (HWND viewer; (viewer = FindWindowA("MS_WINHELP", nullptr)) != nullptr;) {
      PostMessageA(viewer, WM_CLOSE, 0, 0);
      WaitUntil([&] { return !IsWindow(viewer); });
    }
    SettingsTreeTest::TearDown();
  }

  // Opens the wizard and lets its events run while the member works it from
  // another thread, until the member is done.
  void Run(const std::function<void(Member&)>& steps) {
    wizard_.Show();
    Member member(wizard_.hWnd());
    std::atomic<bool> done{false}, back{false};
    wine_test::BackgroundStep thread([&] {
      steps(member);
      done = true;
      // A member who stopped half-way may leave a box open that holds the wizard's events.
      WaitUntil([&] {
        for (HWND open : {FindWindowA("#32770", "Open"), FindWindowA("GlimraForm", kMessageCaption),
                          FindWindowA("GlimraForm", "Glimra")})
          if (open) PostMessageA(open, WM_CLOSE, 0, 0);
        return back.load();
      });
    });
    PumpUntil([&] { return done.load(); }, 180000, 50);
    // Every walk ends with a click that closes the wizard: it is taken here, not left
    // queued for whatever window stands there in the next walk.
    PumpUntil([&] { return !wizard_.IsLoaded(); }, wine_test::kPatienceMs, 50);
    back = true;
    thread.Join();
    // The file dialog leaves the process in the folder it opened.
    SetCurrentDirectoryA(startFolder_.c_str());
  }

  void AnswerReportsWith(std::initializer_list<std::int16_t> answers) {
    std::lock_guard<std::mutex> hold(reportLock_);
    answers_.insert(answers_.end(), answers);
  }
  // The reports made so far, as "procedure number".
  std::vector<std::string> Reports() {
    std::lock_guard<std::mutex> hold(reportLock_);
    std::vector<std::string> made;
    for (const ErrorReport& report : reports_)
      made.push_back(report.module + " " + report.procedure + " " + report.number);
    return made;
  }

  std::string floppy_;  // what drive A: shows, with its closing "\"
  std::string startFolder_;
  wine_test::WineDrives drives_;
  frmWizard wizard_;
  WizardFileOperations savedFiles_;
  ErrorEnvironment savedEnvironment_;
  std::mutex reportLock_;
  std::vector<ErrorReport> reports_;
  std::deque<std::int16_t> answers_;
};

// ---- the whole journey ----

TEST_F(WizardWin, ExportToAFloppySubFolderThenImportIntoAFreshTree) {
  SaveThreeSchemes();
  Values before[3];
  for (int i = 0; i < 3; ++i) before[i] = ValuesOf(SchemeKey(kThree[i].name));

  Run([&](Member& m) {
    // Next before choosing is refused on page 1.
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    EXPECT_EQ(Member::Answer(), kChooseMode);
    EXPECT_TRUE(m.Shows(frmWizard::kOptExport));
    EXPECT_FALSE(m.Usable(frmWizard::kCmdBack));

    ASSERT_TRUE(m.Click(frmWizard::kOptExport));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForDrive("( C:\\ ) Hard Disk (not recommended)"));
    const std::vector<std::string> twoDrives{"( A:\\ ) Floppy Drive (recommended)",
                                             "( C:\\ ) Hard Disk (not recommended)"};
    EXPECT_EQ(m.OfferedDrives(), twoDrives);
    EXPECT_FALSE(m.Shows(frmWizard::kCmdSubFolder));

    // Next without a drive shows its message and stays on page 2.
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    EXPECT_EQ(Member::Answer(), kSelectDrive);
    EXPECT_TRUE(m.Shows(frmWizard::kLblPath));
    EXPECT_FALSE(m.Shows(frmWizard::kLstSchemes));

    // Back and forth: the drives are listed once per opening.
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.WaitFor(frmWizard::kOptImport));
    EXPECT_TRUE(WaitUntil([&] { return !m.Usable(frmWizard::kCmdBack); }));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblPath));
    EXPECT_EQ(m.OfferedDrives(), twoDrives);

    ASSERT_TRUE(ClickOn(m.DriveOption(twoDrives[0])));
    ASSERT_TRUE(WaitUntil([&] { return m.Shows(frmWizard::kCmdSubFolder); }));
    EXPECT_EQ(m.Text(frmWizard::kLblPath), "a:\\");
    EXPECT_EQ(m.Text(frmWizard::kLblDrvFormat), " Floppy Drive ");

    // The sub-folder, typed into the input box.
    ASSERT_TRUE(m.Click(frmWizard::kCmdSubFolder));
    HWND input = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (input = FindWindowA("GlimraForm", "Glimra")) && IsWindowVisible(input); }));
    EXPECT_EQ(WindowText(GetDlgItem(input, 1)), "Glimra Schemes");
    ASSERT_TRUE(ClickOn(GetDlgItem(input, 1)));
    ASSERT_TRUE(WaitUntil([&] { return wine_test::TakesKeys(GetDlgItem(input, 1)); }));
    PressKey(VK_HOME);
    ShiftPress(VK_END, 1);
    TypeOnKeyboard("\\My Schemes");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(input, 1)) == "\\My Schemes"; }));
    ASSERT_TRUE(ClickOn(GetDlgItem(input, 2)));
    ASSERT_TRUE(WaitUntil([&] { return m.Text(frmWizard::kLblPath) == "a:\\My Schemes\\"; }))
        << m.Text(frmWizard::kLblPath);

    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_EQ(m.Text(frmWizard::kLblFrom), "You are about to Export the following Glimra Fade Schemes:");
    EXPECT_EQ(m.Text(frmWizard::kTxtFiles).rfind("This feature will backup the following Fade Schemes", 0), 0u);
    std::vector<std::string> listed = ListItems(m.Item(frmWizard::kLstSchemes));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"Bold Three", "Sea Breeze", "Sunset"}));

    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    EXPECT_EQ(m.Text(frmWizard::kLblAction), "Glimra is ready to Export your settings!");
    EXPECT_EQ(m.Text(frmWizard::kLblSaveTo), "a:\\my schemes\\");
    EXPECT_EQ(m.Text(frmWizard::kLblSave), "Exporting to:");
    EXPECT_EQ(m.Text(frmWizard::kLblDrvType), "Floppy Drive");
    EXPECT_EQ(m.Text(frmWizard::kLblMsg),
              "Please insert a floppy diskette into the Floppy Drive \"A:\\\" and click \"Next\" to continue.");
    EXPECT_FALSE(m.Shows(frmWizard::kFraBackup));

    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    EXPECT_EQ(m.Text(frmWizard::kLabel9), "Export Complete!");
    EXPECT_FALSE(m.Shows(frmWizard::kCmdNext));
    EXPECT_TRUE(Member::NoMessageShown());
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(m.Item(frmWizard::kCmdFinish)); }));
  });
  EXPECT_FALSE(wizard_.IsLoaded());

  // The folder was made on the diskette with the member's spelling.
  EXPECT_EQ(FilesIn(floppy_), std::vector<std::string>{"My Schemes"});
  const std::string backup = floppy_ + "My Schemes\\";
  EXPECT_EQ(FilesIn(backup).size(), 4u);
  for (const SavedScheme& scheme : kThree) EXPECT_EQ(FileBytes(backup + scheme.name + ".fde"), scheme.bytes);
  EXPECT_EQ(FileBytes(backup + "importfde.key"), kMarkerBytes);
  EXPECT_TRUE(Reports().empty());

  // A fresh settings tree takes the backup back, value for value.
  wine_test::DeleteGlimraTree();
  const std::string source = "A:\\My Schemes\\";
  Run([&](Member& m) {
    ASSERT_TRUE(m.Click(frmWizard::kOptImport));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kCmdLocateKey));
    ASSERT_TRUE(m.LocateKey(source));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_EQ(m.Text(frmWizard::kLblFrom), "You are about to Import the following Fadae Schemes from this location:");
    std::vector<std::string> listed = ListItems(m.Item(frmWizard::kLstSchemes));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"Bold Three", "Sea Breeze", "Sunset"}));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    EXPECT_EQ(m.Text(frmWizard::kLblAction), "Glimra is ready to Import your settings!");
    EXPECT_EQ(m.Text(frmWizard::kLblSave), "Importing:");
    EXPECT_EQ(m.Text(frmWizard::kLblSaveTo), source);
    EXPECT_FALSE(m.Shows(frmWizard::kLabel8));
    EXPECT_FALSE(m.Shows(frmWizard::kLblDrvType));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    EXPECT_EQ(m.Text(frmWizard::kLabel9), "Import Complete!");
    EXPECT_EQ(m.Text(frmWizard::kLabel11),
              "Please click the \"Finish\" button to finish the Import process.  (This will *not* restart Glimra)");
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ValuesOf(SchemeKey(kThree[i].name)), before[i]) << kThree[i].name;
  EXPECT_EQ(FilesIn(backup).size(), 4u);  // the import keeps the backup
}

TEST_F(WizardWin, ImportFromAFolderWithoutSchemesListsNothingAndCompletes) {
  const std::string empty = Folder("empty");
  wine_test::PutFile(empty + "importfde.key", kMarkerBytes);
  WriteSetting(SchemeKey("Kept"), "Fade Number", "2");
  Run([&](Member& m) {
    ASSERT_TRUE(m.Click(frmWizard::kOptImport));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kCmdLocateKey));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    EXPECT_EQ(Member::Answer(), kLocateKey);
    EXPECT_TRUE(m.Shows(frmWizard::kCmdLocateKey));
    ASSERT_TRUE(m.LocateKey(empty));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_TRUE(ListItems(m.Item(frmWizard::kLstSchemes)).empty());
    EXPECT_EQ(m.Text(frmWizard::kTxtFiles),
              "This feature will restore to your existing copy of Glimra the following saved Fade Schemes\r\n\r\n");

    // Back walks the import path home; Next walks it again.
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.WaitFor(frmWizard::kCmdLocateKey));
    EXPECT_EQ(m.Text(frmWizard::kLblImport), empty);
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.WaitFor(frmWizard::kOptImport));
    EXPECT_TRUE(WaitUntil([&] { return !m.Usable(frmWizard::kCmdBack); }));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_TRUE(ListItems(m.Item(frmWizard::kLstSchemes)).empty());

    // Help opens the wizard's topic.
    ASSERT_TRUE(m.Click(frmWizard::kCmdHelp));
    HWND help = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (help = FindWindowA("MS_WINHELP", "Glimra!")) != nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(help, 100)) == "Import Settings"; }));
    // Read, the help is closed: it stands where Windows puts a new window, which may be over Next.
    PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help) || !IsWindowVisible(help); }));

    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    EXPECT_EQ(m.Text(frmWizard::kLabel9), "Import Complete!");
    EXPECT_TRUE(Member::NoMessageShown());
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  EXPECT_TRUE(Reports().empty());  // nothing to import is no error
  EXPECT_EQ(SchemeKeys(), std::vector<std::string>{"Kept"});
}

TEST_F(WizardWin, CancelDuringALongCopyStopsAfterTheCurrentScheme) {
  constexpr int kMany = 60;
  for (int i = 0; i < kMany; ++i) WriteSetting(SchemeKey("Scheme " + std::to_string(100 + i)), "Fade Number", "2");
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToExportReady("( A:\\ ) Floppy Drive (recommended)"));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kFraBackup));
    EXPECT_FALSE(m.Usable(frmWizard::kCmdNext));
    EXPECT_FALSE(m.Usable(frmWizard::kCmdBack));
    EXPECT_FALSE(m.Usable(frmWizard::kCmdCancel));
    ASSERT_TRUE(WaitUntil([&] { return m.BarValue() >= 5; }));
    EXPECT_EQ(m.BarCaption().rfind("Copying Scheme ", 0), 0u) << m.BarCaption();
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancelProgress));
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Export Canceled");
    EXPECT_EQ(m.BarValue(), 0);
    EXPECT_TRUE(m.Shows(frmWizard::kLblAction));  // still the progress page
    EXPECT_TRUE(Member::NoMessageShown());
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  const std::vector<std::string> written = FilesIn(floppy_);
  EXPECT_GE(written.size(), 3u);
  EXPECT_LT(written.size(), static_cast<std::size_t>(kMany) - 10);
  EXPECT_EQ(FileBytes(floppy_ + "importfde.key"), "<missing>");
  EXPECT_FALSE(wizard_.IsLoaded());

  // An import stops between schemes too; closing the window while it copies cancels.
  wine_test::DeleteGlimraTree();
  const std::string source = Folder("many");
  for (int i = 0; i < kMany; ++i)
    wine_test::PutFile(source + "Scheme " + std::to_string(100 + i) + ".fde", "One=1\r\n");
  wine_test::PutFile(source + "importfde.key", kMarkerBytes);
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(WaitUntil([&] { return m.BarValue() >= 5; }));
    PressKeyWith(VK_F4, VK_MENU);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Import Canceled");
    EXPECT_TRUE(IsWindowVisible(GetAncestor(m.Item(frmWizard::kLblAction), GA_ROOT)));
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_GE(SchemeKeys().size(), 3u);
  EXPECT_LT(SchemeKeys().size(), static_cast<std::size_t>(kMany) - 10);
}

// ---- every file error of the export ----

TEST_F(WizardWin, EveryExportFileErrorActsAsItsRowSays) {
  WriteSetting(SchemeKey("Alpha"), "Fade Number", "2");
  WriteSetting(SchemeKey("Beta"), "Fade Number", "3");
  ScriptedFiles files(RealWizardFiles());
  WizardFiles() = files.Operations();
  const auto on = [&](const std::string& file) { return FileBytes(floppy_ + file) != "<missing>"; };
  const auto clean = [&] {
    for (const std::string& name : FilesIn(floppy_)) DeleteFileA((floppy_ + name).c_str());
    files.ForgetCalls();
  };
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToExportReady("( A:\\ ) Floppy Drive (recommended)"));
    const std::vector<std::string> order = ListItems(m.Item(frmWizard::kLstSchemes));
    ASSERT_EQ(order.size(), 2u);
    const std::string first = order[0], second = order[1];
    const auto copy = [&] { return m.Click(frmWizard::kCmdNext); };

    // 61 disk full: its message, then the export ends where it is. The
    // marker of the backup before is gone: it would vouch for this one.
    wine_test::PutFile(floppy_ + "importfde.key", kMarkerBytes);
    files.Fail(first, {61});
    ASSERT_TRUE(copy());
    EXPECT_EQ(Member::Answer(), kDiskFull);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Copying " + first);
    EXPECT_EQ(files.Calls(), std::vector<std::string>{first});
    EXPECT_TRUE(FilesIn(floppy_).empty());
    clean();

    // 70 write-protected: Retry writes it; 57 device error: Ignore leaves it
    // out, and an export missing a scheme writes no marker.
    files.Fail(first, {70});
    files.Fail(second, {57});
    ASSERT_TRUE(copy());
    EXPECT_EQ(Member::Answer(kRetry), kPermission);
    EXPECT_EQ(Member::Answer(kIgnore), kFilePath);
    const std::string incomplete = Member::Answer();
    EXPECT_NE(incomplete.find("~B" + second + "~B"), std::string::npos) << incomplete;
    EXPECT_EQ(incomplete.find(first), std::string::npos);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Export Incomplete");
    EXPECT_TRUE(on(first + ".fde"));
    EXPECT_FALSE(on(second + ".fde"));
    EXPECT_FALSE(on("importfde.key"));
    clean();

    // 75 path/file access: Abort ends the copy at once.
    files.Fail(first, {75});
    ASSERT_TRUE(copy());
    EXPECT_EQ(Member::Answer(kAbort), kFilePath);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_TRUE(Member::NoMessageShown());
    EXPECT_EQ(files.Calls(), std::vector<std::string>{first});
    EXPECT_TRUE(FilesIn(floppy_).empty());
    clean();

    // 71 no disk: Retry runs the same statement again; 53 is skipped without a word.
    files.Fail(first, {71});
    files.Fail(second, {53});
    ASSERT_TRUE(copy());
    EXPECT_EQ(Member::Answer(kRetry), kBackupNoDisk);
    EXPECT_NE(Member::Answer().find(second), std::string::npos);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(files.Calls(), (std::vector<std::string>{first, first, second}));
    EXPECT_TRUE(on(first + ".fde"));
    clean();

    // 71 no disk: Cancel stops the copy as the Cancel button does.
    files.Fail(second, {71});
    ASSERT_TRUE(copy());
    EXPECT_EQ(Member::Answer(kCancel), kBackupNoDisk);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Export Canceled");
    EXPECT_EQ(m.BarValue(), 0);
    EXPECT_TRUE(Member::NoMessageShown());
    EXPECT_EQ(files.Calls(), (std::vector<std::string>{first, second}));
    EXPECT_FALSE(on("importfde.key"));
    clean();

    // 58, 52 and any other error go to the error report: Ignore goes on, Retry repeats; 76 is skipped.
    AnswerReportsWith({kAnswerIgnore, kAnswerRetry});
    files.Fail(first, {58});
    files.Fail(second, {52, 76});
    ASSERT_TRUE(copy());
    EXPECT_NE(Member::Answer().find("~B" + first + "~N" + second + "~B"), std::string::npos);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(files.Calls(), (std::vector<std::string>{first, second, second}));
    EXPECT_TRUE(FilesIn(floppy_).empty());
    clean();
    AnswerReportsWith({kAnswerRetry});
    files.Fail(first, {6});
    ASSERT_TRUE(copy());
    ASSERT_TRUE(m.WaitForFinish());
    EXPECT_EQ(m.Text(frmWizard::kLabel9), "Export Complete!");
    EXPECT_TRUE(on(first + ".fde"));
    EXPECT_TRUE(on(second + ".fde"));
    EXPECT_EQ(FileBytes(floppy_ + "importfde.key"), kMarkerBytes);
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  EXPECT_EQ(Reports(),
            (std::vector<std::string>{"frmWizard DoBackUp 58", "frmWizard DoBackUp 52", "frmWizard DoBackUp 6"}));
}

// ---- every file error of the import ----

TEST_F(WizardWin, EveryImportFileErrorActsAsItsRowSays) {
  const std::string source = Folder("saved");
  for (const char* name : {"Alpha", "Beta", "Gamma"})
    wine_test::PutFile(source + name + ".fde", std::string("One=") + std::to_string(name[0]) + "\r\nBold=True\r\n");
  wine_test::PutFile(source + "importfde.key", kMarkerBytes);
  ScriptedFiles files(RealWizardFiles());
  WizardFiles() = files.Operations();
  const auto stored = [](const char* name) { return ReadSetting(SchemeKey(name), "Bold") == "True"; };

  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    const std::vector<std::string> order = ListItems(m.Item(frmWizard::kLstSchemes));
    ASSERT_EQ(order.size(), 3u);

    // 71 no disk while looking for the files: its message, then the search
    // again; 76 is skipped without a word; 52 bad file: Abort ends the copy.
    files.ForgetCalls();
    files.Fail("list", {71});
    files.Fail(order[0], {76});
    files.Fail(order[1], {52});
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    EXPECT_EQ(Member::Answer(kRetry),
              "There is ~B~CRno disk present~B~CN in the disk drive!~N ~NPlease insert a disk now and click ~BRetry~B");
    EXPECT_EQ(Member::Answer(kAbort), kFilePath);
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_TRUE(Member::NoMessageShown());
    EXPECT_EQ(files.Calls(), (std::vector<std::string>{"list", "list", order[0], order[1]}));
    EXPECT_TRUE(SchemeKeys().empty());

    // 70 write-protected: Retry; 57: Ignore; 58 is skipped without a word;
    // 61 and any other error go to the error report.
    files.ForgetCalls();
    AnswerReportsWith({kAnswerRetry, kAnswerIgnore});
    files.Fail(order[0], {70, 58});
    files.Fail(order[1], {61, 6});
    files.Fail(order[2], {57});
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    EXPECT_EQ(Member::Answer(kRetry), kPermission);
    EXPECT_EQ(Member::Answer(kIgnore), kFilePath);
    // Every scheme left out: the import is not complete, and says what it left out.
    const std::string leftOut = Member::Answer();
    EXPECT_NE(leftOut.find("~B" + order[0] + "~N" + order[1] + "~N" + order[2] + "~B"), std::string::npos) << leftOut;
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Import Incomplete");
    EXPECT_FALSE(m.Shows(frmWizard::kLabel9));
    EXPECT_EQ(files.Calls(), (std::vector<std::string>{"list", order[0], order[0], order[1], order[1], order[2]}));
    EXPECT_TRUE(SchemeKeys().empty());
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_EQ(Reports(), (std::vector<std::string>{"frmWizard DoRestore 61", "frmWizard DoRestore 6"}));

  // The same folder, with the failures gone.
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    EXPECT_TRUE(Member::NoMessageShown());
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  EXPECT_TRUE(stored("Alpha") && stored("Beta") && stored("Gamma"));
  EXPECT_EQ(FilesIn(source).size(), 4u);
}

// ---- names that cannot be schemes ----

TEST_F(WizardWin, UnsafeNamesAreLeftOutAndReportedAndNoMarkerClaimsAWholeBackup) {
  const std::string source = Folder("saved");
  wine_test::PutFile(source + "Fine.fde", "One=7\r\n");
  wine_test::PutFile(source + "importfde.key", kMarkerBytes);
  ScriptedFiles files(RealWizardFiles());
  // Names a diskette written elsewhere can carry: a device, dots only, a control character.
  files.extraFiles = {"CON.fde", "...fde", "LPT1.txt.fde", "Bell\a.fde"};
  WizardFiles() = files.Operations();
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    // Back to the folder and forward again lists the folder afresh.
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.WaitFor(frmWizard::kCmdLocateKey));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_EQ(ListItems(m.Item(frmWizard::kLstSchemes)).size(), 5u);
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    const std::string leftOut = Member::Answer();
    EXPECT_NE(leftOut.find("~BCON~N..~NLPT1.txt~NBell\a~B"), std::string::npos) << leftOut;
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Import Incomplete");
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_EQ(SchemeKeys(), std::vector<std::string>{"Fine"});
  EXPECT_EQ(ReadSetting(SchemeKey("Fine"), "One"), "7");
  for (const std::string& call : files.Calls()) EXPECT_TRUE(call == "list" || call == "Fine") << call;

  // Schemes whose names would make files elsewhere are not written, and the
  // backup that lacks them gets no marker.
  wine_test::DeleteGlimraTree();
  for (const char* name : {"Good", "what?", "sub/way"}) WriteSetting(SchemeKey(name), "Fade Number", "2");
  WizardFiles() = RealWizardFiles();
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToExportReady("( A:\\ ) Floppy Drive (recommended)"));
    EXPECT_EQ(ListItems(m.Item(frmWizard::kLstSchemes)).size(), 3u);
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    const std::string message = Member::Answer();
    EXPECT_NE(message.find("what?"), std::string::npos) << message;
    EXPECT_NE(message.find("sub/way"), std::string::npos) << message;
    EXPECT_EQ(message.find("Good"), std::string::npos) << message;
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Export Incomplete");
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_EQ(FilesIn(floppy_), std::vector<std::string>{"Good.fde"});
}

// ---- what the member types and clicks ----

TEST_F(WizardWin, ASubFolderWindowsWouldRefuseIsAskedForAgain) {
  WriteSetting(SchemeKey("Alpha"), "Fade Number", "2");
  Run([&](Member& m) {
    ASSERT_TRUE(m.Click(frmWizard::kOptExport));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(ClickOn(m.WaitForDrive("( A:\\ ) Floppy Drive (recommended)")));
    ASSERT_TRUE(m.Click(frmWizard::kCmdSubFolder));
    // A drive inside the path, then a wildcard: each refused with a message, and asked again.
    ASSERT_TRUE(AnswerInputBox("C:\\Backups"));
    const std::string refused = Member::Answer();
    EXPECT_NE(refused.find("C:\\Backups~B~CN cannot be the name of a sub-folder"), std::string::npos) << refused;
    ASSERT_TRUE(AnswerInputBox("May?"));
    EXPECT_NE(Member::Answer().find("May?"), std::string::npos);
    EXPECT_EQ(m.Text(frmWizard::kLblPath), "a:\\");
    ASSERT_TRUE(AnswerInputBox("Backups\\May"));
    ASSERT_TRUE(WaitUntil([&] { return m.Text(frmWizard::kLblPath) == "a:\\Backups\\May\\"; }))
        << m.Text(frmWizard::kLblPath);
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  // Both levels were made.
  EXPECT_EQ(FilesIn(floppy_ + "Backups\\May\\").size(), 2u);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(WizardWin, ADoubleClickOnNextShowsTheReadyPageAndCopiesNothing) {
  WriteSetting(SchemeKey("Alpha"), "Fade Number", "2");
  // The longest double-click time Windows offers: the two clicks below are
  // one double click even on a slow machine.
  struct RestoreDoubleClickTime {
    UINT saved = GetDoubleClickTime();
    ~RestoreDoubleClickTime() { SetDoubleClickTime(saved); }
  } restore;
  ASSERT_TRUE(SetDoubleClickTime(5000));
  Run([&](Member& m) {
    ASSERT_TRUE(m.Click(frmWizard::kOptExport));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(ClickOn(m.WaitForDrive("( A:\\ ) Floppy Drive (recommended)")));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    ASSERT_TRUE(wine_test::WaitUntilReady(m.Item(frmWizard::kCmdNext)));
    const POINT next = Member::Middle(m.Item(frmWizard::kCmdNext));
    ClickAtScreen(next);
    ClickAtScreen(next);
    // Back is taken after both clicks: it finds the ready page, not a copy with Back disabled.
    ASSERT_TRUE(m.Click(frmWizard::kCmdBack));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLstSchemes));
    EXPECT_FALSE(m.Shows(frmWizard::kFraBackup));
    EXPECT_TRUE(FilesIn(floppy_).empty());
    // One click a step from here on.
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitFor(frmWizard::kLblAction));
    EXPECT_FALSE(m.Shows(frmWizard::kFraBackup));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    ASSERT_TRUE(m.WaitForFinish());
    ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  });
  EXPECT_EQ(FilesIn(floppy_), (std::vector<std::string>{"Alpha.fde", "importfde.key"}));
}

// ---- an import folder that changed or holds what no scheme is ----

TEST_F(WizardWin, AnImportFromAFolderThatVanishedSaysWhatWasNotImported) {
  const std::string source = Folder("going");
  for (const char* name : {"Alpha", "Beta"}) wine_test::PutFile(source + name + ".fde", "One=1\r\n");
  wine_test::PutFile(source + "importfde.key", kMarkerBytes);
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    wine_test::DeleteFolderTree(source.substr(0, source.size() - 1));
    ASSERT_EQ(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    const std::string told = Member::Answer();
    EXPECT_NE(told.find("Some Fade Schemes were not imported!"), std::string::npos) << told;
    EXPECT_NE(told.find("Alpha"), std::string::npos) << told;
    EXPECT_NE(told.find("Beta"), std::string::npos) << told;
    ASSERT_TRUE(m.WaitForButtonsBack());
    EXPECT_EQ(m.BarCaption(), "Import Incomplete");
    EXPECT_FALSE(m.Shows(frmWizard::kLabel9));
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_TRUE(SchemeKeys().empty());
}

TEST_F(WizardWin, ImportTakesTheSchemeStoresWayInForeignNamesAndOversizedFiles) {
  const std::wstring han = L"\u4E2D";
  BOOL lost = FALSE;
  char ansi[8] = {};
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, han.c_str(), 1, ansi, sizeof ansi, nullptr, &lost);
  ASSERT_TRUE(lost) << "the test needs a letter outside the ANSI code page";
  const std::string source = Folder("foreign");
  PutWideFile(source, han + L" Fade.fde", "One=7\r\n");
  // The import keeps its files, and the scratch folder's clean-up cannot reach this one by its name.
  struct RemoveWideFile {
    std::wstring path;
    ~RemoveWideFile() { DeleteFileW(path.c_str()); }
  } removeLater{WideOf(source) + han + L" Fade.fde"};
  const std::string oversized = "One=9\r\n" + std::string(100 * 1024, ' ');
  wine_test::PutFile(source + "Huge.fde", oversized);
  wine_test::PutFile(source + "Fine.fde", "One=5\r\n");
  wine_test::PutFile(source + "importfde.key", kMarkerBytes);
  Run([&](Member& m) {
    ASSERT_TRUE(m.WalkToImportReady(source));
    std::vector<std::string> listed = ListItems(m.Item(frmWizard::kLstSchemes));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"Fine", "Huge", "_ Fade"}));
    ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
    const std::string told = Member::Answer();
    EXPECT_NE(told.find("~BHuge~B"), std::string::npos) << told;
    ASSERT_TRUE(m.WaitForButtonsBack());
    ASSERT_TRUE(m.Click(frmWizard::kCmdCancel));
  });
  EXPECT_EQ(ReadSetting(SchemeKey("_ Fade"), "One"), "7");
  EXPECT_EQ(ReadSetting(SchemeKey("Fine"), "One"), "5");
  EXPECT_EQ(ReadSetting(SchemeKey("Huge"), "One"), "");
  EXPECT_EQ(FileBytes(source + "Huge.fde"), oversized);
  EXPECT_EQ(FilesIn(source).size(), 4u);  // the import keeps the folder as it was
}

// ---- glimra.exe itself ----

class GlimraWizard : public wine_test::GlimraProcessFixture {
 protected:
  void SetUp() override {
    GlimraProcessFixture::SetUp();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    floppy_ = std::string(temp) + "glimra_wizard_floppy\\";
    wine_test::DeleteFolderTree(floppy_.substr(0, floppy_.size() - 1));
    CreateDirectoryA(floppy_.c_str(), nullptr);
    ASSERT_TRUE(drives_.Map('a', floppy_, DRIVE_REMOVABLE));
  }
  void TearDown() override {
    GlimraProcessFixture::TearDown();
    wine_test::DeleteFolderTree(floppy_.substr(0, floppy_.size() - 1));
  }
  std::string floppy_;
  wine_test::WineDrives drives_;
};

TEST_F(GlimraWizard, TheMenuCommandOpensTheWizardThatBacksUpToTheFloppy) {
  SaveThreeSchemes();
  Start("Version=4\r\nScreenNames=Zolster\r\n");
  HANDLE glimra = StartGlimra();
  ASSERT_TRUE(glimra);
  HWND tools = wine_test::WaitUntilFound([&] { return WindowOf(glimra, "GlimraForm", "Glimra Chat Tools"); });
  ASSERT_TRUE(tools);
  // Loading the chat tools window is the last step of start-up; its menu is in AOL's bar by then.
  ASSERT_TRUE(wine_test::Answers(tools)) << "Glimra did not finish starting";

  // The member brings AOL to the front and picks the command from Glimra's menu with the keyboard.
  ASSERT_TRUE(wine_test::ClickCaptionUntilInFront(frame_)) << "AOL did not come to the front";
  ASSERT_TRUE(wine_test::OpenMenuWithKeys('A')) << "the Glimra menu did not open";
  PressKey('I');
  HWND wizard = wine_test::WaitUntilFound([&] {
    HWND window = WindowOf(glimra, "GlimraForm", frmWizard::kCaption);
    return window && IsWindowVisible(window) ? window : nullptr;
  });
  ASSERT_TRUE(wizard) << "the wizard did not open";

  Member m(wizard);
  ASSERT_TRUE(m.WalkToExportReady("( A:\\ ) Floppy Drive (recommended)"));
  ASSERT_TRUE(m.Click(frmWizard::kCmdNext));
  ASSERT_TRUE(m.WaitForFinish());
  EXPECT_EQ(m.Text(frmWizard::kLabel9), "Export Complete!");
  ASSERT_TRUE(m.Click(frmWizard::kCmdFinish));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(wizard); }));
  EXPECT_EQ(FilesIn(floppy_).size(), 4u);
  for (const SavedScheme& scheme : kThree) EXPECT_EQ(FileBytes(floppy_ + scheme.name + ".fde"), scheme.bytes);
  EXPECT_EQ(FileBytes(floppy_ + "importfde.key"), kMarkerBytes);
}

}  // namespace
}  // namespace glimra
