#include "aol/modAOLFunctions.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <vector>

#include "aol/RemoteMenu.h"
#include "aol/modFindChild.h"
#include "aol/modRelay32.h"
#include "aol/modWin32API.h"
#include "runtime/ErrorReporting.h"
#include "runtime/EventPump.h"
#include "runtime/OutsideLibraries.h"
#include "settings/AppOptions.h"
#include "settings/frmCMDialog.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"
#include "shell/modMsgBox.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modAOLFunctions";
constexpr char kFrameClass[] = "AOL FRAME25";
constexpr char kChildClass[] = "AOL Child";
constexpr int kStyleStop = 16;
constexpr int kStyleInfo = 64;
constexpr unsigned kMailWaitMilliseconds = 20000;
constexpr unsigned kLookAgainMilliseconds = 25;

HWND ToHwnd(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }
std::uintptr_t FromHwnd(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// The first child of `parent` of `className` that comes after `after` in
// z-order (from the first child when `after` is 0). Walks the siblings itself:
// Wine's FindWindowEx finds nothing after a child of another class.
HWND ChildOfClassAfter(HWND parent, HWND after, const char* className) {
  for (HWND h = after ? GetWindow(after, GW_HWNDNEXT) : GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (EqualsNoCase(GetClass(h), className)) return h;
  return nullptr;
}

// Runs a program of the AOL folder with a show mode; returns its process, or
// nothing when it could not be started.
HANDLE RunAolProgram(const std::string& commandLine, WORD showMode) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showMode;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

// A client that ended before it was ready: Glimra cannot go on without it.
[[noreturn]] void EndAfterFailedStart() {
  ShowMsg("~B~CRAmerica Online did not start!~B~CN~N ~NGlimra will now end.", kStyleStop);
  EndProgram();
}

bool ProcessOfWindowEnded(HWND window) {
  DWORD processId = 0;
  if (!GetWindowThreadProcessId(window, &processId)) return true;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return true;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

struct MenuEntry {
  const char* caption;  // nullptr: a separator
  UINT id;
};
constexpr MenuEntry kGlimraMenu[] = {{"&Fade Designer/Control Panel", 60000},
                                     {nullptr, 0},
                                     {"&Options", 60001},
                                     {nullptr, 0},
                                     {"&Advertise", 60002},
                                     {nullptr, 0},
                                     {"&Import/Export Wizard", 60003},
                                     {nullptr, 0},
                                     {"&Help", 0},  // the help pop-up
                                     {"&Check for Updates", 60006},
                                     {"&About Glimra", 60004},
                                     {nullptr, 0},
                                     {"&Exit Glimra", 60005}};
constexpr MenuEntry kHelpMenu[] = {
    {"&Table of Contents", 62000}, {"&Search for Help on...", 62001}, {nullptr, 0}, {"&Online Support", 62002}};
constexpr char kGlimraMenuCaption[] = "Glimr&a";

void AppendEntries(std::vector<RemoteMenu::NewItem>& items, HMENU menu, const MenuEntry* entries, std::size_t count,
                   HMENU help) {
  for (std::size_t i = 0; i < count; ++i) {
    const MenuEntry& entry = entries[i];
    if (!entry.caption)
      items.push_back({menu, MF_SEPARATOR, 0, "-"});
    else if (entry.id == 0)
      items.push_back({menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), entry.caption});
    else
      items.push_back({menu, MF_STRING, entry.id, entry.caption});
  }
}

void ShowSplashSteps(std::initializer_list<std::pair<int, const char*>> steps) {
  for (const auto& [value, caption] : steps) {
    if (caption) Splash().caption(caption);
    if (value >= 0) Splash().value(value);
    Pause(100);
  }
}

void SetScreenNames(const std::string names[6], const std::string& current) {
  AOLClientState& state = ClientState();
  for (int i = 1; i <= 5; ++i) state.ScreenName[i] = names[i];
  state.CurrentScreenName = current;
}

}  // namespace

SplashProgress& Splash() {
  static SplashProgress splash;
  return splash;
}

HWND AOLFrame() { return ToHwnd(ClientState().AOLFrame); }
HWND AOLMDIClient() { return ToHwnd(ClientState().AOLMDIClient); }

HWND& LastMailWindow() {
  static HWND window = nullptr;
  return window;
}

void AOLIsRunning() {
  RunProcedure({kModule, "AOLIsRunning"}, [&] {
    HWND frame = FindWindowA(kFrameClass, nullptr);
    ClientState().AOLFrame = FromHwnd(frame);
    DWORD processId = 0;
    GetWindowThreadProcessId(frame, &processId);
    const std::string modulePath = LoadMemoryLibrary()->dwXGetModuleFileName(processId, "WAOL.EXE");
    const std::optional<std::string> folder = AolFolderFromModulePath(modulePath);
    if (!folder) {
      ShowMsg(
          "~CRA 16 bit version of AOL is currently running!~CN~N ~NThis version of Glimra does not work with the 16 "
          "bit version of AOL.",
          kStyleInfo);
      EndProgram();
    }
    LiveAppOptions().AOLPath = *folder;
    WriteSetting("", "AOL Path", *folder);
    // The menu steps of the attachment find their helper in the client
    // ready: it is made while the splash pauses.
    RemoteMenu::PrepareHelper(frame);
    Splash().show();
    Pause(1000);
    Splash().value(5);
    Pause(100);
    Splash().value(10);
    Pause(100);
    Splash().value(15);
    Pause(100);
    ShowSplashSteps({{20, "Starting America Online"}, {25, "America Online Loaded"}});
    ShowWindow(frame, SW_SHOWMAXIMIZED);
  });
}

void StartAOL() {
  RunProcedure({kModule, "StartAOL"}, [&] {
    Splash().show();
    Pause(100);
    ShowSplashSteps({{5, nullptr}, {10, nullptr}, {15, nullptr}, {20, "Starting America Online"}});
    if (ReadSetting("", "AOL Path").empty()) GetAOLPath(1);
    LiveAppOptions().AOLPath = ReadSetting("", "AOL Path");
    if (!FileExists(LiveAppOptions().AOLPath + "\\aol.exe")) {
      GetAOLPath(1);
      LiveAppOptions().AOLPath = ReadSetting("", "AOL Path");
    }
    HANDLE client = RunAolProgram("\"" + LiveAppOptions().AOLPath + "\\waol.exe\"", SW_SHOWMAXIMIZED);
    // No time limit while the client lives; a client that died never shows its window.
    HWND frame = nullptr;
    PumpUntil(
        [&] {
          frame = FindWindowA(kFrameClass, nullptr);
          return IsWindow(frame) || !client || WaitForSingleObject(client, 0) == WAIT_OBJECT_0;
        },
        kWaitForever, kLookAgainMilliseconds);
    if (client) CloseHandle(client);
    if (!IsWindow(frame)) EndAfterFailedStart();
    ClientState().AOLFrame = FromHwnd(frame);
  });
}

void GetAOLPath(std::int16_t mode) {
  RunProcedure({kModule, "GetAOLPath"}, [&] {
    if (mode == 1)
      ShowMsg(
          "~B~CRWelcome to Glimra!~B~CN~N ~NBefore we begin, Glimra needs to know your current AOL folder so it can "
          "start AOL for you.~N ~NPlease click ~BOK~B to choose your AOL folder now!~N ~N~B~CBNote:~B~CNYou will not "
          "see this prompt again once a valid AOL folder is chosen.",
          kStyleInfo);
    frmCMDialog picker;
    picker.Load();
    picker.SetCaption(frmCMDialog::kAolDirectoryCaption);
    picker.SetPathBox("C:\\");
    picker.Show();
    PumpUntil([&] { return !picker.Visible(); });
    const std::string path = picker.PathBox();
    if (path.empty()) {
      picker.Unload();
      if (mode == 1)
        ShowMsg("Glimra requires a path to your AOL Directory to function properly.~N ~NThe program will now end.",
                kStyleStop);
      EndProgram();
    }
    WriteSetting("", "AOL Path", path);
    picker.Unload();
    if (mode == 0)
      ShowMsg("The next time you start Glimra, it will start the AOL program located in the ~B~CB" + Upper(path) +
                  "~B~CN directory.",
              kStyleInfo);
  });
}

void RunAOLCommand(const std::string& word) {
  RunProcedure({kModule, "RunAOLCommand"}, [&] {
    if (HANDLE process = RunAolProgram("\"" + LiveAppOptions().AOLPath + "\\waol.exe\" -s" + word, SW_HIDE))
      CloseHandle(process);
  });
}

void GetAOLVersion() {
  RunProcedure({"modRelay32", "GetAOLVersion"}, [&] {
    if (auto version = VersionFromRelayAnswer(RelayVersion(LiveAppOptions().AOLPath)))
      ClientState().AOLVersion = *version;
  });
}

VBBool RunMenuByString(HWND window, const std::string& caption, VBBool run) {
  VBBool found = kFalse;
  RunProcedure({kModule, "RunMenuByString"}, [&] {
    // Each pop-up is read whole, one round trip to the client, with the
    // steps of a walk item by item: its id, then its caption by that id.
    RemoteMenu menus(window);
    for (const RemoteMenu::Item& entry : menus.ReadItems(menus.GetMenu(), 0, MF_BYPOSITION)) {
      if (!entry.subMenu) continue;  // no pop-up: no items
      for (const RemoteMenu::Item& item : menus.ReadItems(entry.subMenu, 100, MF_BYCOMMAND)) {
        if (!EqualsNoCase(item.text, caption)) continue;
        found = kTrue;
        if (IsTrue(run)) SendMessageA(window, WM_COMMAND, item.id, 0);
        return;
      }
    }
  });
  return found;
}

VBBool IsAOLAU() {
  VBBool australia = kFalse;
  RunProcedure({kModule, "IsAOLAU"}, [&] {
    HWND toolbar = FindWindowExA(AOLFrame(), nullptr, "AOL Toolbar", nullptr);
    HWND bar = FindWindowExA(toolbar, nullptr, "_AOL_Toolbar", nullptr);
    HWND icon = FindChildByClass(bar, "_AOL_ICON", 3);
    if (!EqualsNoCase(GetAPIText(icon, kFalse), "e-mail centre")) return;
    australia = kTrue;
    ClientState().EditionUK = kFalse;
    ClientState().EditionCanada = kFalse;
  });
  return australia;
}

void DetectEdition() {
  AOLClientState& state = ClientState();
  state.EditionUK = RunMenuByString(AOLFrame(), "&About AOL", kFalse);
  state.EditionCanada = RunMenuByString(AOLFrame(), "&About AOL Canada", kFalse);
  state.EditionAustralia = IsAOLAU();
}

VBBool IsAOLOnline(VBBool showMessage) {
  VBBool online = kFalse;
  RunProcedure({kModule, "IsAOLOnline"}, [&] {
    const std::string& version = ClientState().AOLVersion;
    if (version == "5")
      online = RunMenuByString(AOLFrame(), "Switch Scree&n Name", kFalse);
    else if (version == "4" || version == "3")
      online = ToVBBool(RelayIsOnline() != 1);
    else
      return;
    if (!IsTrue(online) && IsTrue(showMessage))
      ShowMsg("~B~CRYou are not currently signed on!~B~CN~N ~NYou must be online to use this feature!", kStyleInfo);
  });
  return online;
}

void GetScreenNames() {
  RunProcedure({"modRelay32", "GetScreenNames"}, [&] {
    const auto buffers = RelayScreenNames(LiveAppOptions().AOLPath + "\\");
    std::string names[6];
    for (int i = 1; i <= 5; ++i) names[i] = ScreenNameFromBuffer(buffers[static_cast<std::size_t>(i - 1)]);
    SetScreenNames(names, ScreenNameFromBuffer(buffers[5]));
  });
}

namespace {

HWND FindSignOnWindow() {
  const AOLClientState& state = ClientState();
  HWND window = FindWindowExA(AOLMDIClient(), nullptr, kChildClass, SignOnCaption(state.AOLVersion).c_str());
  if (!window) window = FindWindowExA(AOLMDIClient(), nullptr, kChildClass, SignOffCaption(state).c_str());
  return window;
}

// The name of a sign-on list entry: item data d, pointer at d + 24, 16 bytes at that pointer + 6.
std::string ReadSignOnEntry(HANDLE process, HWND combo, int entry) {
  const auto data = static_cast<std::uintptr_t>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(entry), 0));
  std::uint32_t record = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(data + 24), &record, sizeof record, &read))
    RaiseError(kErrInvalidCall);
  char name[17] = {};
  if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(record) + 6), name, 16, &read))
    RaiseError(kErrInvalidCall);
  return TrimBlanks(name);
}

}  // namespace

void ReadSignOnNames() {
  std::string names[7];
  HWND combo = nullptr;
  for (int attempt = 1; attempt <= 3 && !combo; ++attempt)
    combo = WaitForChildClass(FindSignOnWindow(), "_AOL_COMBOBOX");
  if (!combo) {
    ShowMsg(
        "Glimra timed out waiting for America Online to load.~N ~NPlease start America Online first and then start "
        "Glimra",
        kStyleStop);
    EndProgram();
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(combo, &processId);
  if (HANDLE process = OpenProcess(STANDARD_RIGHTS_REQUIRED | PROCESS_VM_READ, FALSE, processId)) {
    const auto entries = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < entries; ++i) {
      std::string name;
      // A failing read skips the entry; entries after the sixth are not kept.
      SkipOnError([&] { name = ReadSignOnEntry(process, combo, i); });
      if (name == "Guest") break;
      if (i + 1 <= 6) names[i + 1] = name;
    }
    CloseHandle(process);
  }
  const auto selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
  std::string current;
  if (selected >= 0 && selected + 1 <= 6) current = names[selected + 1];
  SetScreenNames(names, current);
}

std::string GetCurrentScreenName() {
  std::string name;
  RunProcedure({kModule, "GetCurrentScreenName"}, [&] {
    if (!IsTrue(IsAOLOnline(kFalse))) {
      ReadSignOnNames();
      name = ClientState().CurrentScreenName;
      return;
    }
    HWND welcome = FindChildByTitle(AOLMDIClient(), "Welcome,");
    if (!welcome && ClientState().AOLVersion == "5") {
      RunAOLCommand("welcome");
      welcome = WaitForChildTitle(AOLMDIClient(), "Welcome, ");
    }
    if (!welcome) return;
    char caption[256] = {};
    SendMessageA(welcome, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(caption));
    name = ScreenNameFromWelcomeCaption(caption);
  });
  return name;
}

void AddMenuToAOL() {
  RunProcedure({kModule, "AddMenuToAOL"}, [&] {
    HWND frame = AOLFrame();
    RemoteMenu menus(frame);
    HMENU bar = menus.GetMenu();
    HMENU main = menus.CreatePopupMenu();
    HMENU help = menus.CreatePopupMenu();
    // Both pop-ups are filled in table order with one round trip to the client.
    std::vector<RemoteMenu::NewItem> entries;
    AppendEntries(entries, main, kGlimraMenu, std::size(kGlimraMenu), help);
    AppendEntries(entries, help, kHelpMenu, std::size(kHelpMenu), nullptr);
    menus.AppendMenus(entries);
    // AOL builds its menu bar gradually while it starts; no time limit while it lives.
    int items = 0;
    PumpUntil(
        [&] {
          items = menus.GetMenuItemCount(bar);
          return items >= 5 || ProcessOfWindowEnded(frame);
        },
        kWaitForever, kLookAgainMilliseconds);
    if (items < 5) EndAfterFailedStart();
    const UINT position = items <= 6 ? 6 : 7;
    menus.InsertMenu(bar, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(main), kGlimraMenuCaption);
    menus.DrawMenuBar();
  });
}

void RemoveMenuFromAOL() {
  RunProcedure({kModule, "RemoveMenuFromAOL"}, [&] {
    RemoteMenu menus(AOLFrame());
    HMENU bar = menus.GetMenu();
    for (UINT position = 5; position <= 19; ++position) {
      if (TrimBlanks(menus.GetMenuString(bar, position, 9, MF_BYPOSITION)) != kGlimraMenuCaption) continue;
      menus.DeleteMenu(bar, position, MF_BYPOSITION);
      menus.DrawMenuBar();
      return;
    }
  });
}

HWND FindChatRoom(HWND parent, const std::string& childClass) {
  HWND room = nullptr;
  RunProcedure({kModule, "FindChatRoom"}, [&] {
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      if (!EqualsNoCase(GetClass(h), childClass)) continue;
      HWND list = FindWindowExA(h, nullptr, "_AOL_LISTBOX", nullptr);
      HWND rich = FindWindowExA(h, nullptr, "RICHCNTL", nullptr);
      HWND combo = FindWindowExA(h, nullptr, "_AOL_COMBOBOX", nullptr);
      HWND icon = combo ? ChildOfClassAfter(h, combo, "_AOL_ICON") : nullptr;
      if (list && rich && combo && icon && GetAPIText(icon, kFalse).empty()) {
        room = h;
        return;
      }
    }
  });
  return room;
}

void TextToChat(const std::string& text, std::int16_t mode) {
  RunProcedure({kModule, "TextToChat"}, [&] {
    HWND room = FindChatRoom(AOLMDIClient(), kChildClass);
    if (!room) {
      ShowMsg("You must be in a ~B~CRchat room~B~CN to use this feature!", kStyleInfo);
      return;
    }
    HWND box = ChatInputBox(room);
    SetFocus(box);
    switch (mode) {
      case 0: SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); break;
      case 1:
        ShowWindow(box, SW_HIDE);
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(box, WM_CHAR, 13, 0);
        break;
      case 2:
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Pause(500);
        SendMessageA(box, WM_CHAR, 13, 0);
        break;
      default: break;
    }
  });
}

HWND ChatInputBox(HWND room) {
  if (!room) return nullptr;
  HWND transcript = ChildOfClassAfter(room, nullptr, "RICHCNTL");
  return transcript ? ChildOfClassAfter(room, transcript, "RICHCNTL") : nullptr;
}

namespace {

// Joins the input of the box's thread just long enough to give the box the
// focus, which only a thread sharing that input may do.
DWORD WINAPI FocusAsJoinedThread(LPVOID parameter) {
  HWND box = static_cast<HWND>(parameter);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // joining needs a message queue
  const DWORD ownThread = GetCurrentThreadId(), boxThread = GetWindowThreadProcessId(box, nullptr);
  if (!AttachThreadInput(ownThread, boxThread, TRUE)) return 1;
  SetFocus(box);
  AttachThreadInput(ownThread, boxThread, FALSE);
  return 0;
}

}  // namespace

void ShowChatBox(HWND box) {
  if (!IsWindow(box)) return;
  ShowWindow(box, SW_SHOW);
  HWND top = GetAncestor(box, GA_ROOT);
  if (GetForegroundWindow() != top) {
    // AOL's thread activates its window when it next looks at its messages,
    // and activating puts its own focus back: let that happen first.
    SetForegroundWindow(top);
    SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
  }
  if (GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId()) {
    SetFocus(box);
    return;
  }
  // A thread of its own joins AOL's input, not this one: a click or key the
  // member gives Glimra's windows meanwhile stays queued here, where a join
  // could lose it (Wine drops what was queued for a joined thread once it
  // parts, and what was queued before it joined).
  DWORD helperId = 0;
  HANDLE helper = CreateThread(nullptr, 0, &FocusAsJoinedThread, box, 0, &helperId);
  if (!helper) return;
  // AOL's thread may ask this one something while its focus changes.
  const DWORD deadline = GetTickCount() + 5000;
  for (;;) {
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0) break;
    if (MsgWaitForMultipleObjects(1, &helper, FALSE, deadline - now, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1) break;
    MSG message;
    PeekMessageA(&message, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE);  // answers what was sent
  }
  CloseHandle(helper);
}

std::vector<HWND> WriteMailWindows() {
  const char* caption = IsTrue(ClientState().EditionAustralia) ? "Write e-mail" : "Write Mail";
  std::vector<HWND> windows;
  for (HWND w = FindWindowExA(AOLMDIClient(), nullptr, kChildClass, caption); w;
       w = FindWindowExA(AOLMDIClient(), w, kChildClass, caption))
    windows.push_back(w);
  return windows;
}

HWND IsEMail(HWND window) {
  const bool isMail = FindWindowExA(window, nullptr, "_AOL_Checkbox", nullptr) &&
                      FindWindowExA(window, nullptr, "_AOL_FontCombo", nullptr) &&
                      FindChildByTitle(window, "Send Later");
  return isMail ? window : nullptr;
}

HWND OpenEMail() {
  HWND mail = nullptr;
  RunProcedure({kModule, "OpenEMail"}, [&] {
    HWND toolbar = FindWindowExA(AOLFrame(), nullptr, "AOL Toolbar", nullptr);
    HWND bar = FindWindowExA(toolbar, nullptr, "_AOL_Toolbar", nullptr);
    HWND first = FindWindowExA(bar, nullptr, "_AOL_ICON", nullptr);
    HWND write = GetWindow(first, GW_HWNDNEXT);
    // The window the click opens, not a mail the member was already writing.
    const std::vector<HWND> open = WriteMailWindows();
    SendMessageA(write, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(write, WM_LBUTTONUP, 0, 0);
    PumpUntil(
        [&] {
          mail = nullptr;
          for (HWND window : WriteMailWindows())
            if (std::find(open.begin(), open.end(), window) == open.end()) {
              mail = window;
              break;
            }
          return mail && IsWindowVisible(mail);
        },
        kMailWaitMilliseconds, kLookAgainMilliseconds);
    if (mail && !IsWindowVisible(mail)) mail = nullptr;
  });
  return mail;
}

}  // namespace glimra
