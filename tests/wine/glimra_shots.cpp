// Puts one of Glimra's windows on the screen for `./run shots`:
//   glimra_shots.exe SCENE READYFILE
// Once the window is up its outer rectangle ("left top width height") is
// written to READYFILE; the program ends when the file has been deleted.
#include <windows.h>

#include <cstdio>
#include <string>

#include "aol/AOLClientState.h"
#include "chat/frmChatTools.h"
#include "mail/frmEFade.h"
#include "mail/frmFadeMsg.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/FormWindow.h"
#include "settings/AppOptions.h"
#include "settings/frmCMDialog.h"
#include "settings/frmEMailFade.h"
#include "settings/frmWizard.h"
#include "settings/frmoptions.h"
#include "settings/modRegKeys.h"
#include "shell/UpgradeNotify.h"
#include "shell/frmAbout.h"
#include "shell/frmMain.h"
#include "shell/frmUpdate.h"
#include "shell/modMsgBox.h"
#include "ui/ColourModes.h"
#include "ui/frmSetColors.h"
#include "ui/modZolBtns.h"

namespace glimra {
namespace {

std::string readyFile;

bool ReadyFileGone() { return GetFileAttributesA(readyFile.c_str()) == INVALID_FILE_ATTRIBUTES; }

void AnnounceAndHold(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  if (FILE* out = std::fopen(readyFile.c_str(), "w")) {
    std::fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::fclose(out);
  }
}

// A modal window on this thread: a second thread announces the window
// captioned `caption` and closes it (the message box answering as its
// rightmost button) once the shot is taken.
DWORD WINAPI HoldModalWindow(void* caption) {
  HWND box = nullptr;
  for (int i = 0; i < 500 && !(box = FindWindowA("GlimraForm", static_cast<const char*>(caption))); ++i) Sleep(20);
  if (!box) return 1;
  Sleep(700);
  AnnounceAndHold(box);
  for (int i = 0; i < 1500 && !ReadyFileGone(); ++i) Sleep(20);
  PostMessageA(box, WM_CLOSE, 0, 0);
  return 0;
}

void HoldModal(const char* caption) {
  CloseHandle(CreateThread(nullptr, 0, HoldModalWindow, const_cast<char*>(caption), 0, nullptr));
}

void ShowMessageScene(const std::string& scene) {
  HoldModal("Glimra - 1.1.9");
  if (scene == "msg-no-text")
    ShowMsg("~B~CRNo text found!~B~CN~N ~NPlease highlight the text you would like faded and try again.", 48);
  if (scene == "msg-not-found")
    ShowMsg(
        "~B~CRAOL.EXE not found!~B~CN~N ~NThis is not a valid AOL directory.~N ~NPlease choose a directory that "
        "conatins the ~B~CBAOL.EXE~B~CN file.",
        16);
  if (scene == "msg-style18")
    AskMsg(
        "~b~crThe chat room could not be found.~b~cn~n ~nMake sure you are in a chat room, then press "
        "~iRetry~i.",
        18);
  if (scene == "msg-style68")
    AskMsg("~B~CBSave scheme?~B~CN~N ~NDo you want to save the colours of this fade as a new scheme?", 68);
  if (scene == "msg-long") {
    std::string text = "~B~CRA long message~B~CN~N ~N";
    for (int i = 1; i <= 14; ++i)
      text += "Line " + std::to_string(i) + " of a message long enough to make the box grow downwards.~N";
    text += "~CGThe end.";
    ShowMsg(text, 64);
  }
  if (scene == "msg-wide-word")
    ShowMsg(
        "A word wider than the line goes on a line of its own: "
        "Supercalifragilisticexpialidocious-and-then-some-more-letters-still ~Ubut~U the text goes on after it.",
        0);
}

class ButtonsForm : public FormWindow {
 public:
  ButtonsForm() : FormWindow("frmButtons", 4800, 1200) {}

 protected:
  void OnLoad() override {
    HostedControl& zol = AddZolButton(1, {240, 240, 1215, 330}, "zolButton");
    HostedControl& flat = AddFlatButton(2, {1680, 240, 1215, 330}, "FlatButton");
    HostedControl& selected = AddFlatButton(3, {3120, 240, 1455, 330}, "Selected");
    for (HostedControl* button : {&zol, &flat, &selected}) ShowWindow(button->Window(), SW_SHOW);
    PrepareForm(*this);
    SetButtonColor(zol, kFalse);
    SetOptColor(kFalse, flat);
    SetOptColor(kTrue, selected);
    DrawFormEdge(*this);
  }
};

void ShowButtonsScene(const std::string& scene) {
  static const char* const kCaptions[] = {"Windows style colors", "AOL style colors", "User colors"};
  const int mode = scene.back() == 'k' ? 1 : scene.back() - '0';
  CurrentLook().UIMode = static_cast<std::int16_t>(mode);
  ClientState().EditionUK = ToVBBool(scene == "buttons-1uk");
  LoadUserColors();  // nothing stored: the default user colours
  ButtonsForm form;
  form.Load();
  form.SetCaption(std::string(kCaptions[mode]) + (IsTrue(ClientState().EditionUK) ? " (UK edition)" : ""));
  form.Show();
  WaitWithEvents(700);
  AnnounceAndHold(form.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  form.Unload();
}

void ShowPickerScene() {
  const std::string aol = "C:\\America Online 4.0";
  CreateDirectoryA(aol.c_str(), nullptr);
  CreateDirectoryA((aol + "\\download").c_str(), nullptr);
  CloseHandle(CreateFileA((aol + "\\aol.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  frmCMDialog picker;
  picker.Load();
  picker.SetCaption(frmCMDialog::kAolDirectoryCaption);
  picker.SetDir1Path(aol);
  picker.Show();
  WaitWithEvents(700);
  AnnounceAndHold(picker.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  picker.Unload();
}

// The start-up window as start-up leaves it while it reads the AOL version.
void ShowSplashScene() {
  CurrentLook().UIMode = kAolStyle;
  frmMain& splash = MainSplash();
  splash.Show();
  splash.prgStatus().SetCaption("AOL Version 4.0 US Determined");
  splash.prgStatus().SetValue(40);
  WaitWithEvents(700);
  AnnounceAndHold(splash.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  splash.Unload();
}

// chat-MODE-COLOURS[-max][-solid][-bold]: the chat tools window in colour
// mode MODE with COLOURS colours, expanded, in solid mode, with Bold pressed.
void ShowChatToolsScene(const std::string& scene) {
  const auto has = [&](const char* part) { return scene.find(part) != std::string::npos; };
  CurrentLook().UIMode = static_cast<std::int16_t>(scene[5] - '0');
  LoadUserColors();
  FadeSettings& fade = LiveFadeSettings();
  const Colour colours[] = {0, 0x0000FF, 0x00A5FF, 0x00FFFF, 0x00C000, 0xFF6000, 0xC000A0};
  for (int k = 1; k <= 6; ++k) fade.Colors[k] = colours[k];
  fade.FadeNumber = static_cast<std::int16_t>(scene[7] - '0');
  fade.FaderOn = kTrue;
  fade.SolidFade = ToVBBool(has("-solid"));
  fade.Bold = ToVBBool(has("-bold"));
  WriteSetting("", "State", has("-max") ? "Max" : "Min");
  WriteSetting("Schemes\\Rainbow", "Fade Number", "6");
  LiveAppOptions().CurrentScheme = "";
  frmChatTools& tools = ChatTools();
  tools.Load();
  tools.Show();
  WaitWithEvents(700);
  AnnounceAndHold(tools.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  tools.Unload();
}

// The about box in the AOL style.
void ShowAboutScene() {
  CurrentLook().UIMode = kAolStyle;
  frmAbout& about = AboutBox();
  about.Show();
  WaitWithEvents(700);
  AnnounceAndHold(about.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  about.Unload();
}

// update-newer, update-latest, update-beta: the check's result for a posted
// 1.2.0, 1.1.9 and 1.1.8 while 1.1.9 runs.
void ShowUpdateScene(const std::string& scene) {
  CurrentLook().UIMode = kAolStyle;
  PostedVersion() = scene == "update-newer" ? "1.2.0" : scene == "update-latest" ? "1.1.9" : "1.1.8";
  HoldModal(frmUpdate::kCaption);
  UpgradeNotify();
}

// wizard-PAGE: the export/import wizard on one of its pages, reached the way
// a member's clicks reach it.
void ShowWizardScene(const std::string& scene) {
  CurrentLook().UIMode = kAolStyle;
  for (const char* name : {"Bold Three", "Sea Breeze", "Sunset", "Rainbow"})
    WriteSetting(std::string("Schemes\\") + name, "Fade Number", "3");
  frmWizard& wizard = Wizard();
  wizard.Show();
  const auto item = [&](UINT id) { return GetDlgItem(wizard.hWnd(), static_cast<int>(id)); };
  if (scene == "wizard-import") {
    wizard.optImport_Click();
    wizard.cmdNext_Click();
    SetWindowTextA(item(frmWizard::kLblImport), "a:\\glimra schemes\\");
  } else if (scene != "wizard-welcome") {
    wizard.optExport_Click();
    wizard.cmdNext_Click();
    wizard.SubFolder = "Glimra Schemes\\";
    wizard.optDrive_Click(scene == "wizard-finish" ? 1 : 0);
    if (scene != "wizard-drives") wizard.cmdNext_Click();
    if (scene != "wizard-drives" && scene != "wizard-list") wizard.cmdNext_Click();
    if (scene == "wizard-progress") {
      for (UINT id : {frmWizard::kFraBackup, frmWizard::kPrgStatus, frmWizard::kCmdCancelProgress})
        ShowWindow(item(id), SW_SHOW);
      SetWindowTextA(item(frmWizard::kPrgStatus), "Copying Sea Breeze");
      SendMessageA(item(frmWizard::kPrgStatus), WM_USER + 100, 50, 0);
    }
    if (scene == "wizard-finish") wizard.cmdNext_Click();
  }
  WaitWithEvents(700);
  AnnounceAndHold(wizard.hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  wizard.Unload();
  // The finish scene backed up to the hard disk; leave no trace.
  WIN32_FIND_DATAA found;
  const HANDLE written = FindFirstFileA("C:\\Glimra Schemes\\*.*", &found);
  if (written != INVALID_HANDLE_VALUE) {
    do DeleteFileA((std::string("C:\\Glimra Schemes\\") + found.cFileName).c_str());
    while (FindNextFileA(written, &found));
    FindClose(written);
  }
  RemoveDirectoryA("C:\\Glimra Schemes");
}

// efade-MODE, fadenotice-MODE, emailfade-MODE: the e-mail fader's toolbar,
// its fade notice and the scheme sharing window in colour mode MODE.
void ShowMailScene(const std::string& scene) {
  CurrentLook().UIMode = static_cast<std::int16_t>(scene.back() - '0');
  LoadUserColors();
  FormWindow* form = nullptr;
  if (scene.rfind("efade-", 0) == 0) {
    ShowEFadeToolbar();
    form = &EFade();
  } else if (scene.rfind("fadenotice-", 0) == 0) {
    FadeMsg().Show();
    form = &FadeMsg();
  } else {
    for (const char* name : {"Cool Fade", "Forest", "Ocean", "Rainbow", "Sunset"})
      WriteSetting(std::string("Schemes\\") + name, "Fade Number", "2");
    EMailFade().Show();
    SendMessageA(EMailFade().lstSchemes(), LB_SETSEL, TRUE, 1);
    SendMessageA(EMailFade().lstSchemes(), LB_SETSEL, TRUE, 3);
    form = &EMailFade();
  }
  WaitWithEvents(700);
  AnnounceAndHold(form->hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  form->Unload();
}

// options-MODE, setcolors-MODE: the options dialog with a member's options
// and the user colours dialog, in colour mode MODE.
void ShowOptionsScene(const std::string& scene) {
  LookAndFeel& look = CurrentLook();
  look.UIMode = look.UIModeCopy = static_cast<std::int16_t>(scene.back() - '0');
  LoadUserColors();
  AppOptions& options = LiveAppOptions();
  options.ShowFadePanelWithChat = options.UseChatKW = options.UseMultiline = options.ShowEFToolbar = kTrue;
  options.ShowEMailSample = kTrue;
  options.UseAlias = kFalse;
  options.AliasName = "Zolster";
  options.MultilineBurst = 1.5f;
  options.CharsInLine = 60;
  FormWindow* form = nullptr;
  if (scene.rfind("options-", 0) == 0) {
    OptionsDialog().Show();
    form = &OptionsDialog();
  } else {
    SetColorsDialog().Show();
    form = &SetColorsDialog();
  }
  WaitWithEvents(700);
  AnnounceAndHold(form->hWnd());
  PumpUntil(ReadyFileGone, 30000, 50);
  form->Unload();
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string scene = argv[1];
  glimra::readyFile = argv[2];
  glimra::VersionText() = "1.1.9";
  if (scene.rfind("msg-", 0) == 0) glimra::ShowMessageScene(scene);
  if (scene.rfind("buttons-", 0) == 0) glimra::ShowButtonsScene(scene);
  if (scene == "picker") glimra::ShowPickerScene();
  if (scene == "splash") glimra::ShowSplashScene();
  if (scene.rfind("chat-", 0) == 0) glimra::ShowChatToolsScene(scene);
  for (const char* mail : {"efade-", "fadenotice-", "emailfade-"})
    if (scene.rfind(mail, 0) == 0) glimra::ShowMailScene(scene);
  if (scene == "about") glimra::ShowAboutScene();
  if (scene.rfind("update-", 0) == 0) glimra::ShowUpdateScene(scene);
  if (scene.rfind("wizard-", 0) == 0) glimra::ShowWizardScene(scene);
  for (const char* dialog : {"options-", "setcolors-"})
    if (scene.rfind(dialog, 0) == 0) glimra::ShowOptionsScene(scene);
  return 0;
}
