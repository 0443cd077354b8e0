#include "Frame.h"

#include <vector>

#include "ChatRoom.h"
#include "Client.h"
#include "Controls.h"
#include "EventLog.h"
#include "MailWindow.h"
#include "SignOn.h"

namespace waol {

namespace {

constexpr UINT_PTR kMenuTimer = 1;
constexpr UINT_PTR kMailTimer = 2;
constexpr int kToolbarHeight = 52;
constexpr int kFirstToolbarIcon = 9001;
constexpr UINT kFirstMdiChild = 0xFF00;
UINT g_onlineQuery;
size_t g_popupsAdded = 0;

struct Popup {
  const char* caption;
  std::vector<std::pair<const char*, WORD>> items;  // a null caption is a separator
};

const char* AboutCaption() {
  switch (TheClient().config.edition) {
    case Edition::UK:
    case Edition::Australia: return "&About AOL";
    case Edition::Canada: return "&About AOL Canada";
    default: return "&About America Online";
  }
}

// The client's pop-ups in menu bar order; MenuCount picks how many.
std::vector<Popup> MenuPlan() {
  std::vector<Popup> plan{
      {"&File",
       {{"&New", kMenuNew}, {"&Open...", kMenuOpen}, {"&Save", kMenuSave}, {nullptr, 0}, {"E&xit", kMenuExit}}},
      {"&Edit",
       {{"&Undo", 20000}, {nullptr, 0}, {"Cu&t", 20001}, {"&Copy", 20002}, {"&Paste", 20003}, {"Select &All", 20005}}},
      {"&Print", {{"&Print...", 8600}, {"Print Set&up...", 8601}}},
      {"&Mail", {{"&Write Mail", 8700}, {"&Read Mail", 8701}}},
      {"P&eople", {{"&Chat Now", 8800}, {"&Buddy List", 8801}}},
      {"&Window", {{"&Cascade", kMenuCascade}, {"&Tile", kMenuTile}}},
      {"&Sign Off", {}},
      {"&Help", {{AboutCaption(), kMenuAbout}, {"&Offline Help", kMenuOfflineHelp}}},
  };
  const size_t extras = static_cast<size_t>(TheClient().config.menuCount) - 5;
  plan.erase(plan.begin() + 2 + static_cast<long>(extras), plan.begin() + 5);
  return plan;
}

void FillSignOffMenu(HMENU popup) {
  while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
  const Client& client = TheClient();
  AppendMenuA(popup, client.signedOn ? MF_STRING : MF_STRING | MF_GRAYED, kMenuSignOff, "Sign &Off");
  if (client.signedOn && client.config.version >= 5)
    AppendMenuA(popup, MF_STRING, kMenuSwitchName, "Switch Scree&n Name");
}

// Adds the next pop-up to the menu bar; true while more are to come.
bool AddNextPopup(HWND frame) {
  const auto plan = MenuPlan();
  if (g_popupsAdded >= plan.size()) return false;
  const Popup& popup = plan[g_popupsAdded++];
  HMENU menu = CreatePopupMenu();
  for (const auto& [caption, id] : popup.items) {
    if (caption)
      AppendMenuA(menu, MF_STRING, id, caption);
    else
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  }
  if (std::string(popup.caption) == "&Sign Off") FillSignOffMenu(menu);
  AppendMenuA(GetMenu(frame), MF_POPUP, reinterpret_cast<UINT_PTR>(menu), popup.caption);
  DrawMenuBar(frame);
  if (g_popupsAdded < plan.size()) return true;
  std::string captions;
  for (const Popup& added : plan) captions += (captions.empty() ? "" : "|") + std::string(added.caption);
  LogEvent({"menubar", captions, AboutCaption()});
  return false;
}

void CreateToolbar(HWND frame) {
  Client& client = TheClient();
  client.toolbar = CreateWindowExA(0, "AOL Toolbar", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10,
                                   kToolbarHeight, frame, nullptr, client.instance, nullptr);
  HWND bar = CreateWindowExA(0, "_AOL_Toolbar", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, kToolbarHeight,
                             client.toolbar, nullptr, client.instance, nullptr);
  const char* mailCentre = client.config.edition == Edition::Australia ? "e-mail centre" : "Mail Center";
  const char* icons[] = {"Read",      "Write",    mailCentre, "Print",  "My Files", "My AOL",
                         "Favorites", "Internet", "Channels", "People", "Quotes",   "Perks"};
  int x = 4;
  for (int i = 0; i < static_cast<int>(std::size(icons)); ++i, x += 74)
    MoveWindow(CreateIcon(bar, kFirstToolbarIcon + i, icons[i]), x, 6, 70, kToolbarHeight - 12, FALSE);
}

void Layout(HWND frame) {
  RECT area;
  GetClientRect(frame, &area);
  MoveWindow(TheClient().toolbar, 0, 0, area.right, kToolbarHeight, TRUE);
  if (HWND bar = GetWindow(TheClient().toolbar, GW_CHILD)) MoveWindow(bar, 0, 0, area.right, kToolbarHeight, TRUE);
  MoveWindow(TheClient().mdiClient, 0, kToolbarHeight, area.right, std::max(0L, area.bottom - kToolbarHeight), TRUE);
}

// The rich control the member works in, for the Edit menu.
void ForwardEditCommand(WORD id) {
  HWND focus = GetFocus();
  char className[32] = {};
  if (focus) GetClassNameA(focus, className, sizeof className);
  if (lstrcmpiA(className, "RICHCNTL") == 0) SendMessageA(focus, WM_COMMAND, id, 0);
}

void MenuCommand(HWND frame, WORD id) {
  LogEvent({"menu", std::to_string(id)});
  switch (id) {
    case kMenuExit: PostMessageA(frame, WM_CLOSE, 0, 0); break;
    case kMenuCascade: SendMessageA(TheClient().mdiClient, WM_MDICASCADE, 0, 0); break;
    case kMenuTile: SendMessageA(TheClient().mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0); break;
    case kMenuSignOff:
    case kMenuSwitchName: SignOff(); break;
    case 8700: OpenMail(WriteMailCaption()); break;
    default:
      if (id >= 20000 && id <= 20005) ForwardEditCommand(id);
  }
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  Client& client = TheClient();
  // What relay32.dll's AOLIsOnline answers: 1 signed off, the configured answer signed on.
  if (message == g_onlineQuery && g_onlineQuery) return client.signedOn ? client.config.onlineAnswer : 1;
  switch (message) {
    case WM_CREATE: {
      client.frame = frame;
      SetMenu(frame, CreateMenu());
      CLIENTCREATESTRUCT mdi{nullptr, kFirstMdiChild};
      client.mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", nullptr,
                                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 10,
                                         10, frame, nullptr, client.instance, &mdi);
      CreateToolbar(frame);
      if (client.config.menuDelayMs == 0) {
        while (AddNextPopup(frame)) {
        }
      } else {
        SetTimer(frame, kMenuTimer, static_cast<UINT>(client.config.menuDelayMs), nullptr);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kMenuTimer && !AddNextPopup(frame)) KillTimer(frame, kMenuTimer);
      if (wParam == kMailTimer) {
        KillTimer(frame, kMailTimer);
        OpenMail(WriteMailCaption());
      }
      return 0;
    case WM_SIZE: Layout(frame); return 0;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == 0 && LOWORD(wParam) < kFirstMdiChild) {
        MenuCommand(frame, LOWORD(wParam));
        return 0;
      }
      if (LOWORD(wParam) == kFirstToolbarIcon + 1 && HIWORD(wParam) == kIconClicked) {
        // A slow client shows the mail window only after MailDelay.
        if (client.config.mailDelayMs > 0)
          SetTimer(frame, kMailTimer, static_cast<UINT>(client.config.mailDelayMs), nullptr);
        else
          OpenMail(WriteMailCaption());
        return 0;
      }
      break;
    case WM_COPYDATA: {
      auto data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data->dwData != kKeywordCopyData || !data->lpData) return FALSE;
      RunKeyword(std::string(static_cast<const char*>(data->lpData),
                             strnlen(static_cast<const char*>(data->lpData), data->cbData)));
      return TRUE;
    }
    case WM_CLOSE:
      LogEvent({"close"});
      DestroyWindow(frame);
      return 0;
    case WM_DESTROY:
      WithdrawState();
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcA(frame, client.mdiClient, message, wParam, lParam);
}

}  // namespace

bool RegisterFrameClass(HINSTANCE instance) {
  g_onlineQuery = RegisterWindowMessageA(kOnlineQueryMessage);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &FrameProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
  windowClass.lpszClassName = "AOL Frame25";
  return RegisterClassExA(&windowClass) != 0;
}

HWND CreateFrame(int show) {
  HWND frame = CreateWindowExA(0, "AOL Frame25", "America Online", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000,
                               740, nullptr, nullptr, TheClient().instance, nullptr);
  if (!frame) return nullptr;
  ShowWindow(frame, show);
  UpdateWindow(frame);
  return frame;
}

void RunKeyword(const std::string& word) {
  LogEvent({"keyword", word});
  const std::string lower = Lower(Trim(word));
  const auto colon = lower.find(':');
  const std::string head = colon == std::string::npos ? lower : lower.substr(0, colon);
  const std::string rest = colon == std::string::npos ? "" : Trim(Trim(word).substr(colon + 1));
  if (lower == "welcome") {
    if (TheClient().signedOn) OpenWelcomeWindow();
  } else if ((head == "chat" || head == "room") && !rest.empty()) {
    OpenChatRoom(rest);
  } else if (lower == "write" || lower == "writemail") {
    OpenMail(WriteMailCaption());
  } else if (lower == "reply") {
    OpenMail("Re: Hello");
  } else if (lower == "forward") {
    OpenMail("Fwd: Hello");
  } else if (lower == "mbprefs") {
    OpenBoardPreferences();
  } else if (lower == "signoff") {
    SignOff();
  } else if (lower == "signon" && !TheClient().signedOn) {
    SignOn(TheClient().config.current);
  }
}

void UpdateSignOffMenu() {
  HMENU bar = GetMenu(TheClient().frame);
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    char caption[64] = {};
    GetMenuStringA(bar, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION);
    if (std::string(caption) == "&Sign Off") FillSignOffMenu(GetSubMenu(bar, i));
  }
}

void PublishState() {
  const Client& client = TheClient();
  const std::string path = client.config.folder + "\\waol.state";
  const auto write = [&](const char* key, const std::string& value) {
    WritePrivateProfileStringA("State", key, value.c_str(), path.c_str());
  };
  write("Version", std::to_string(client.config.version));
  write("Minor", std::to_string(client.config.minor));
  write("Edition", EditionName(client.config.edition));
  write("Online", client.signedOn ? "1" : "0");
  int stored = 0;
  for (const std::string& name : client.config.screenNames)
    if (Lower(name) != "guest" && stored < 5) write(("Name" + std::to_string(++stored)).c_str(), name);
  while (stored < 5) write(("Name" + std::to_string(++stored)).c_str(), "");
  write("Current", client.config.CurrentName());
}

void WithdrawState() { DeleteFileA((TheClient().config.folder + "\\waol.state").c_str()); }

}  // namespace waol
