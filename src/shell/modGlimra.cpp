// Glimra's program entry: one strictly ordered start-up that checks the
// platform and the installation, attaches to (or starts) the AOL client,
// loads the settings and schemes, and hands over to the chat tools window.
// Glimra has no main window of its own.
#include <windows.h>

#include <string>

#include "aol/AOLClientState.h"
#include "aol/modAOLFunctions.h"
#include "aol/modWin32API.h"
#include "chat/ChatFader.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "engine/modFade.h"
#include "runtime/ErrorReporter.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/Forms.h"
#include "settings/AppOptions.h"
#include "settings/SchemeStore.h"
#include "settings/frmWizard.h"
#include "settings/frmoptions.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/UpgradeNotify.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/modMsgBox.h"
#include "shell/modToolHelp.h"
#include "ui/ColourModes.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr int kStyleStop = 16;
constexpr int kStyleInfo = 64;
constexpr char kInstanceMutex[] = "Zol Software Glimra running";
constexpr const char* kRuntimeFiles[] = {"zolbtns.ocx", "zolbar.ocx", "dwsbc36.ocx", "dwspy36.dll", "relay32.dll"};
// AOL shows its frame a moment before the document area and toolbar inside it.
constexpr unsigned kFramePartsWait = 10000;
constexpr unsigned kLookAgain = 25;

void ChooseColourMode() {
  LookAndFeel& look = CurrentLook();
  look.UIMode = GetUIMode();
  look.UIModeCopy = look.UIMode;
  if (!IsTrue(LowColorFlag())) {
    const std::string stored = ReadSetting("", "UIMode");
    if (!stored.empty()) SkipOnError([&] { look.UIMode = look.UIModeCopy = CInt(stored); });
  }
  LoadUserColors();
}

// The run-time's previous-instance test: a named object that lives as long
// as the first copy does.
bool AnotherCopyRunning() {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);  // kept open for the whole run
  return mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

void ShowSplash() {
  frmMain& splash = MainSplash();
  splash.Show();  // centred while it loaded
  StayOnTop(splash);
}

// Points the AOL detection's and the scheme import's progress at prgStatus.
void WireSplash() {
  Splash().show = ShowSplash;
  Splash().caption = [](const std::string& caption) {
    MainSplash().Load();
    MainSplash().prgStatus().SetCaption(caption);
  };
  Splash().value = [](int value) {
    MainSplash().Load();
    MainSplash().prgStatus().SetValue(value);
  };
  SchemeImportStatus() = [](const std::string& caption) { Splash().caption(caption); };
}

void Status(const char* caption, int value = -1) {
  if (caption) Splash().caption(caption);
  if (value >= 0) Splash().value(value);
}

void LookUpFrame() {
  HWND frame = FindWindowA("AOL FRAME25", nullptr);
  HWND mdi = nullptr;
  PumpUntil(
      [&] {
        mdi = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
        HWND toolbar = FindWindowExA(frame, nullptr, "AOL Toolbar", nullptr);
        return !IsWindow(frame) || (mdi && FindWindowExA(toolbar, nullptr, "_AOL_Toolbar", nullptr));
      },
      kFramePartsWait, kLookAgain);
  ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame);
  ClientState().AOLMDIClient = reinterpret_cast<std::uintptr_t>(mdi);
}

void SetFrameCaption() { SendMessageA(AOLFrame(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("America  Online")); }

std::string EditionText() {
  const AOLClientState& state = ClientState();
  if (IsTrue(state.EditionUK)) return ".0 UK Determined";
  if (IsTrue(state.EditionCanada)) return ".0 Canada Determined";
  if (IsTrue(state.EditionAustralia)) return ".0 Australia Determined";
  return ".0 US Determined";
}

// The windows only the menu and the chat commands open.
void InstallMenuWindows() {
  MenuWindowHooks& hooks = MenuWindows();
  hooks.ShowOptions = ShowOptions;
  hooks.ShowWizard = ShowWizard;
  hooks.ShowAbout = [] { AboutBox().Show(); };
  hooks.CheckUpdates = RunUpgradeCheck;
}

bool SupportedVersion() { return ClientState().AOLVersion == "4" || ClientState().AOLVersion == "5"; }

void MakeFolder(const std::string& name) {
  const std::string path = AppPath() + "\\" + name;
  if (!FolderExists(path)) CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

void StartGlimra(const std::string& commandLine) {
  HelpFile() = AppPath() + "\\glimra.hlp";
  VersionText() = MakeVersionText(GLIMRA_VERSION_MAJOR, GLIMRA_VERSION_MINOR, GLIMRA_VERSION_REVISION);
  LowColorFlag() = MeasureLowColorFlag(LowColorFlag());
  InstallErrorReporting();
  SetFadeYield(DoEvents);
  ChooseColourMode();
  if (commandLine == "CHANGEAOL") {
    GetAOLPath(0);
    EndProgram();
  }
  if (AnotherCopyRunning()) {
    ShowMsg("Glimra is already running!", kStyleStop);
    EndProgram();
  }
  OS_Check();
  CheckForEchorra();
  GetSysDir();
  for (const char* file : kRuntimeFiles) CheckRuntimeFile(file);
  WireSplash();
  if (!FindWindowA("AOL FRAME25", nullptr))
    StartAOL();
  else
    AOLIsRunning();
  LookUpFrame();
  GetAOLVersion();
  if (SupportedVersion()) DetectEdition();
  SetFrameCaption();
  MainSplash().Load();
  SetFormColor(MainSplash());
  Status("Determining AOL Version", 30);
  Pause(100);
  Status(nullptr, 40);
  GetAOLVersion();
  Status(("AOL Version " + ClientState().AOLVersion + EditionText()).c_str());
  Pause(100);
  if (!SupportedVersion()) {
    ShowMsg("~B~CRAOL Version " + ClientState().AOLVersion +
                ".0 detected!~B~CN~N ~NGlimra is not compatible with this version of AOL. You must be using the "
                "~B~CR32 bit~B~CN version of ~B~CBAOL 4.0~B~CN.~N ~NGlimra will now end.",
            kStyleStop);
    EndProgram();
  }
  LookUpFrame();
  SetFrameCaption();
  Status("Retrieving Screen Names");
  Pause(100);
  Status(nullptr, 50);
  if (IsTrue(IsAOLOnline(kFalse)))
    GetScreenNames();
  else
    ReadSignOnNames();
  if (ClientState().ScreenName[1] == "New User") {
    ShowMsg(
        "~B~CRAOL Software not registered!~B~CN~N ~NGlimra has detected that the version of AOL you wish to use does "
        "not have an account installed (e.g. - ~B~CBNew User~B~CN)~N ~NYou must have an AOL account registered before "
        "attempting to load Glimra!",
        kStyleInfo);
    EndProgram();
  }
  Status(("Master Screen Name: " + ClientState().ScreenName[1]).c_str());
  Pause(100);
  Status("Loading User Settings", 80);
  Pause(100);
  LoadOptions();
  MakeFolder("outgoing");
  MakeFolder("incoming");
  ImportSchemeFiles(AppPath() + "\\incoming\\", kTrue);
  Status("Loading Glimra", 90);
  Pause(100);
  Status(nullptr, 100);
  Pause(100);
  MainSplash().Hide();
  PumpUntil([] { return !MainSplash().Visible(); });
  MainSplash().Unload();
  AddMenuToAOL();
  InstallChatFader();
  InstallMenuWindows();
  ChatTools().Load();
}

}  // namespace glimra

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  glimra::StartGlimra(commandLine ? commandLine : "");
  // From here on Glimra runs on the chat tools window's events until every
  // form is unloaded.
  glimra::PumpUntil([] { return glimra::Forms().Count() == 0; });
  return 0;
}
