// chatsay FILE: puts the first line of FILE into the input box of the front
// chat room of the running client and sends it with the Enter character, as
// Glimra does; prints the room's screen rectangle as "x y width height".
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The front "AOL Child" with a people list, a rich control, a combo box and
// a captionless icon after the combo box.
HWND FindChatRoom(HWND mdiClient) {
  for (HWND child = GetWindow(mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (lstrcmpiA(ClassOf(child).c_str(), "AOL Child") != 0) continue;
    HWND combo = FindWindowExA(child, nullptr, "_AOL_COMBOBOX", nullptr);
    HWND icon = nullptr;  // Wine's FindWindowEx cannot start after a child of another class
    for (HWND next = combo ? GetWindow(combo, GW_HWNDNEXT) : nullptr; next && !icon;
         next = GetWindow(next, GW_HWNDNEXT))
      if (ClassOf(next) == "_AOL_ICON") icon = next;
    if (FindWindowExA(child, nullptr, "_AOL_LISTBOX", nullptr) && FindWindowExA(child, nullptr, "RICHCNTL", nullptr) &&
        icon && GetWindowTextLengthA(icon) == 0)
      return child;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: chatsay FILE\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::string line;
  std::getline(file, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();

  HWND room = nullptr;
  for (int tries = 0; tries < 200 && !room; ++tries, Sleep(50)) {
    HWND frame = FindWindowA("AOL Frame25", nullptr);
    HWND mdi = frame ? FindWindowExA(frame, nullptr, "MDIClient", nullptr) : nullptr;
    room = mdi ? FindChatRoom(mdi) : nullptr;
  }
  if (!room) {
    std::fprintf(stderr, "chatsay: no chat room\n");
    return 1;
  }
  HWND box = FindWindowExA(room, FindWindowExA(room, nullptr, "RICHCNTL", nullptr), "RICHCNTL", nullptr);
  if (!box) return 1;
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(box, WM_CHAR, 13, 0);
  RECT area;
  GetWindowRect(room, &area);
  std::printf("%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left, area.bottom - area.top);
  return 0;
}
