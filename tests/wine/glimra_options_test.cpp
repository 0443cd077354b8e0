// glimra.exe beside the stand-in client, its options dialog and user colours
// dialog driven with the member's own mouse and keyboard: what opening the
// dialog leaves alone, what each control stores and greys out, what the
// next overflow and the next typed line do afterwards, and how a new look
// rebuilds the chat tools window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "GlimraProcessFixture.h"
#include "MemberInput.h"
#include "WineTestSupport.h"
#include "engine/modFade.h"
#include "settings/AppOptions.h"
#include "settings/frmoptions.h"
#include "settings/modRegKeys.h"
#include "ui/frmSetColors.h"

namespace {

using glimra::frmoptions;
using glimra::frmSetColors;
using glimra::ReadSetting;
using glimra::WriteSetting;
using wine_test::ClickOn;
using wine_test::WaitUntil;
using wine_test::WaitUntilFound;
using wine_test::WindowText;
using Settings = std::map<std::string, std::string>;

constexpr UINT kChatToolsSave = 151, kChatToolsExit = 162;
constexpr UINT kMultilineText = 101, kMultilineSend = 105;
constexpr UINT kChooserRed = 706, kChooserGreen = 707, kChooserBlue = 708;

// What a member reads of a line sent as markup: its text without the tags.
std::string Unmarked(const std::string& markup) {
  std::string text;
  bool inTag = false;
  for (char c : markup) {
    if (c == '<' || c == '>')
      inTag = c == '<';
    else if (!inTag)
      text += c;
  }
  return text;
}

// Every value below "Software\Zol Software\Glimra", by key path and name.
void ReadTree(HKEY key, const std::string& path, Settings& into) {
  char name[256];
  BYTE data[1100];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    into[path + "|" + name] = std::string(reinterpret_cast<char*>(data), dataSize);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    ReadTree(sub, path + "\\" + name, into);
    RegCloseKey(sub);
  }
}

Settings StoredSettings() {
  Settings settings;
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Zol Software\\Glimra", 0, KEY_READ, &root) != ERROR_SUCCESS)
    return settings;
  ReadTree(root, "", settings);
  RegCloseKey(root);
  return settings;
}

// The colour the member sees at `point` of `window`'s client area.
COLORREF PixelAt(HWND window, POINT point) {
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool ShowsColour(HWND window, POINT point, COLORREF colour) {
  return WaitUntil([&] { return PixelAt(window, point) == colour; });
}

POINT Twips(int x, int y) { return {x / 15, y / 15}; }

// A zolButton's top right pixel: right of its face and above its shadow,
// where the button shows its filler background.
POINT TopRightCorner(HWND button) {
  RECT client{};
  GetClientRect(button, &client);
  return {client.right - 1, 0};
}

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The entry a list shows selected, looked up by its index (an entry's text
// does not cross between processes whole).
std::string SelectedEntry(HWND list, const std::vector<std::string>& entries) {
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return "<none>";
  return entries[static_cast<std::size_t>(index)];
}

// Drops the list open with a click and picks the entry `steps` below the
// first with the keys; true once the list has closed on it.
bool ChooseEntry(HWND list, int steps) {
  const auto dropped = [&] { return SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) != 0; };
  if (!ClickOn(list) || !WaitUntil(dropped)) return false;
  wine_test::PressKey(VK_HOME);
  wine_test::PressKeyRepeatedly(VK_DOWN, steps);
  wine_test::PressEnter();
  return WaitUntil([&] { return !dropped() && SendMessageA(list, CB_GETCURSEL, 0, 0) == steps; });
}

// Replaces the text of an edit field as a member does: click, select it all,
// type (or delete, for no text); true once the field shows `text`.
bool RetypeField(HWND field, const std::string& text) {
  if (!ClickOn(field) || !WaitUntil([&] { return wine_test::TakesKeys(field); })) return false;
  wine_test::PressKey(VK_HOME);
  wine_test::ShiftPress(VK_END, 1);
  if (text.empty())
    wine_test::PressKey(VK_DELETE);
  else
    wine_test::TypeOnKeyboard(text);
  return WaitUntil([&] { return WindowText(field) == text; });
}

// Strips the markup tags of a sent line: the text the room shows.
std::string ShownText(const std::string& line) {
  std::string shown;
  bool inTag = false;
  for (char c : line) {
    if (c == '<') inTag = true;
    if (!inTag) shown += c;
    if (c == '>') inTag = false;
  }
  return shown;
}

class GlimraOptions : public wine_test::GlimraProcessFixture {
 protected:
  // The client with a room, Glimra attached to it with the settings stored so far.
  void StartInRoom() {
    Start("Version=4\r\nScreenNames=Zolster\r\nChatRoom=Town Square\r\n");
    room_ = Document("Town Square");
    ASSERT_TRUE(room_);
    box_ = WaitUntilFound([&] { return wine_test::ChatBoxOf(room_); });
    ASSERT_TRUE(box_);
    glimra_ = StartGlimra();
    ASSERT_TRUE(glimra_);
    tools_ = VisibleWindow("Glimra Chat Tools");
    ASSERT_TRUE(tools_) << "the chat tools window did not come up with the room";
    ASSERT_TRUE(WaitUntilWatching(box_)) << "Glimra did not attach to the room's box";
  }

  HWND VisibleWindow(const char* caption, DWORD timeoutMs = wine_test::kPatienceMs) {
    return WaitUntilFound(
        [&] {
          HWND window = WindowOf(glimra_, "GlimraForm", caption);
          return window && IsWindowVisible(window) ? window : nullptr;
        },
        timeoutMs);
  }

  // Types `line` into the room's input box, near its left end (the chat
  // tools window may cover its middle), and presses Enter; without Enter the
  // caller waits for what the keys do.
  bool TypeIntoRoom(const std::string& line, bool enter = true) {
    RECT inside;
    GetClientRect(box_, &inside);
    const POINT leftEnd{8, inside.bottom / 2};
    if (!wine_test::ClickIntoUntilFocused(box_, &leftEnd)) return false;
    if (!enter) {
      wine_test::TypeKeys(line);
      return true;
    }
    if (!wine_test::TypeInto(box_, line)) return false;
    wine_test::PressEnter();
    return true;
  }

  HWND OpenOptionsFromTheRoom(const char* command = "/options") {
    if (!TypeIntoRoom(command)) return nullptr;
    HWND options = VisibleWindow(frmoptions::kCaption);
    return options && wine_test::WaitUntilReady(options) ? options : nullptr;
  }

  // "&Options" from Glimra's menu in the AOL menu bar, with the keyboard.
  HWND OpenOptionsFromTheMenu() {
    if (!wine_test::ClickCaptionUntilInFront(frame_)) return nullptr;
    HWND menu = wine_test::OpenMenuWithKeys('A');
    if (!menu || !wine_test::MoveDownInMenu(menu, 1)) return nullptr;
    wine_test::PressEnter();
    HWND options = VisibleWindow(frmoptions::kCaption);
    return options && wine_test::WaitUntilReady(options) ? options : nullptr;
  }

  // Two ticks of Glimra's timer have run since the call: one shows Glimra's
  // mail toolbar beside a new Write Mail window, a later one takes it away
  // once the mail window has gone.
  bool TwoTimerTicks() {
    PostMessageA(frame_, WM_COMMAND, 8700, 0);  // Mail > Write Mail
    HWND mail = Document("Write Mail");
    if (!mail) return false;
    HWND toolbar = VisibleWindow("Glimra E-Fade");
    PostMessageA(mail, WM_CLOSE, 0, 0);
    return toolbar && WaitUntil([&] { return !IsWindow(toolbar); });
  }

  HANDLE glimra_ = nullptr;
  HWND room_ = nullptr, box_ = nullptr, tools_ = nullptr;
};

TEST_F(GlimraOptions, OpeningStoresNothingAndEachControlStoresItsOption) {
  WriteSetting("Multiline", "Multiline Burst", "0.3");
  WriteSetting("E-Fade", "ShowEFToolbar", "False");
  WriteSetting("EMail", "Use Alias", "True");
  WriteSetting("EMail", "Alias Name", "Zolly");
  ASSERT_NO_FATAL_FAILURE(StartInRoom());
  const Settings before = StoredSettings();
  HWND options = OpenOptionsFromTheRoom("/opt");
  ASSERT_TRUE(options) << "\"/opt\" opened no options dialog";
  const auto item = [&](UINT id) { return GetDlgItem(options, static_cast<int>(id)); };
  EXPECT_EQ(StoredSettings(), before) << "opening the dialog changed the settings";
  EXPECT_TRUE(Checked(item(frmoptions::kChkOpenFade)));
  EXPECT_FALSE(Checked(item(frmoptions::kChkEFade)));
  EXPECT_TRUE(Checked(item(frmoptions::kChkAlias)));
  EXPECT_EQ(WindowText(item(frmoptions::kTxtAlias)), "Zolly");
  EXPECT_EQ(WindowText(item(frmoptions::kChkMultiline)), "Use Multiline Chat Extender");
  EXPECT_EQ(SelectedEntry(item(frmoptions::kCboBurstSecs), glimra::BurstEntries()), "<none>")
      << "0.3 is no entry of the list";
  EXPECT_EQ(SendMessageA(item(frmoptions::kCboBurstSecs), CB_GETCOUNT, 0, 0), 13);
  EXPECT_EQ(SelectedEntry(item(frmoptions::kCboLines), glimra::LineEntries()), "60");
  EXPECT_TRUE(Checked(item(frmoptions::kOptUIEnh)));
  EXPECT_FALSE(IsWindowEnabled(item(frmoptions::kCmdSetColors)));

  const UINT multilineControls[] = {frmoptions::kLabel4,       frmoptions::kLabel5, frmoptions::kCboBurstSecs,
                                    frmoptions::kLblLineTitle, frmoptions::kLabel6, frmoptions::kLabel7,
                                    frmoptions::kCboLines};
  ASSERT_TRUE(ClickOn(item(frmoptions::kChkMultiline)));
  // Stored first, then greyed out: the member sees both a moment after the click.
  EXPECT_TRUE(WaitUntil([&] { return ReadSetting("Multiline", "Use Multiline") == "False"; }));
  for (UINT id : multilineControls) EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(item(id)); })) << id;
  ASSERT_TRUE(ClickOn(item(frmoptions::kChkMultiline)));
  EXPECT_TRUE(WaitUntil([&] { return ReadSetting("Multiline", "Use Multiline") == "True"; }));
  for (UINT id : multilineControls) EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(item(id)) != FALSE; })) << id;

  ASSERT_TRUE(ChooseEntry(item(frmoptions::kCboLines), 5));
  EXPECT_EQ(ReadSetting("Multiline", "Chars In Line"), "25");
  ASSERT_TRUE(ChooseEntry(item(frmoptions::kCboBurstSecs), 6));
  EXPECT_EQ(ReadSetting("Multiline", "Multiline Burst"), "1.5");
  // The alias field emptied is stored as one blank, and only by "Exit".
  ASSERT_TRUE(RetypeField(item(frmoptions::kTxtAlias), ""));
  EXPECT_EQ(ReadSetting("EMail", "Alias Name"), "Zolly");
  ASSERT_TRUE(ClickOn(item(frmoptions::kCmdExit)));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  EXPECT_EQ(ReadSetting("EMail", "Alias Name"), " ");

  options = OpenOptionsFromTheMenu();
  ASSERT_TRUE(options) << "\"&Options\" opened no options dialog";
  EXPECT_EQ(SelectedEntry(item(frmoptions::kCboBurstSecs), glimra::BurstEntries()), "1.50");
  EXPECT_EQ(SelectedEntry(item(frmoptions::kCboLines), glimra::LineEntries()), "25");
  ASSERT_TRUE(ClickOn(item(frmoptions::kCmdExit)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));

  // The 26th character of a line overflows into the multi-line window.
  const std::string line = "abcdefghijklmnopqrstuvwxyz";
  ASSERT_TRUE(TypeIntoRoom(line, false));
  HWND multiline = VisibleWindow("Glimra Multi-Line");
  ASSERT_TRUE(multiline) << "25 characters did not overflow";
  EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(multiline, kMultilineText)) == line; }))
      << WindowText(GetDlgItem(multiline, kMultilineText));
  EXPECT_TRUE(Events("chat").empty());

  // Sent from there it goes out in chat-sized lines, each faded on its own.
  ASSERT_TRUE(ClickOn(GetDlgItem(multiline, kMultilineSend)));
  std::string read;
  EXPECT_TRUE(WaitUntil([&] {
    read.clear();
    for (const auto& chat : Events("chat")) read += Unmarked(chat[2]);
    read.erase(std::remove(read.begin(), read.end(), ' '), read.end());
    return read == line;
  })) << read;
  const auto chats = Events("chat");
  EXPECT_GE(chats.size(), 2u) << "the 26 characters went out as one line";
  for (const auto& chat : chats) EXPECT_EQ(chat[2], Faded(Unmarked(chat[2])));
}

TEST_F(GlimraOptions, AChosenLookRebuildsTheChatToolsWindowWhichKeepsFadingOnce) {
  const COLORREF window = RGB(224, 160, 48), face = RGB(0, 128, 0), highlight = RGB(255, 255, 0);
  WriteSetting("User Colors", "WindowColor", std::to_string(window));
  WriteSetting("User Colors", "ButtonForecolor", std::to_string(face));
  WriteSetting("User Colors", "ButtonHighlight", std::to_string(highlight));
  ASSERT_NO_FATAL_FAILURE(StartInRoom());
  HWND options = OpenOptionsFromTheRoom();
  ASSERT_TRUE(options);
  const auto item = [&](UINT id) { return GetDlgItem(options, static_cast<int>(id)); };
  ASSERT_TRUE(ClickOn(item(frmoptions::kOptUIUser)));
  HWND rebuilt = WaitUntilFound([&] {
    HWND now = WindowOf(glimra_, "GlimraForm", "Glimra Chat Tools");
    return now && now != tools_ && IsWindowVisible(now) ? now : nullptr;
  });
  ASSERT_TRUE(rebuilt) << "the chat tools window was not rebuilt, or not shown again";
  EXPECT_FALSE(IsWindow(tools_));
  EXPECT_EQ(ReadSetting("", "UIMode"), "2");
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(item(frmoptions::kCmdSetColors)) != FALSE; }));
  ASSERT_TRUE(ClickOn(item(frmoptions::kCmdExit)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  HWND save = GetDlgItem(rebuilt, static_cast<int>(kChatToolsSave));
  EXPECT_TRUE(ShowsColour(save, {3, 3}, face));
  EXPECT_TRUE(ShowsColour(save, {0, 6}, highlight));
  EXPECT_TRUE(ShowsColour(rebuilt, Twips(4500, 600), window));

  ASSERT_TRUE(TypeIntoRoom("after the new look"));
  EXPECT_EQ(SentChatLine(1), Faded("after the new look"));
  // The send is over once Glimra has shown the box again and handed it the keyboard.
  ASSERT_TRUE(WaitUntil([&] { return wine_test::VisibleWithFocus(box_); }));

  // Hidden by the member, the window stays hidden through the next rebuild.
  ASSERT_TRUE(ClickOn(GetDlgItem(rebuilt, static_cast<int>(kChatToolsExit))));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(rebuilt); }));
  options = OpenOptionsFromTheRoom("/opt");
  ASSERT_TRUE(options);
  ASSERT_TRUE(ClickOn(item(frmoptions::kOptUIEnh)));
  ASSERT_TRUE(WaitUntil([&] { return ReadSetting("", "UIMode") == "1"; }));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(rebuilt); })) << "not rebuilt";
  EXPECT_FALSE(IsWindowEnabled(item(frmoptions::kCmdSetColors)));
  ASSERT_TRUE(TwoTimerTicks()) << "Glimra's timer did not tick";
  EXPECT_EQ(VisibleWindow("Glimra Chat Tools", 0), nullptr) << "the hidden chat tools window came back";
  ASSERT_TRUE(ClickOn(item(frmoptions::kCmdExit)));
  ASSERT_TRUE(TypeIntoRoom("and once more"));
  EXPECT_EQ(SentChatLine(2), Faded("and once more"));
  EXPECT_EQ(Events("chat").size(), 2u);
}

TEST_F(GlimraOptions, AMultilineSendUnderWayIsFadedOnceThroughARebuild) {
  WriteSetting("Multiline", "Multiline Burst", "1");
  WriteSetting("Multiline", "Chars In Line", "20");
  ASSERT_NO_FATAL_FAILURE(StartInRoom());
  HWND options = OpenOptionsFromTheRoom();
  ASSERT_TRUE(options);
  // Moved aside, as a member drags it, so that the multi-line window stays in reach.
  SetWindowPos(options, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const std::string text = "one two three four five six seven eight nine ten eleven twelve";
  ASSERT_TRUE(TypeIntoRoom(text.substr(0, 21), false));
  HWND multiline = VisibleWindow("Glimra Multi-Line");
  ASSERT_TRUE(multiline);
  HWND field = GetDlgItem(multiline, kMultilineText);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(field) == text.substr(0, 21); })) << WindowText(field);
  ASSERT_TRUE(ClickOn(field) && WaitUntil([&] { return wine_test::TakesKeys(field); }));
  wine_test::PressKey(VK_END, true);
  wine_test::TypeKeys(text.substr(21));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(field) == text; })) << WindowText(field);
  // The field is read-only while its lines go out.
  const auto sending = [&] { return (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) != 0; };
  wine_test::PressEnter();
  ASSERT_TRUE(WaitUntil(sending)) << "the send did not start";
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("chat").empty(); })) << "no line went out";
  ASSERT_TRUE(ClickOn(GetDlgItem(options, frmoptions::kOptUIStd)));
  ASSERT_TRUE(WaitUntil([&] { return ReadSetting("", "UIMode") == "0"; }));
  EXPECT_TRUE(sending()) << "the rebuild came after the send";
  ASSERT_TRUE(WaitUntil([&] { return !sending(); })) << "the send did not end";
  ASSERT_TRUE(ClientCaughtUp(box_)) << "the client took no more messages";
  std::string shown;
  for (const auto& event : Events("chat")) {
    EXPECT_EQ(ShownText(event[2]).find("FONT"), std::string::npos) << "faded twice: " << event[2];
    shown += ShownText(event[2]);
  }
  std::string words;
  for (char c : text)
    if (c != ' ') words += c;
  std::string shownWords;
  for (char c : shown)
    if (c != ' ') shownWords += c;
  EXPECT_EQ(shownWords, words);
  // The room still has its hook: the next typed line goes out faded.
  const std::size_t sent = Events("chat").size();
  ASSERT_TRUE(TypeIntoRoom("hooked"));
  EXPECT_EQ(SentChatLine(sent + 1), Faded("hooked"));
}

TEST_F(GlimraOptions, UserColoursArePickedStoredAndShownAtOnce) {
  WriteSetting("", "UIMode", "2");
  WriteSetting("User Colors", "WindowColor", " 3186912 ");  // blanks around: read, then written plainly
  ASSERT_NO_FATAL_FAILURE(StartInRoom());
  HWND options = OpenOptionsFromTheRoom();
  ASSERT_TRUE(options);
  EXPECT_TRUE(Checked(GetDlgItem(options, frmoptions::kOptUIUser)));
  ASSERT_TRUE(ClickOn(GetDlgItem(options, frmoptions::kCmdSetColors)));
  HWND colours = VisibleWindow(frmSetColors::kCaption);
  ASSERT_TRUE(colours && wine_test::WaitUntilReady(colours));
  const auto item = [&](UINT id) { return GetDlgItem(colours, static_cast<int>(id)); };
  HWND exitButton = item(frmSetColors::kCmdExit);
  EXPECT_FALSE(IsWindowEnabled(options)) << "the options dialog waits for the user colours dialog";
  EXPECT_FALSE(GetWindowLongA(options, GWL_EXSTYLE) & WS_EX_TOPMOST) << "it could cover the colour chooser";
  EXPECT_TRUE(GetWindowLongA(colours, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The colour chooser, once it is up in front; says what kept it otherwise.
  const auto chooser = [&] {
    HWND dialog = WaitUntilFound([&] { return WindowOf(glimra_, "#32770", nullptr); });
    if (!dialog)
      ADD_FAILURE() << "no colour chooser came up";
    else if (!wine_test::WaitUntilReady(dialog))
      ADD_FAILURE() << "the colour chooser is not ready: " << wine_test::WhyNotReady(dialog);
    else if (!WaitUntil([&] { return GetForegroundWindow() == dialog; }))
      ADD_FAILURE() << "the colour chooser is not in front: \"" << WindowText(GetForegroundWindow()) << "\" is";
    else
      return dialog;
    return HWND{};
  };

  // Cancelled: the colour it started from is written.
  ASSERT_TRUE(ClickOn(item(frmSetColors::kCmdWndClr)));
  HWND dialog = chooser();
  ASSERT_TRUE(dialog) << "no colour chooser";
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), colours);
  EXPECT_FALSE(GetWindowLongA(colours, GWL_EXSTYLE) & WS_EX_TOPMOST) << "topmost while the chooser is up";
  wine_test::PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(WaitUntil([&] { return ReadSetting("User Colors", "WindowColor") == "3186912"; }));
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(colours, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
  EXPECT_TRUE(ShowsColour(colours, Twips(1500, 1950), 3186912));
  EXPECT_TRUE(ShowsColour(exitButton, TopRightCorner(exitButton), 3186912)) << "the Exit button's corners";

  // Picked: the dialog and its frame show it at once.
  const COLORREF picked = RGB(200, 30, 40);
  ASSERT_TRUE(ClickOn(item(frmSetColors::kCmdWndClr)));
  dialog = chooser();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(RetypeField(GetDlgItem(dialog, kChooserRed), "200"));
  ASSERT_TRUE(RetypeField(GetDlgItem(dialog, kChooserGreen), "30"));
  ASSERT_TRUE(RetypeField(GetDlgItem(dialog, kChooserBlue), "40"));
  ASSERT_TRUE(ClickOn(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  // Written once the chooser has returned, a moment after its window has gone.
  EXPECT_TRUE(WaitUntil([&] { return ReadSetting("User Colors", "WindowColor") == std::to_string(picked); }))
      << ReadSetting("User Colors", "WindowColor");
  EXPECT_TRUE(ShowsColour(colours, Twips(1500, 1950), picked)) << "the dialog";
  EXPECT_TRUE(ShowsColour(colours, Twips(2600, 1050), picked)) << "its frame";
  EXPECT_TRUE(ShowsColour(exitButton, TopRightCorner(exitButton), picked)) << "the Exit button's corners";

  ASSERT_TRUE(ClickOn(exitButton));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(colours); }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(options) != FALSE; }));
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(options, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
  EXPECT_TRUE(ShowsColour(options, Twips(5000, 5300), picked)) << "the options dialog";
  ASSERT_TRUE(ClickOn(GetDlgItem(options, frmoptions::kCmdExit)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  HWND rebuilt = VisibleWindow("Glimra Chat Tools");
  ASSERT_TRUE(rebuilt);
  EXPECT_NE(rebuilt, tools_);
  EXPECT_TRUE(ShowsColour(rebuilt, Twips(4500, 600), picked)) << "the rebuilt chat tools window";
}

}  // namespace
