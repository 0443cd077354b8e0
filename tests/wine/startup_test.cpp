// glimra.exe started for real beside the stand-in AOL client: every failed
// start-up check shows its message and ends the program; a normal start adds
// the Glimra menu to the AOL menu bar and leaves the chat tools window loaded
// and hidden.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "ClientMenuBar.h"
#include "GlimraProcessFixture.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"

namespace {

using wine_test::WaitUntilFound;

constexpr char kMsgCaption[] = "Glimra - 1.1.9";
constexpr int kMsgPicture = 100;

// The system folder glimra.exe in the current folder sees: a 32-bit program's
// is the 32-bit one beside the 64-bit system, where a 64-bit test program
// looks from.
std::string GlimraSystemFolder() {
  char folder[MAX_PATH] = {};
  DWORD kind = SCS_64BIT_BINARY;
  GetBinaryTypeA("glimra.exe", &kind);
  if (kind != SCS_32BIT_BINARY || !GetSystemWow64DirectoryA(folder, MAX_PATH)) GetSystemDirectoryA(folder, MAX_PATH);
  return folder;
}

void SetWineVersion(const char* version) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\glimra.exe", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                 static_cast<DWORD>(strlen(version) + 1));
  RegCloseKey(key);
}

// Takes a required file out of the system directory for one test.
class HiddenFile {
 public:
  explicit HiddenFile(const std::string& name) : path_(GlimraSystemFolder() + "\\" + name), aside_(path_ + ".aside") {
    MoveFileExA(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  ~HiddenFile() { MoveFileExA(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING); }

 private:
  std::string path_, aside_;
};

class StartupWin : public wine_test::GlimraProcessFixture {
 protected:
  void TearDown() override {
    GlimraProcessFixture::TearDown();
    SetWineVersion("win98");
  }

  // The text of the formatted message box `glimra` shows.
  static std::string MessageOf(HANDLE glimra, HWND* box = nullptr) {
    HWND found = WaitUntilFound([&] { return WindowOf(glimra, "GlimraForm", kMsgCaption); });
    // Found while it is being made: its text is in once it is up and its thread takes messages.
    if (found) wine_test::WaitUntilReady(found);
    if (box) *box = found;
    return found ? wine_test::WindowText(GetDlgItem(found, kMsgPicture)) : "<no message>";
  }

  // Presses OK and expects the program to end, leaving no window behind.
  static void ExpectEndsAfterOk(HANDLE glimra, HWND box) {
    PostMessageA(box, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(glimra, wine_test::kPatienceMs), WAIT_OBJECT_0);
    EXPECT_EQ(WindowOf(glimra, "GlimraForm", nullptr), nullptr);
  }

  void ExpectMessageAndEnd(HANDLE glimra, const std::string& expected) {
    ASSERT_TRUE(glimra);
    HWND box = nullptr;
    EXPECT_EQ(MessageOf(glimra, &box), expected);
    ExpectEndsAfterOk(glimra, box);
  }
};

TEST_F(StartupWin, WindowsNtIsRefused) {
  SetWineVersion("winxp");
  ExpectMessageAndEnd(StartGlimra(),
                      "~B~CRIncorrect Operating System!~B~CN~N ~NGlimra is not compatible with Windows NT.~N ~NThe "
                      "program will now end.");
}

TEST_F(StartupWin, RunningEchorraIsRefused) {
  const std::string folder = bin_ + "\\echorra";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((bin_ + "\\sbc_target.exe").c_str(), (folder + "\\Echorra32.exe").c_str(), FALSE));
  folder_ = folder;
  HANDLE echorra = Run(folder + "\\Echorra32.exe", "\"" + folder + "\\echorra.log\"");
  ASSERT_TRUE(echorra);
  ExpectMessageAndEnd(
      StartGlimra(),
      "~B~CRGlimra has detected that Echorra 32 is currently running!~B~CN~N ~NGlimra is ~Bnot compatible with "
      "Echorra 32~B.  Running both together can cause errors.~N ~NIt should also be noted that Echorra 32 already has "
      "every feature of the Glimra program!  :)~N ~NGlimra will now end.");
  TerminateProcess(echorra, 0);
  WaitForSingleObject(echorra, wine_test::kPatienceMs);
  CloseHandle(echorra);
}

std::string MissingFileMessage(const std::string& name) {
  return "~B~CRMissing runtime file!~B~CN~N ~NGlimra has detected that one of its critical runtime files, ~B" + name +
         "~B is missing.~N ~NPlease perform a full reinstallation of Glimra to correct this problem.";
}

TEST_F(StartupWin, EachMissingRuntimeFileIsNamed) {
  for (const char* name : {"zolbar.ocx", "dwsbc36.ocx", "dwspy36.dll", "relay32.dll"}) {
    SCOPED_TRACE(name);
    HiddenFile hidden(name);
    ExpectMessageAndEnd(StartGlimra(), MissingFileMessage(name));
  }
}

TEST_F(StartupWin, OnlyTheFirstMissingFileIsNamed) {
  HiddenFile relay("relay32.dll"), spy("dwspy36.dll");
  ExpectMessageAndEnd(StartGlimra(), MissingFileMessage("dwspy36.dll"));
}

// Without zolbtns.ocx the formatted box cannot be built: the system's box
// carries the message.
TEST_F(StartupWin, MissingButtonLibraryIsReportedInTheSystemBox) {
  HiddenFile hidden("zolbtns.ocx");
  HANDLE glimra = StartGlimra();
  ASSERT_TRUE(glimra);
  HWND box = WaitUntilFound([&] { return WindowOf(glimra, "#32770", "Glimra"); });
  ASSERT_TRUE(box && wine_test::WaitUntilReady(box));
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    text += wine_test::WindowText(child) + "|";
  EXPECT_NE(text.find("Missing runtime file!"), std::string::npos) << text;
  EXPECT_NE(text.find("zolbtns.ocx is missing."), std::string::npos) << text;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(glimra, wine_test::kPatienceMs), WAIT_OBJECT_0);
}

TEST_F(StartupWin, Aol3IsRefusedAfterTheSplashShowsItsVersion) {
  Start("Version=3\r\nScreenNames=Zolster\r\nSignedOn=1\r\n");
  HANDLE glimra = StartGlimra();
  HWND box = nullptr;
  EXPECT_EQ(MessageOf(glimra, &box),
            "~B~CRAOL Version 3.0 detected!~B~CN~N ~NGlimra is not compatible with this version of AOL. You must be "
            "using the ~B~CR32 bit~B~CN version of ~B~CBAOL 4.0~B~CN.~N ~NGlimra will now end.");
  HWND splash = WindowOf(glimra, "GlimraForm", "Glimra");
  ASSERT_TRUE(splash);
  EXPECT_EQ(wine_test::WindowText(GetDlgItem(splash, 3)), "AOL Version 3.0 US Determined");
  // The splash stays above other windows, in the middle of the screen.
  EXPECT_TRUE(GetWindowLongA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT place{};
  GetWindowRect(splash, &place);
  EXPECT_LE(std::abs((place.left + place.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 2);
  EXPECT_LE(std::abs((place.top + place.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 2);
  ExpectEndsAfterOk(glimra, box);
}

TEST_F(StartupWin, NewUserIsRefused) {
  Start("Version=4\r\nScreenNames=New User\r\nSignedOn=0\r\n");
  ExpectMessageAndEnd(StartGlimra(),
                      "~B~CRAOL Software not registered!~B~CN~N ~NGlimra has detected that the version of AOL you wish "
                      "to use does not have an account installed (e.g. - ~B~CBNew User~B~CN)~N ~NYou must have an AOL "
                      "account registered before attempting to load Glimra!");
}

// A lower-case "changeaol" is no request to change the folder: start-up runs.
TEST_F(StartupWin, NormalStartAddsTheMenuAndLoadsTheChatToolsHidden) {
  Start("Version=5\r\nScreenNames=Zolster\r\nSignedOn=1\r\n");
  HANDLE glimra = StartGlimra("changeaol");
  ASSERT_TRUE(glimra);
  HWND tools = WaitUntilFound([&] { return WindowOf(glimra, "GlimraForm", "Glimra Chat Tools"); });
  ASSERT_TRUE(tools);
  // The window exists a moment before its loading has made AOL its owner.
  EXPECT_EQ(WaitUntilFound([&] { return GetWindow(tools, GW_OWNER); }), frame_);
  // Loading it is the last step of start-up: done once Glimra takes messages.
  ASSERT_TRUE(wine_test::Answers(tools)) << "Glimra did not finish starting";
  EXPECT_FALSE(IsWindowVisible(tools));
  EXPECT_EQ(WindowOf(glimra, "GlimraForm", kMsgCaption), nullptr);
  EXPECT_EQ(wine_test::ClientMenusCaptioned("Glimr&a"), 1);
  EXPECT_EQ(wine_test::WindowText(frame_), "America  Online");
  EXPECT_EQ(WindowOf(glimra, "GlimraForm", "Glimra"), nullptr);  // the splash is gone
  EXPECT_EQ(WaitForSingleObject(glimra, 0), WAIT_TIMEOUT);
  EXPECT_NE(GetFileAttributesA((bin_ + "\\incoming").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesA((bin_ + "\\outgoing").c_str()), INVALID_FILE_ATTRIBUTES);

  // A second copy is refused while the first runs.
  ExpectMessageAndEnd(StartGlimra(), "Glimra is already running!");
  EXPECT_EQ(WaitForSingleObject(glimra, 0), WAIT_TIMEOUT);
}

}  // namespace
