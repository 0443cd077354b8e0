#include "settings/frmEMailFade.h"

#include "aol/AOLClientState.h"
#include "aol/ClipboardSnapshot.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "aol/modRelay32.h"
#include "aol/modRichText.h"
#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "settings/AppOptions.h"
#include "settings/MakerSite.h"
#include "settings/SchemeMail.h"
#include "settings/SchemeStore.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/modMsgBox.h"
#include "ui/modZolBtns.h"

namespace glimra {

namespace {

constexpr char kModule[] = "frmEMailFade";
constexpr int kStyleInfo = 64;
constexpr WPARAM kCmdPasteId = 20003;
constexpr int kClientWidth = 3720, kClientHeight = 3420;

// A click as AOL's icons take it: the button goes down and up at 0,0.
void ClickWindow(HWND window) {
  SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
}

// The Attachments icon is the 13th icon of a version 4 mail window and the
// 14th of version 5; other versions have none Glimra knows.
int AttachmentsIconIndex() {
  const std::string& version = ClientState().AOLVersion;
  if (version == "4") return 13;
  if (version == "5") return 14;
  return 0;
}

std::string AttachFileCaption() {
  const AOLClientState& state = ClientState();
  return IsTrue(state.EditionUK) || IsTrue(state.EditionCanada) ? "Open" : "Attach";
}

}  // namespace

frmEMailFade::frmEMailFade() : FormWindow("frmEMailFade", kClientWidth, kClientHeight) {}

void frmEMailFade::OnLoad() {
  SetCaption(kCaption);
  HWND label = AddChild("STATIC", "Choose the fade schemes to share:", WS_VISIBLE, kLabel1, {150, 120, 3420, 240});
  lstSchemes_ = AddChild("LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT,
                         kLstSchemes, {150, 390, 3420, 2340}, WS_EX_CLIENTEDGE);
  for (HWND child : {label, lstSchemes_})
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  HostedControl& email = AddZolButton(kCmdEmail, {1290, 2880, 1080, 360}, "E-Mail");
  HostedControl& cancel = AddZolButton(kCmdExit, {2490, 2880, 1080, 360}, "Cancel");
  PrepareForm(*this);
  for (HostedControl* button : {&email, &cancel}) {
    ShowWindow(button->Window(), SW_SHOW);
    SetButtonColor(*button, kFalse);
  }
  DrawFormEdge(*this);
  GetSchemes();
}

void frmEMailFade::OnUnload() { lstSchemes_ = nullptr; }

void frmEMailFade::OnCommand(UINT id, UINT code, HWND) {
  if (code != BN_CLICKED) return;
  if (id == kCmdEmail) cmdEmail_Click();
  if (id == kCmdExit) cmdExit_Click();
}

void frmEMailFade::GetSchemes() {
  RunProcedure({kModule, "GetSchemes"}, [&] {
    HKEY key = nullptr;
    const LONG opened =
        RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSettingsRoot) + "Schemes").c_str(), 0, KEY_READ, &key);
    if (opened == ERROR_SUCCESS) RegCloseKey(key);
    // No "Schemes" key yet is a fresh installation: nothing to list, nothing broken.
    if (opened == ERROR_FILE_NOT_FOUND) return;
    ListSchemes(lstSchemes_, kSchemesKeyMessage);
  });
}

std::string frmEMailFade::GetOwnName() {
  const AppOptions& options = LiveAppOptions();
  if (IsTrue(options.UseAlias)) return options.AliasName;
  AOLClientState& state = ClientState();
  if (TrimBlanks(state.CurrentScreenName).empty()) {
    if (IsTrue(IsAOLOnline(kFalse)))
      state.CurrentScreenName = GetCurrentScreenName();
    else
      ReadSignOnNames();
  }
  return state.CurrentScreenName;
}

std::string frmEMailFade::MakeEMailFade(const std::string& schemeName) {
  FadeScheme scheme;
  scheme.Name = schemeName;
  ReadFadeScheme(ReadSetting, schemeName, scheme);
  return glimra::MakeEMailFade(scheme);
}

std::vector<std::string> frmEMailFade::SelectedSchemes() const {
  std::vector<std::string> names;
  const auto count = static_cast<int>(SendMessageA(lstSchemes_, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (SendMessageA(lstSchemes_, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) continue;
    std::string name(static_cast<std::size_t>(SendMessageA(lstSchemes_, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    name.resize(
        static_cast<std::size_t>(SendMessageA(lstSchemes_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
    names.push_back(name);
  }
  return names;
}

bool frmEMailFade::PauseAndGoOn(double milliseconds) {
  Pause(milliseconds);
  return GoingOn();
}

namespace {

// A Write Mail window with no subject and no body yet; a draft the member
// has started is never written over.
HWND EmptyWriteMail() {
  for (HWND mail : WriteMailWindows()) {
    HWND body = FindWindowExA(mail, nullptr, "RICHCNTL", nullptr);
    HWND subject = FindChildByClass(mail, "_AOL_EDIT", 3);
    if (body && subject && GetAPIText(body, kFalse).empty() && GetAPIText(subject, kFalse).empty()) return mail;
  }
  return nullptr;
}

DWORD ClientProcess() {
  DWORD process = 0;
  GetWindowThreadProcessId(AOLFrame(), &process);
  return process;
}

}  // namespace

// Each scheme goes out as a file of the outgoing folder, attached through the
// mail's Attachments window and one file dialog per scheme. False when a
// file could not be written or a window did not come (its message has been
// shown), or when the member cancelled.
bool frmEMailFade::AttachSchemes(HWND icon, const std::vector<std::string>& schemes) {
  // Every file is written before the first window opens: a file that could
  // not be written would leave an older one of that name to be attached.
  for (const std::string& scheme : schemes) {
    if (!ExportSchemeFile(scheme, AppPath() + "\\Outgoing\\")) {
      ShowMsg(SchemeFileNotWrittenMessage(scheme), kStyleInfo);
      return false;
    }
  }
  if (!PauseAndGoOn(500)) return false;
  SetFocus(icon);
  if (!PauseAndGoOn(500)) return false;
  ClickWindow(icon);
  if (!PauseAndGoOn(1000)) return false;
  HWND attachments = WaitForWindow("_AOL_MODAL", "Attachments");
  if (!GoingOn()) return false;
  if (!attachments) {
    ShowMsg(kNoAttachmentsWindowMessage, kStyleInfo);
    return false;
  }
  HWND attachButton = WaitForChildClass(attachments, "_AOL_ICON");
  if (!attachButton) {
    ShowMsg(kNoAttachButtonMessage, kStyleInfo);
    return false;
  }
  for (const std::string& scheme : schemes)
    if (!AttachOne(attachButton, scheme)) return false;
  HWND close = FindChildByClass(attachments, "_AOL_ICON", 3);
  SetFocus(close);
  ClickWindow(close);
  return true;
}

// One scheme's file through AOL's file dialog: the client's own dialog,
// never another program's of the same name.
bool frmEMailFade::AttachOne(HWND attachButton, const std::string& scheme) {
  ClickWindow(attachButton);
  HWND fileDialog = WaitForWindowOf(ClientProcess(), "#32770", AttachFileCaption());
  if (!GoingOn()) return false;
  if (!fileDialog) {
    ShowMsg(kNoAttachFileWindowMessage, kStyleInfo);
    return false;
  }
  HWND edit = WaitForChildClass(fileDialog, "Edit");
  if (!edit) {
    ShowMsg(kNoAttachFileEditMessage, kStyleInfo);
    return false;
  }
  SetFocus(edit);
  if (!PauseAndGoOn(500)) return false;
  const std::string path = AppPath() + "\\outgoing\\" + scheme + ".fde";
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  DoEvents();
  if (!PauseAndGoOn(300)) return false;
  HWND open = WaitForChildTitle(fileDialog, "&Open");
  if (!open) {
    ShowMsg(kNoOpenButtonMessage, kStyleInfo);
    return false;
  }
  SetFocus(open);
  ClickWindow(open);
  return PauseAndGoOn(500);
}

void frmEMailFade::cmdEmail_Click() {
  if (working_) return;
  working_ = true;
  cancelled_ = false;
  bool prepared = false;
  RunProcedure({kModule, "cmdEMail_Click"}, [&] { prepared = PrepareMail(); });
  working_ = false;
  if ((prepared || cancelled_) && IsLoaded()) Unload();
}

void frmEMailFade::cmdExit_Click() {
  if (working_)
    cancelled_ = true;
  else
    Unload();
}

// True once the mail holds the schemes, the subject and the body.
bool frmEMailFade::PrepareMail() {
  const std::string sender = GetOwnName();
  HWND mail = EmptyWriteMail();
  if (!mail) mail = OpenEMail();
  if (!GoingOn()) return false;
  if (!mail) {
    ShowMsg(kNoMailWindowMessage, kStyleInfo);
    return false;
  }
  if (!WaitForChildClass(mail, "RICHCNTL") || !GoingOn()) return false;
  const std::vector<std::string> schemes = SelectedSchemes();
  const int iconIndex = AttachmentsIconIndex();
  HWND icon = iconIndex ? FindChildByClass(mail, "_AOL_ICON", iconIndex) : nullptr;
  // Without the icon the mail gets its text but no attachments.
  if (icon && IsWindowVisible(icon) && !AttachSchemes(icon, schemes)) return false;

  const bool withSample = IsTrue(LiveAppOptions().ShowEMailSample);
  std::vector<SharedScheme> shared;
  for (const std::string& scheme : schemes) shared.push_back({scheme, withSample ? MakeEMailFade(scheme) : ""});
  // The body goes in through the clipboard; the member's own clipboard comes back after.
  const ClipboardSnapshot kept = ClipboardSnapshot::Take(hWnd());
  if (!kept.Taken()) {
    ShowMsg(kSharingClipboardBusyMessage, kStyleInfo);
    return false;
  }
  const std::string subject = SharingSubject(schemes.size(), sender);
  SendMessageA(FindChildByClass(mail, "_AOL_EDIT", 3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(subject.c_str()));
  const std::string body = SharingBody(shared, withSample, sender, VersionText(), ReadMakerSite());
  HWND bodyField = FindWindowExA(mail, nullptr, "RICHCNTL", nullptr);
  const bool put = PutRichText(*this, body);
  // Without the body on the clipboard, AOL's paste would put in the member's own text.
  if (put) SendMessageA(bodyField, WM_COMMAND, kCmdPasteId, 0);
  kept.Restore(hWnd());
  if (!put) {
    ShowMsg(kSharingClipboardBusyMessage, kStyleInfo);
    return false;
  }
  // Signed off: the screen name is looked up afresh next time.
  if (RelayIsOnline() == 1) ClientState().CurrentScreenName.clear();
  return true;
}

frmEMailFade& EMailFade() {
  static frmEMailFade form;
  return form;
}

}  // namespace glimra
