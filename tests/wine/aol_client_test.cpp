// The stand-in AOL client, driven only through Win32 from outside as Glimra
// drives the real one: window search, WM_SETTEXT / WM_CHAR / WM_COMMAND,
// clicks, the clipboard, ReadProcessMemory, relay32.dll and "-s" keywords.
// Each test runs the client from a folder of its own with its own waol.ini.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "WineTestSupport.h"

namespace {

using wine_test::WaitUntilFound;
using Fields = std::vector<std::string>;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Text(HWND window) { return wine_test::WindowText(window); }

// The index-th direct child of `className` (1-based), in z-order.
HWND Child(HWND parent, const char* className, int index = 1) {
  HWND child = nullptr;
  for (int i = 0; i < index; ++i) {
    child = FindWindowExA(parent, child, className, nullptr);
    if (!child) return nullptr;
  }
  return child;
}

std::vector<std::string> ChildClasses(HWND parent) {
  std::vector<std::string> classes;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    classes.push_back(ClassOf(child));
  return classes;
}

void Click(HWND window) {
  SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
}

// The first sibling after `after` of class `className`. (Wine's FindWindowEx
// finds nothing when the preceding child is of another class.)
HWND NextOfClass(HWND after, const char* className) {
  for (HWND next = GetWindow(after, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
    if (ClassOf(next) == className) return next;
  return nullptr;
}

// The chat room test of the client bridge: the first "AOL Child" holding a
// people list, a rich control, a combo box and a captionless icon after it.
HWND FindChatRoom(HWND mdi) {
  for (HWND child = GetWindow(mdi, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "AOL Child") continue;
    HWND combo = Child(child, "_AOL_COMBOBOX");
    HWND icon = combo ? NextOfClass(combo, "_AOL_ICON") : nullptr;
    if (Child(child, "_AOL_LISTBOX") && Child(child, "RICHCNTL") && icon && Text(icon).empty()) return child;
  }
  return nullptr;
}

class AOLClient : public wine_test::AolClientFixture {};

// Counts the pixels of `window`'s screen area that have exactly `colour`.
int PixelsOfColour(HWND window, COLORREF colour) {
  RECT area;
  GetWindowRect(window, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  int count = 0;
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const std::uint32_t wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int i = 0; i < width * height; ++i) count += (pixels[i] & 0xFFFFFF) == wanted;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return count;
}

TEST_F(AOLClient, LineSentInTheRoomReachesTranscriptAndLog) {
  Start("ChatRoom=Lobby 12\r\nScreenNames=Zolster\r\n");
  HWND room = WaitUntilFound([&] { return FindChatRoom(mdi_); });
  ASSERT_TRUE(room);
  EXPECT_EQ(Text(room), "Lobby 12");
  HWND transcript = Child(room, "RICHCNTL", 1), box = Child(room, "RICHCNTL", 2);
  ASSERT_TRUE(box);
  EXPECT_EQ(PixelsOfColour(transcript, RGB(255, 0, 0)), 0);

  const std::string line = "<FONT COLOR=#FF0000><B>WWWW</B><FONT COLOR=#0000ff>hi <i>there</i>";
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(box, WM_CHAR, 13, 0);
  EXPECT_EQ(Text(box), "");
  EXPECT_NE(Text(transcript).find("Zolster:\tWWWWhi there"), std::string::npos) << Text(transcript);
  auto chats = Events("chat");
  ASSERT_EQ(chats.size(), 1u);
  EXPECT_EQ(chats[0], (Fields{"chat", "Lobby 12", line}));
  EXPECT_TRUE(WaitUntilFound([&] { return PixelsOfColour(transcript, RGB(255, 0, 0)) > 20; }))
      << "the red letters are drawn in red";

  // An empty or blank box sends nothing; the Send icon sends like Enter.
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("   "));
  SendMessageA(box, WM_CHAR, 13, 0);
  EXPECT_EQ(Events("chat").size(), 1u);
  HWND send = GetWindow(box, GW_HWNDNEXT);
  EXPECT_EQ(ClassOf(send), "_AOL_ICON");
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("by icon"));
  Click(send);
  ASSERT_EQ(Events("chat").size(), 2u);
  EXPECT_EQ(Events("chat")[1][2], "by icon");

  // Odd markup is shown as text or dropped, never fatal.
  for (const char* odd : {"<", "<FONT COLOR=>x", "a < b > c", "<FONT", "</FONT></FONT></B>y", "&lt;&amp;&", "<<<>>>",
                          "<A HREF=>z</A>", "<FONT COLOR=#GGGGGG>q<sup><sub>w"}) {
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(odd));
    SendMessageA(box, WM_CHAR, 13, 0);
  }
  EXPECT_EQ(Events("chat").size(), 11u);
  const std::string shown = Text(transcript);
  EXPECT_NE(shown.find("a < b > c"), std::string::npos) << shown;
  EXPECT_NE(shown.find("<&&"), std::string::npos) << shown;
  EXPECT_TRUE(IsWindow(frame_));
}

TEST_F(AOLClient, ChatRoomsHaveAOLsChildOrderAndTheFrontRoomComesFirst) {
  Start("ChatRoom=Back Room|Front Room\r\nEdition=UK\r\n");
  HWND front = Document("Front Room");
  ASSERT_TRUE(front);
  HWND room = WaitUntilFound([&] { return FindChatRoom(mdi_) == front ? front : nullptr; });
  ASSERT_TRUE(room);
  EXPECT_EQ(Text(room), "Front Room");
  const auto classes = ChildClasses(room);
  const std::vector<std::string> expected{"RICHCNTL",  "_AOL_LISTBOX", "_AOL_COMBOBOX", "RICHCNTL", "_AOL_STATIC",
                                          "_AOL_ICON", "_AOL_ICON",    "_AOL_ICON",     "_AOL_ICON"};
  EXPECT_EQ(classes, expected);
  // UK: the Send icon is the second window after the input box.
  HWND box = Child(room, "RICHCNTL", 2);
  HWND send = GetWindow(GetWindow(box, GW_HWNDNEXT), GW_HWNDNEXT);
  EXPECT_EQ(ClassOf(send), "_AOL_ICON");
  EXPECT_EQ(Text(send), "");
  SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("to the front"));
  Click(send);
  ASSERT_EQ(Events("chat").size(), 1u);
  EXPECT_EQ(Events("chat")[0][1], "Front Room");

  // Bringing the other room forward makes it the one found.
  HWND back = FindWindowExA(mdi_, nullptr, "AOL Child", "Back Room");
  SendMessageA(mdi_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(back), 0);
  EXPECT_EQ(FindChatRoom(mdi_), back);
  // The Welcome and mail windows are no chat rooms.
  HWND welcome = FindWindowExA(mdi_, nullptr, "AOL Child", "Welcome, Tester!");
  ASSERT_TRUE(welcome);
  SendMessageA(mdi_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(welcome), 0);
  EXPECT_EQ(FindChatRoom(mdi_), back);
}

// Reads the names the way the client bridge does: item data, 4 bytes at +24,
// 16 bytes at +6 of what they point to.
std::vector<std::string> ReadSignOnNames(HWND combo, int& selected) {
  std::vector<std::string> names;
  DWORD pid = 0;
  GetWindowThreadProcessId(combo, &pid);
  HANDLE process = OpenProcess(0xF0010, FALSE, pid);
  if (!process) return names;
  const LRESULT count = SendMessageA(combo, 0x146, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const std::uint64_t data = static_cast<std::uint64_t>(SendMessageA(combo, 0x150, i, 0));
    std::uint32_t pointer = 0;
    char name[17] = {};
    SIZE_T done = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(data + 24), &pointer, 4, &done) ||
        !ReadProcessMemory(process, reinterpret_cast<void*>(std::uint64_t{pointer} + 6), name, 16, &done))
      names.push_back("<unreadable>");
    else
      names.push_back(name);
  }
  CloseHandle(process);
  selected = static_cast<int>(SendMessageA(combo, 0x147, 0, 0));
  return names;
}

TEST_F(AOLClient, SignOnRecordsReadWithFourBytePointers) {
  Start("SignedOn=0\r\nScreenNames=Alpha,Beta Two,Guest\r\nCurrent=Beta Two\r\n");
  HWND signOn = Document("Sign On");
  ASSERT_TRUE(signOn);
  HWND combo = WaitUntilFound([&] { return Child(signOn, "_AOL_COMBOBOX"); });
  ASSERT_TRUE(combo);
  EXPECT_LT(static_cast<std::uint64_t>(SendMessageA(combo, 0x150, 0, 0)), 0x100000000ull);
  int selected = -1;
  EXPECT_EQ(ReadSignOnNames(combo, selected), (std::vector<std::string>{"Alpha", "Beta Two", "Guest"}));
  EXPECT_EQ(selected, 1);
  EXPECT_FALSE(FindWindowExA(mdi_, nullptr, "AOL Child", "Welcome, Beta Two!"));

  // Signing on with the Sign On icon opens the Welcome window.
  Click(FindWindowExA(signOn, nullptr, "_AOL_ICON", "Sign On"));
  EXPECT_TRUE(Document("Welcome, Beta Two!"));
  EXPECT_EQ(Events("signon").size(), 1u);
}

TEST_F(AOLClient, SignOffWindowCarriesTheEditionsCaptionAndVersion3SaysWelcome) {
  Start("SignedOn=0\r\nGoodbye=1\r\nEdition=Canada\r\nScreenNames=New User\r\n");
  HWND goodbye = Document("Goodbye From AOL Canada!");
  ASSERT_TRUE(goodbye);
  int selected = -1;
  EXPECT_EQ(ReadSignOnNames(Child(goodbye, "_AOL_COMBOBOX"), selected), (std::vector<std::string>{"New User"}));
  TearDown();
  Start("SignedOn=0\r\nVersion=3\r\n");
  EXPECT_TRUE(Document("Welcome"));
}

using VersionFunction = int(__stdcall*)(const char*, char*);
using OnlineFunction = int(__stdcall*)();
using NamesFunction = int(__stdcall*)(const char*, char*, char*, char*, char*, char*, char*);

TEST_F(AOLClient, Relay32AnswersPerConfiguration) {
  HMODULE relay = LoadLibraryA("relay32.dll");
  ASSERT_TRUE(relay);
  auto version = reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(GetProcAddress(relay, "AOLGetVersion")));
  auto online = reinterpret_cast<OnlineFunction>(reinterpret_cast<void*>(GetProcAddress(relay, "AOLIsOnline")));
  auto names = reinterpret_cast<NamesFunction>(reinterpret_cast<void*>(GetProcAddress(relay, "AOLGetScreenName")));
  ASSERT_TRUE(version && online && names);

  Start("Version=5\r\nMinor=0\r\nScreenNames=One,Two,Guest,Three\r\nCurrent=Two\r\nOnlineAnswer=2\r\n");
  char buffer[4] = {'x', 'x', 'x', '!'};
  // The folder only in the form each call takes, and only where AOL is.
  for (const std::string& wrong : {folder_ + "\\", folder_ + "\\download", std::string()}) {
    EXPECT_EQ(version(wrong.c_str(), buffer), 0) << wrong;
    EXPECT_EQ(std::string(buffer, 4), "xxx!") << wrong;
  }
  std::vector<std::string> untouched(6, std::string(175, ' '));
  for (const std::string& wrong : {folder_, folder_ + "\\\\", folder_ + "\\download\\"}) {
    names(wrong.c_str(), untouched[0].data(), untouched[1].data(), untouched[2].data(), untouched[3].data(),
          untouched[4].data(), untouched[5].data());
    for (const std::string& b : untouched) EXPECT_EQ(b, std::string(175, ' ')) << wrong;
  }
  version(folder_.c_str(), buffer);
  EXPECT_EQ(std::string(buffer, 4), "5.0!") << "exactly three characters are written";
  EXPECT_EQ(online(), 2) << "any answer but 1 means signed on";
  std::vector<std::string> buffers(6, std::string(175, ' '));
  names((folder_ + "\\").c_str(), buffers[0].data(), buffers[1].data(), buffers[2].data(), buffers[3].data(),
        buffers[4].data(), buffers[5].data());
  std::vector<std::string> read;
  for (const std::string& b : buffers) read.push_back(b.substr(0, b.find('\0')).substr(0, b.find_last_not_of(' ') + 1));
  EXPECT_EQ(read, (std::vector<std::string>{"One", "Two", "Three", "", "", "Two"}));
  TearDown();

  Start("Version=4\r\nMinor=1\r\nSignedOn=0\r\n");
  version(folder_.c_str(), buffer);
  EXPECT_EQ(std::string(buffer, 3), "4.1");
  EXPECT_EQ(online(), 1);
  TearDown();
  EXPECT_EQ(online(), 1) << "no client running";
  FreeLibrary(relay);
}

void PutAolMail(const std::string& text) {
  HGLOBAL block = GlobalAlloc(0x42, text.size() + 1);
  memcpy(GlobalLock(block), text.c_str(), text.size());
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(RegisterClipboardFormatA("AOLMAIL"), block);
  CloseClipboard();
}

std::string ClipboardPlainText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

TEST_F(AOLClient, MailBodyPastesAOLMAILAndTheMailCarriesItsAttachment) {
  Start("Version=4\r\n");
  HWND bar = Child(Child(frame_, "AOL Toolbar"), "_AOL_Toolbar");
  ASSERT_TRUE(bar);
  Click(GetWindow(Child(bar, "_AOL_ICON"), GW_HWNDNEXT));
  HWND mail = Document("Write Mail");
  ASSERT_TRUE(mail);
  ASSERT_TRUE(Child(mail, "_AOL_Checkbox") && Child(mail, "_AOL_FontCombo"));
  EXPECT_EQ(Text(Child(mail, "_AOL_ICON", 13)), "Attachments");
  EXPECT_EQ(Text(Child(mail, "_AOL_ICON", 14)), "Send Later");
  HWND body = Child(mail, "RICHCNTL");

  const std::string markup = "<FONT COLOR=#FF0000>Fa<FONT COLOR=#00FF00>ded</FONT> <B>mail</B>";
  PutAolMail(markup);
  SendMessageA(body, WM_COMMAND, 20003, 0);
  EXPECT_EQ(Text(body), "Faded mail");
  ASSERT_EQ(Events("mailpaste").size(), 1u);
  EXPECT_EQ(Events("mailpaste")[0][2], markup);

  // Copy gives the selection as plain text; undo takes back the last command.
  SendMessageA(body, EM_SETSEL, 0, 5);
  SendMessageA(body, WM_COMMAND, 20002, 0);
  EXPECT_EQ(ClipboardPlainText(), "Faded");
  SendMessageA(body, WM_COMMAND, 20005, 0);
  SendMessageA(body, WM_COMMAND, 20004, 0);
  EXPECT_EQ(Text(body), "");
  SendMessageA(body, WM_COMMAND, 20000, 0);
  EXPECT_EQ(Text(body), "Faded mail");

  // Attachments window, the system's file dialog as Attach file window, subject, Send Now.
  const std::string scheme = folder_ + "\\Sunset.fde";
  std::ofstream(scheme) << "[Options]\r\n";
  Click(Child(mail, "_AOL_ICON", 13));
  HWND attachments = wine_test::WaitForWindow("_AOL_MODAL", "Attachments");
  ASSERT_TRUE(attachments);
  Click(Child(attachments, "_AOL_ICON"));
  HWND file = wine_test::WaitForWindow("#32770", "Attach");
  ASSERT_TRUE(file);
  HWND edit = Child(file, "Edit");
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(scheme.c_str()));
  HWND open = FindWindowExA(file, nullptr, nullptr, "&Open");
  ASSERT_TRUE(open);
  Click(open);
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindowVisible(file); }));
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("attachdialog").empty(); }));
  EXPECT_EQ(Events("attachdialog")[0][1], "Attach");
  Click(Child(attachments, "_AOL_ICON", 3));
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(attachments); }));
  SendMessageA(Child(mail, "_AOL_EDIT", 3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("A scheme"));
  Click(FindWindowExA(mail, nullptr, "_AOL_ICON", "Send Now"));
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(mail); }));
  const auto mails = Events("mail");
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0][1], "sent");
  EXPECT_EQ(mails[0][4], "A scheme");
  EXPECT_NE(mails[0][5].find("<FONT COLOR=#FF0000>Fa<FONT COLOR=#00FF00>ded"), std::string::npos) << mails[0][5];
  EXPECT_NE(mails[0][5].find("<B>mail"), std::string::npos) << mails[0][5];
  std::string logged;  // the log doubles each backslash
  for (char c : scheme) logged += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(mails[0][6], logged);
}

TEST_F(AOLClient, AustralianEditionNamesItsMailWindowsAndIcons) {
  Start("Version=5\r\nEdition=Australia\r\n");
  HWND bar = Child(Child(frame_, "AOL Toolbar"), "_AOL_Toolbar");
  EXPECT_EQ(Text(Child(bar, "_AOL_ICON", 3)), "e-mail centre");
  Click(Child(bar, "_AOL_ICON", 2));
  HWND mail = Document("Write e-mail");
  ASSERT_TRUE(mail);
  EXPECT_EQ(Text(Child(mail, "_AOL_ICON", 14)), "Attachments") << "one more icon in version 5";
}

TEST_F(AOLClient, KeywordsReachTheRunningClient) {
  Start("Version=5\r\n");
  const HWND welcome = Document("Welcome, Tester!");
  ASSERT_TRUE(welcome);
  SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(welcome), 0);
  for (const char* word : {"-swelcome", "\"-schat:Town Square\"", "-sreply", "-smbprefs"}) {
    HANDLE second = Run(folder_ + "\\waol.exe", word);
    ASSERT_TRUE(second);
    EXPECT_EQ(WaitForSingleObject(second, wine_test::kPatienceMs), WAIT_OBJECT_0)
        << "the second copy hands over and ends";
    CloseHandle(second);
  }
  EXPECT_TRUE(Document("Welcome, Tester!"));
  EXPECT_TRUE(Document("Town Square"));
  HWND reply = Document("Re: Hello");
  EXPECT_TRUE(reply && Child(reply, "_AOL_EDIT"));
  EXPECT_TRUE(Document("Global Message Board Preferences"));
  const auto keywords = Events("keyword");
  ASSERT_EQ(keywords.size(), 4u);
  EXPECT_EQ(keywords[0][1], "welcome");
  EXPECT_EQ(keywords[1][1], "chat:Town Square");
  EXPECT_EQ(WaitUntilFound([] { return FindWindowA("AOL Frame25", nullptr); }), frame_) << "still one client";
}

TEST_F(AOLClient, MenuBarIsBuiltGraduallyAndCommand8207EndsTheClient) {
  // A popup a second: the bar is still unfinished when the test first looks, however slow the machine.
  Start("Version=5\r\nEdition=UK\r\nMenuCount=8\r\nMenuDelay=1000\r\n");
  EXPECT_TRUE(Events("menubar").empty()) << "the menu bar is still being built";
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("menubar").empty(); }));
  const Fields menubar = Events("menubar")[0];
  EXPECT_EQ(menubar[1], "&File|&Edit|&Print|&Mail|P&eople|&Window|&Sign Off|&Help");
  EXPECT_EQ(menubar[2], "&About AOL");
  SendMessageA(frame_, WM_COMMAND, 60000, 0);
  ASSERT_EQ(Events("menu").size(), 1u);
  EXPECT_EQ(Events("menu")[0][1], "60000");
  PostMessageA(frame_, WM_COMMAND, 8207, 0);
  EXPECT_EQ(WaitForSingleObject(process_, wine_test::kPatienceMs), WAIT_OBJECT_0);
  EXPECT_FALSE(IsWindow(frame_));
  EXPECT_EQ(Events("close").size(), 1u);
}

TEST_F(AOLClient, SixteenBitCaseRunsUnderAnotherModuleName) {
  Start("ModuleName=AOL16.EXE\r\n");
  DWORD pid = 0;
  GetWindowThreadProcessId(frame_, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  ASSERT_TRUE(process);
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  ASSERT_TRUE(QueryFullProcessImageNameA(process, 0, path, &size));
  CloseHandle(process);
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(upper.find("WAOL.EXE"), std::string::npos) << path;
  EXPECT_NE(upper.find("AOL16.EXE"), std::string::npos) << path;
}

}  // namespace
