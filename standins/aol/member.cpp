// member SCRIPT: a member at the keyboard of the running client's front chat
// room. Each line of SCRIPT is one step:
//   type TEXT      types TEXT into the room's input box, one character at a time
//   enter          presses Enter in the input box
//   enter-nowait   presses Enter and goes on at once (for a command that opens a window)
//   paste TEXT     puts TEXT into the input box at once, as a paste does
//   sleep MS       waits
//   wait-lines N   waits (up to 20 s) until the transcript holds at least N lines
//   click CAPTION ID   clicks the middle of child ID of the window captioned CAPTION
//   fill CAPTION|ID|TEXT   puts TEXT into child ID of the window captioned CAPTION
//   wait-window CAPTION   waits (up to 30 s) for a visible window captioned CAPTION
//   close-aol      closes the client's main window and waits (up to 30 s) for it to go
//   transcript     prints the room's transcript
//   rect           prints the room's screen rectangle as "x y width height"
//   menu-bar       prints the captions of the client's menu bar, one a line
// and in the mail the member writes:
//   write-mail     clicks the toolbar's Write icon and waits (up to 30 s) for the Write Mail window
//   mail-type TEXT     types TEXT into the mail's body
//   mail-newline       presses Enter in the mail's body
//   mail-select TEXT   highlights the first TEXT in the mail's body
//   select-item CAPTION|ID|TEXT   clicks the entry TEXT of list box ID of the window captioned CAPTION
//   wait-gone CAPTION  waits (up to 60 s) until no visible window is captioned CAPTION
//   mail-report    prints the mail's subject and attachments, and has the client log its body's markup
//   send-mail      clicks the mail's Send Now icon
//   rect-mail      prints the rectangle around the mail window and Glimra's mail toolbar
// Exit status 1 when a step that needs the chat room finds none, or a step fails.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../dwsbc36/dwsbc36.h"

namespace {

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND NextOfClass(HWND after, const char* className) {
  for (HWND next = GetWindow(after, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
    if (ClassOf(next) == className) return next;
  return nullptr;
}

// The front "AOL Child" with a people list, a rich control, a combo box and
// a captionless icon after the combo box. (Wine's FindWindowEx cannot start
// after a child of another class, so the siblings are walked.)
HWND FindChatRoom(HWND mdiClient) {
  for (HWND child = GetWindow(mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (lstrcmpiA(ClassOf(child).c_str(), "AOL Child") != 0) continue;
    HWND combo = FindWindowExA(child, nullptr, "_AOL_COMBOBOX", nullptr);
    HWND icon = combo ? NextOfClass(combo, "_AOL_ICON") : nullptr;
    if (FindWindowExA(child, nullptr, "_AOL_LISTBOX", nullptr) && FindWindowExA(child, nullptr, "RICHCNTL", nullptr) &&
        icon && GetWindowTextLengthA(icon) == 0)
      return child;
  }
  return nullptr;
}

HWND WaitForChatRoom() {
  for (int tries = 0; tries < 400; ++tries, Sleep(50)) {
    HWND frame = FindWindowA("AOL Frame25", nullptr);
    HWND mdi = frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
    if (HWND room = mdi ? FindChatRoom(mdi) : nullptr) return room;
  }
  return nullptr;
}

std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                      &copied);
  text.resize(copied);
  return text;
}

int LineCount(const std::string& text) {
  int lines = 0;
  for (std::size_t at = 0; at < text.size(); ++lines) {
    const std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) break;
    at = text.find_first_not_of("\r\n", end);
    if (at == std::string::npos) {
      ++lines;
      break;
    }
  }
  return lines;
}

// Clicks the middle of `window` with the left button, at the deepest child
// window under that point, as the mouse does.
void ClickMiddle(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  POINT point{r.right / 2, r.bottom / 2};
  HWND target = window;
  for (HWND child; (child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE)) && child != target;) {
    MapWindowPoints(target, child, &point, 1);
    target = child;
  }
  SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  SendMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

// Clicks `window` at `point` of its client area.
void ClickAt(HWND window, POINT point) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

HWND MdiClient() {
  HWND frame = FindWindowA("AOL Frame25", nullptr);
  return frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
}

// The n-th direct child of `className` in z-order.
HWND NthChild(HWND parent, const char* className, int n) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == className && --n == 0) return child;
  return nullptr;
}

HWND WriteMailWindow() {
  HWND mail = FindWindowExA(MdiClient(), nullptr, "AOL Child", "Write Mail");
  return mail ? mail : FindWindowExA(MdiClient(), nullptr, "AOL Child", "Write e-mail");
}

// Where TEXT starts in the body, counted as the control counts: a line break is one character.
int SelectionStart(const std::string& body, std::size_t at) {
  int breaks = 0;
  for (std::size_t i = body.find("\r\n"); i != std::string::npos && i < at; i = body.find("\r\n", i + 2)) ++breaks;
  return static_cast<int>(at) - breaks;
}

// The steps done in the chat room.
bool IsRoomStep(const std::string& step) {
  for (const char* roomStep : {"type", "enter", "enter-nowait", "paste", "wait-lines", "transcript", "rect"})
    if (step == roomStep) return true;
  return false;
}

// Prints the captions of the client's menu bar. Menus are private to their
// process under Wine, so they are read inside the client by the menu helper of
// dwsbc36.ocx (of this program's width, from the system directory).
bool PrintMenuBar() {
  HWND frame = FindWindowA("AOL Frame25", nullptr);
  HMODULE helper = LoadLibraryA("dwsbc36.ocx");
  auto call = reinterpret_cast<decltype(&DwsbcMenuCall)>(
      reinterpret_cast<void*>(helper ? GetProcAddress(helper, "DwsbcMenuCall") : nullptr));
  auto read = reinterpret_cast<decltype(&DwsbcMenuReadItems)>(
      reinterpret_cast<void*>(helper ? GetProcAddress(helper, "DwsbcMenuReadItems") : nullptr));
  DwsbcMenuCallData getMenu{};
  getMenu.op = DWSBC_GETMENU;
  DwsbcMenuResult bar{};
  if (!frame || !call || !read || !call(frame, &getMenu, &bar, 30000)) return false;
  DwsbcMenuItem items[40] = {};
  LONG count = 0;
  if (!read(frame, reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(bar.value)), MF_BYPOSITION, DWSBC_TEXT_SIZE, items,
            40, &count, 30000))
    return false;
  for (LONG j = 0; j < count && j < 40; ++j) std::printf("%s\n", items[j].text);
  return true;
}

HWND WaitForVisibleWindow(const std::string& caption) {
  for (int tries = 0; tries < 600; ++tries, Sleep(50)) {
    HWND window = FindWindowA(nullptr, caption.c_str());
    if (window && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The next line of `file` without its line end; false at the end of the file.
bool ReadLine(std::FILE* file, std::string& line) {
  line.clear();
  int c = std::fgetc(file);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::fgetc(file)) line += static_cast<char>(c);
  return true;
}

// Keys reach the box one after the other, each handled before the next.
void Key(HWND box, char c) {
  SendMessageTimeoutA(box, WM_CHAR, static_cast<unsigned char>(c), 1, SMTO_NORMAL, 30000, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: member SCRIPT\n");
    return 2;
  }
  HWND room = nullptr, transcript = nullptr, box = nullptr;
  std::FILE* script = std::fopen(argv[1], "rb");
  for (std::string line; script && ReadLine(script, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    const std::size_t blank = line.find(' ');
    const std::string step = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (IsRoomStep(step) && !room) {
      if (!(room = WaitForChatRoom())) {
        std::fprintf(stderr, "member: no chat room\n");
        return 1;
      }
      transcript = FindWindowExA(room, nullptr, "RICHCNTL", nullptr);
      box = FindWindowExA(room, transcript, "RICHCNTL", nullptr);
    }
    if (step == "type") {
      for (char c : argument) Key(box, c);
    } else if (step == "enter") {
      Key(box, '\r');
    } else if (step == "enter-nowait") {
      PostMessageA(box, WM_CHAR, '\r', 1);
    } else if (step == "paste") {
      SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argument.c_str()));
    } else if (step == "sleep") {
      Sleep(static_cast<DWORD>(std::atoi(argument.c_str())));
    } else if (step == "wait-lines") {
      const int wanted = std::atoi(argument.c_str());
      for (int tries = 0; tries < 400 && LineCount(TextOf(transcript)) < wanted; ++tries) Sleep(50);
    } else if (step == "click") {
      const std::size_t last = argument.rfind(' ');
      HWND window = FindWindowA(nullptr, argument.substr(0, last).c_str());
      HWND button = window ? GetDlgItem(window, std::atoi(argument.substr(last + 1).c_str())) : nullptr;
      if (!button) {
        std::fprintf(stderr, "member: nothing to click for '%s'\n", argument.c_str());
        return 1;
      }
      ClickMiddle(button);
    } else if (step == "fill") {
      const std::size_t first = argument.find('|'), second = argument.find('|', first + 1);
      HWND window = first == std::string::npos ? nullptr : FindWindowA(nullptr, argument.substr(0, first).c_str());
      HWND field = window && second != std::string::npos
                       ? GetDlgItem(window, std::atoi(argument.substr(first + 1, second - first - 1).c_str()))
                       : nullptr;
      if (!field) {
        std::fprintf(stderr, "member: nothing to fill for '%s'\n", argument.c_str());
        return 1;
      }
      SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argument.c_str() + second + 1));
    } else if (step == "wait-window") {
      if (!WaitForVisibleWindow(argument)) {
        std::fprintf(stderr, "member: no window '%s'\n", argument.c_str());
        return 1;
      }
    } else if (step == "close-aol") {
      HWND frame = FindWindowA("AOL Frame25", nullptr);
      PostMessageA(frame, WM_CLOSE, 0, 0);
      for (int tries = 0; tries < 600 && IsWindow(frame); ++tries) Sleep(50);
    } else if (step == "transcript") {
      std::printf("%s\n", TextOf(transcript).c_str());
    } else if (step == "rect") {
      RECT area;
      GetWindowRect(room, &area);
      std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left, area.bottom - area.top);
    } else if (step == "write-mail") {
      HWND frame = FindWindowA("AOL Frame25", nullptr);
      HWND bar = FindWindowExA(FindWindowExA(frame, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
      ClickMiddle(NthChild(bar, "_AOL_ICON", 2));
      HWND mail = nullptr;
      for (int tries = 0; tries < 600 && !(mail = WriteMailWindow()); ++tries) Sleep(50);
      if (!mail) {
        std::fprintf(stderr, "member: no Write Mail window\n");
        return 1;
      }
    } else if (step == "mail-type") {
      HWND body = FindWindowExA(WriteMailWindow(), nullptr, "RICHCNTL", nullptr);
      for (char c : argument) Key(body, c);
    } else if (step == "mail-newline") {
      // The rich control starts a new paragraph on the key, not on its character.
      HWND body = FindWindowExA(WriteMailWindow(), nullptr, "RICHCNTL", nullptr);
      SendMessageTimeoutA(body, WM_KEYDOWN, VK_RETURN, 0x001C0001, SMTO_NORMAL, 30000, nullptr);
      Key(body, '\r');
      SendMessageTimeoutA(body, WM_KEYUP, VK_RETURN, 0xC01C0001, SMTO_NORMAL, 30000, nullptr);
    } else if (step == "mail-select") {
      HWND body = FindWindowExA(WriteMailWindow(), nullptr, "RICHCNTL", nullptr);
      const std::string text = TextOf(body);
      const std::size_t at = text.find(argument);
      if (at == std::string::npos) {
        std::fprintf(stderr, "member: the mail does not say '%s'\n", argument.c_str());
        return 1;
      }
      const int start = SelectionStart(text, at);
      SendMessageA(body, EM_SETSEL, start, start + static_cast<int>(argument.size()));
    } else if (step == "select-item") {
      const std::size_t first = argument.find('|'), second = argument.find('|', first + 1);
      HWND window = first == std::string::npos ? nullptr : FindWindowA(nullptr, argument.substr(0, first).c_str());
      HWND list = window && second != std::string::npos
                      ? GetDlgItem(window, std::atoi(argument.substr(first + 1, second - first - 1).c_str()))
                      : nullptr;
      const LRESULT index = list ? SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(argument.c_str() + second + 1))
                                 : LB_ERR;
      if (index == LB_ERR) {
        std::fprintf(stderr, "member: nothing to select for '%s'\n", argument.c_str());
        return 1;
      }
      const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
      const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
      ClickAt(list, {10, (static_cast<int>(index) - top) * height + height / 2});
    } else if (step == "wait-gone") {
      for (int tries = 0; tries < 1200; ++tries, Sleep(50)) {
        HWND window = FindWindowA(nullptr, argument.c_str());
        if (!window || !IsWindowVisible(window)) break;
      }
    } else if (step == "mail-report") {
      HWND mail = WriteMailWindow();
      std::printf("Subject: %s\n", TextOf(NthChild(mail, "_AOL_EDIT", 3)).c_str());
      std::string attached;
      for (HWND child = GetWindow(mail, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "_AOL_STATIC" && TextOf(child).rfind("Attached: ", 0) == 0)
          attached = TextOf(child).substr(10);
      std::printf("Attachments: %s\n", attached.empty() ? "(none)" : attached.c_str());
      SendMessageA(FindWindowExA(mail, nullptr, "RICHCNTL", nullptr), RegisterWindowMessageA("WaolLogMarkup"), 0, 0);
    } else if (step == "send-mail") {
      HWND mail = WriteMailWindow();
      ClickMiddle(FindWindowExA(mail, nullptr, "_AOL_ICON", "Send Now"));
      for (int tries = 0; tries < 200 && IsWindow(mail); ++tries) Sleep(50);
    } else if (step == "rect-mail") {
      RECT area{}, toolbar{};
      GetWindowRect(WriteMailWindow(), &area);
      HWND fader = FindWindowA("GlimraForm", "Glimra E-Fade");
      if (fader && IsWindowVisible(fader) && GetWindowRect(fader, &toolbar)) UnionRect(&area, &area, &toolbar);
      std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left, area.bottom - area.top);
    } else if (step == "menu-bar") {
      if (!PrintMenuBar()) {
        std::fprintf(stderr, "member: the client's menu bar could not be read\n");
        return 1;
      }
    } else if (!step.empty()) {
      std::fprintf(stderr, "member: unknown step '%s'\n", step.c_str());
      return 1;
    }
    std::fflush(stdout);
  }
  if (script) std::fclose(script);
  return 0;
}
