#include "SignOn.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Controls.h"
#include "EventLog.h"
#include "Frame.h"

namespace waol {

namespace {

enum SignOnId { kNamesLabel = 501, kNames, kPasswordLabel, kPassword, kSignOnIcon, kSetup, kWelcomeText = 520 };

#pragma pack(push, 1)
struct EntryRecord {
  std::uint32_t size;
  std::uint32_t index;
  std::uint8_t reserved[16];
  std::uint32_t name;  // +24: address of the NameRecord
  std::uint32_t flags;
};
struct NameRecord {
  std::uint16_t kind;
  std::uint32_t id;
  char name[16];  // +6
  char terminator[2];
};
#pragma pack(pop)
static_assert(offsetof(EntryRecord, name) == 24, "entry record layout");
static_assert(offsetof(NameRecord, name) == 6, "name record layout");

// An arena reserved at the first free address below 4 GB.
class LowArena {
 public:
  void* Allocate(size_t size) {
    if (!base_) Reserve();
    if (!base_ || used_ + size > kSize) return nullptr;
    void* block = base_ + used_;
    used_ += (size + 15) & ~size_t{15};
    return block;
  }

 private:
  static constexpr size_t kSize = 0x10000;
  void Reserve() {
    for (std::uintptr_t address = 0x10000000; address < 0xF0000000u; address += 0x01000000) {
      base_ = static_cast<char*>(
          VirtualAlloc(reinterpret_cast<void*>(address), kSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
      if (base_) return;
    }
  }
  char* base_ = nullptr;
  size_t used_ = 0;
};

LowArena& Arena() {
  static LowArena arena;
  return arena;
}

LPARAM MakeRecords(int index, const std::string& name) {
  auto entry = static_cast<EntryRecord*>(Arena().Allocate(sizeof(EntryRecord)));
  auto record = static_cast<NameRecord*>(Arena().Allocate(sizeof(NameRecord)));
  if (!entry || !record) return 0;
  std::memset(entry, 0, sizeof *entry);
  std::memset(record, 0, sizeof *record);
  record->kind = 1;
  record->id = 0x1000u + static_cast<std::uint32_t>(index);
  std::memcpy(record->name, name.data(), std::min(name.size(), sizeof record->name));
  entry->size = sizeof *entry;
  entry->index = static_cast<std::uint32_t>(index);
  entry->name = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record));
  return static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(entry));
}

class SignOnWindow : public Document {
 public:
  const char* Kind() const override { return "signon"; }

  void Build(HWND self) override {
    const ClientConfig& config = TheClient().config;
    CreateControl("_AOL_STATIC", "Select Screen Name:", 0, self, kNamesLabel);
    HWND names = CreateControl("_AOL_COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, self, kNames);
    CreateControl("_AOL_STATIC", "Enter Password:", 0, self, kPasswordLabel);
    CreateControl("_AOL_EDIT", "", WS_BORDER | ES_PASSWORD, self, kPassword);
    CreateIcon(self, kSetup, "Setup");
    CreateIcon(self, kSignOnIcon, "Sign On");
    for (size_t i = 0; i < config.screenNames.size(); ++i) {
      const LRESULT at = SendMessageA(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(config.screenNames[i].c_str()));
      SendMessageA(names, CB_SETITEMDATA, at, MakeRecords(static_cast<int>(i), config.screenNames[i]));
    }
    SendMessageA(names, CB_SETCURSEL, config.current, 0);
    for (HWND child = GetWindow(self, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }

  void Layout(int width, int height) override {
    Place(window, kNamesLabel, 16, 16, width - 32, 18);
    Place(window, kNames, 16, 36, width - 32, 200);
    Place(window, kPasswordLabel, 16, 70, width - 32, 18);
    Place(window, kPassword, 16, 90, width - 32, 22);
    Place(window, kSetup, 16, height - 40, 90, 28);
    Place(window, kSignOnIcon, width - 106, height - 40, 90, 28);
  }

  void Command(WORD id, WORD code, HWND) override {
    if (id != kSignOnIcon || code != kIconClicked) return;
    const LRESULT selected = SendMessageA(GetDlgItem(window, kNames), CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) SignOn(static_cast<int>(selected));
  }
};

class WelcomeWindow : public Document {
 public:
  const char* Kind() const override { return "welcome"; }
  void Build(HWND self) override {
    HWND text = CreateControl("_AOL_STATIC", "You have got mail!", 0, self, kWelcomeText);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  void Layout(int width, int) override { Place(window, kWelcomeText, 16, 16, width - 32, 20); }
};

void CloseDocuments(const char* kind) {
  while (HWND document = FindDocument(kind))
    SendMessageA(TheClient().mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
}

}  // namespace

std::string GoodbyeCaption() {
  switch (TheClient().config.edition) {
    case Edition::UK:
    case Edition::Australia: return "Goodbye From AOL!";
    case Edition::Canada: return "Goodbye From AOL Canada!";
    default: return "Goodbye From America Online!";
  }
}

HWND OpenSignOnWindow() {
  std::string caption = TheClient().config.version >= 4 ? "Sign On" : "Welcome";
  if (TheClient().config.goodbye) caption = GoodbyeCaption();
  return OpenDocument(new SignOnWindow, caption, 360, 240);
}

HWND OpenWelcomeWindow() {
  if (HWND open = FindDocument("welcome")) {
    SendMessageA(TheClient().mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(open), 0);
    return open;
  }
  return OpenDocument(new WelcomeWindow, "Welcome, " + TheClient().config.CurrentName() + "!", 420, 200);
}

void SignOn(int nameIndex) {
  Client& client = TheClient();
  client.config.current = nameIndex;
  client.signedOn = true;
  CloseDocuments("signon");
  LogEvent({"signon", client.config.CurrentName()});
  PublishState();
  UpdateSignOffMenu();
  OpenWelcomeWindow();
}

void SignOff() {
  Client& client = TheClient();
  if (!client.signedOn) return;
  client.signedOn = false;
  CloseDocuments("welcome");
  CloseDocuments("chat");
  LogEvent({"signoff", client.config.CurrentName()});
  PublishState();
  UpdateSignOffMenu();
  client.config.goodbye = true;
  OpenSignOnWindow();
}

}  // namespace waol
