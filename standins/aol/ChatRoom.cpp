#include "ChatRoom.h"

#include "Controls.h"
#include "EventLog.h"

namespace waol {

namespace {

enum ChatId {
  kTranscript = 101,
  kPeople,
  kFontSize,
  kInput,
  kCounter,
  kSend,
  kPeopleHere,
  kPreferences,
  kNotify,
};

class ChatRoom : public Document {
 public:
  explicit ChatRoom(std::string name) : name_(std::move(name)) {}
  const char* Kind() const override { return "chat"; }

  // Creation order is the z-order Glimra walks: the combo box comes before
  // the input box, and the Send icon (no caption) is the first icon after it.
  void Build(HWND self) override {
    CreateRichCntl(self, kTranscript, RichRole::Transcript);
    HWND people = CreateControl("_AOL_LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, self, kPeople);
    HWND size = CreateControl("_AOL_COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, self, kFontSize);
    CreateRichCntl(self, kInput, RichRole::ChatInput);
    if (TheClient().config.edition == Edition::UK) CreateControl("_AOL_STATIC", "0", SS_CENTER, self, kCounter);
    CreateIcon(self, kSend, "", "Send");
    CreateIcon(self, kPeopleHere, "People Here");
    CreateIcon(self, kPreferences, "Chat Preferences");
    CreateIcon(self, kNotify, "Notify AOL");

    for (HWND control : {people, size})
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    for (const char* member : {TheClient().config.CurrentName().c_str(), "OnlineHost", "Sparkle22", "RoomHost Bob"})
      SendMessageA(people, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(member));
    for (const char* points : {"10", "12", "14"}) SendMessageA(size, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(points));
    SendMessageA(size, CB_SETCURSEL, 0, 0);
    AppendChatLine(GetDlgItem(self, kTranscript), "OnlineHost",
                   "<FONT COLOR=#808080>*** You are in \"" + name_ + "\". ***", RGB(128, 128, 128));
    LogEvent({"room", name_});
  }

  void Layout(int width, int height) override {
    const int listWidth = 150, gap = 8, row = 28;
    const int bottom = height - gap - row;  // the icon row
    const int inputTop = bottom - gap - row;
    Place(window, kTranscript, gap, gap, width - listWidth - 3 * gap, inputTop - 2 * gap);
    Place(window, kPeople, width - listWidth - gap, gap, listWidth, inputTop - 2 * gap);
    const int sendWidth = 70;
    int inputWidth = width - listWidth - 4 * gap - sendWidth;
    if (GetDlgItem(window, kCounter)) {
      inputWidth -= 40 + gap;
      Place(window, kCounter, gap + inputWidth + gap, inputTop + 6, 40, row - 8);
    }
    Place(window, kInput, gap, inputTop, inputWidth, row);
    Place(window, kSend, width - listWidth - 2 * gap - sendWidth, inputTop, sendWidth, row);
    Place(window, kFontSize, width - listWidth - gap, inputTop + 2, listWidth, 200);
    Place(window, kPeopleHere, gap, bottom, 110, row);
    Place(window, kPreferences, 2 * gap + 110, bottom, 130, row);
    Place(window, kNotify, 3 * gap + 240, bottom, 100, row);
  }

  void Command(WORD id, WORD code, HWND) override {
    if ((id == kInput && code == kEnterPressed) || (id == kSend && code == kIconClicked)) SendLine();
  }

 private:
  // AOL sends nothing for a box that is empty or holds only blanks.
  void SendLine() {
    HWND input = GetDlgItem(window, kInput);
    const std::string line = WindowString(input);
    if (Trim(line).empty()) return;
    SetWindowTextA(input, "");
    if (HWND counter = GetDlgItem(window, kCounter)) SetWindowTextA(counter, "0");
    LogEvent({"chat", name_, line});
    AppendChatLine(GetDlgItem(window, kTranscript), TheClient().config.CurrentName(), line, RGB(0, 0, 128));
  }

  std::string name_;
};

}  // namespace

HWND OpenChatRoom(const std::string& name) { return OpenDocument(new ChatRoom(name), name, 640, 420); }

}  // namespace waol
