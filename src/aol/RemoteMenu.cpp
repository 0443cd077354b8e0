#include "aol/RemoteMenu.h"

#include <algorithm>
#include <cstring>

#include "runtime/OutsideLibraries.h"
#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

// The menu helper's contract in dwsbc36.ocx (DwsbcMenuCall and its records).
enum MenuOp {
  kGetMenu = 1,
  kGetMenuItemCount,
  kGetSubMenu,
  kGetMenuItemID,
  kGetMenuString,
  kCreatePopupMenu,
  kAppendMenu,
  kInsertMenu,
  kDeleteMenu,
  kDrawMenuBar
};
constexpr int kTextSize = 256;
struct MenuCallData {
  LONG op;
  UINT flags;
  ULONGLONG menu;
  ULONGLONG item;
  ULONGLONG id;
  LONG count;
  CHAR text[kTextSize];
};
struct MenuResult {
  LONGLONG value;
  DWORD error;
  CHAR text[kTextSize];
};
using MenuCallFunction = BOOL(WINAPI*)(HWND, const MenuCallData*, MenuResult*, DWORD);
constexpr DWORD kCallTimeoutMs = 5000;

// A function of dwsbc36.ocx that not every version has: null without it.
template <typename Function>
Function OptionalDwsbcExport(const char* name) {
  HMODULE module = LoadLibraryA(SystemFilePath("dwsbc36.ocx").c_str());
  FARPROC address = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

MenuCallFunction DwsbcMenuCall() {
  static const MenuCallFunction call = [] {
    HMODULE module = LoadLibraryA(SystemFilePath("dwsbc36.ocx").c_str());
    FARPROC address = module ? GetProcAddress(module, "DwsbcMenuCall") : nullptr;
    if (!address) throw RuntimeError(kErrFileNotFound, DescribeError(kErrFileNotFound) + ": dwsbc36.ocx");
    return reinterpret_cast<MenuCallFunction>(reinterpret_cast<void*>(address));
  }();
  return call;
}

using MenuCallsFunction = BOOL(WINAPI*)(HWND, const MenuCallData*, MenuResult*, LONG, DWORD);
constexpr std::size_t kMostCallsAtOnce = 256;

// Null when the helper cannot take several calls at once: they then go one by one.
MenuCallsFunction DwsbcMenuCalls() {
  static const auto calls = OptionalDwsbcExport<MenuCallsFunction>("DwsbcMenuCalls");
  return calls;
}

struct MenuItemRecord {
  LONGLONG id;
  ULONGLONG subMenu;
  LONGLONG length;
  CHAR text[kTextSize];
};
using ReadItemsFunction = BOOL(WINAPI*)(HWND, HMENU, UINT, LONG, MenuItemRecord*, LONG, LONG*, DWORD);
constexpr LONG kReadCapacity = 128;

// Null when the helper cannot read a menu in one go: the items are then read one call at a time.
ReadItemsFunction DwsbcMenuReadItems() {
  static const auto read = OptionalDwsbcExport<ReadItemsFunction>("DwsbcMenuReadItems");
  return read;
}

using ReleaseHelperFunction = BOOL(WINAPI*)(HWND);

ReleaseHelperFunction DwsbcReleaseHelper() {
  static const auto release = OptionalDwsbcExport<ReleaseHelperFunction>("DwsbcReleaseHelper");
  return release;
}

std::string Cut(const char* text, int count) {
  std::string result(text);
  if (count <= 0) return "";
  if (result.size() >= static_cast<std::size_t>(count)) result.resize(static_cast<std::size_t>(count) - 1);
  return result;
}

HWND gHelperWanted = nullptr;

void CALLBACK MakeWantedHelper(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND window = gHelperWanted;
  gHelperWanted = nullptr;
  // Nothing may unwind through the dispatching of this callback; a helper
  // that cannot be made now is made by the first step or not at all.
  try {
    if (IsWindow(window)) RemoteMenu(window).GetMenu();
  } catch (...) {
  }
}

}  // namespace

RemoteMenu::RemoteMenu(HWND window) : window_(window) {}

void RemoteMenu::PrepareHelper(HWND window) {
  gHelperWanted = window;
  SetTimer(nullptr, 0, 0, MakeWantedHelper);
}

bool RemoteMenu::UsesHelper() {
  if (usesHelper_ < 0) {
    DWORD process = 0;
    GetWindowThreadProcessId(window_, &process);
    HMENU bar = ::GetMenu(window_);
    const bool plainWorks = process == GetCurrentProcessId() || (bar && ::GetMenuItemCount(bar) != -1);
    usesHelper_ = plainWorks ? 0 : 1;
  }
  return usesHelper_ == 1;
}

RemoteMenu::Answer RemoteMenu::Call(int op, HMENU menu, ULONGLONG item, UINT flags, ULONGLONG id,
                                    const std::string& text, int count) {
  MenuCallData call{};
  call.op = op;
  call.flags = flags;
  call.menu = reinterpret_cast<ULONGLONG>(menu);
  call.item = item;
  call.id = id;
  call.count = std::clamp(count, 0, kTextSize);
  std::strncpy(call.text, text.c_str(), kTextSize - 1);
  MenuResult result{};
  Answer answer;
  if (!DwsbcMenuCall()(window_, &call, &result, kCallTimeoutMs)) return answer;  // the owner did not answer
  result.text[kTextSize - 1] = '\0';
  answer.answered = true;
  answer.value = result.value;
  answer.text = result.text;
  return answer;
}

bool RemoteMenu::ReleaseHelper(HWND window) {
  const ReleaseHelperFunction release = DwsbcReleaseHelper();
  return release && release(window) != FALSE;
}

HMENU RemoteMenu::GetMenu() {
  if (!UsesHelper()) return ::GetMenu(window_);
  return reinterpret_cast<HMENU>(Call(kGetMenu).value);
}

int RemoteMenu::GetMenuItemCount(HMENU menu) {
  if (!UsesHelper()) return ::GetMenuItemCount(menu);
  const Answer answer = Call(kGetMenuItemCount, menu);
  return answer.answered ? static_cast<int>(answer.value) : -1;
}

HMENU RemoteMenu::GetSubMenu(HMENU menu, int position) {
  if (!UsesHelper()) return ::GetSubMenu(menu, position);
  return reinterpret_cast<HMENU>(Call(kGetSubMenu, menu, static_cast<ULONGLONG>(position)).value);
}

UINT RemoteMenu::GetMenuItemID(HMENU menu, int position) {
  if (!UsesHelper()) return ::GetMenuItemID(menu, position);
  const Answer answer = Call(kGetMenuItemID, menu, static_cast<ULONGLONG>(position));
  return answer.answered ? static_cast<UINT>(answer.value) : 0xFFFFFFFFu;
}

std::string RemoteMenu::GetMenuString(HMENU menu, UINT item, int count, UINT flags) {
  if (count <= 0) return "";
  if (!UsesHelper()) {
    std::string text(static_cast<std::size_t>(count), '\0');
    const int length = ::GetMenuStringA(menu, item, text.data(), count, flags);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
  }
  return Cut(Call(kGetMenuString, menu, item, flags, 0, "", std::min(count, kTextSize)).text.c_str(), count);
}

std::vector<RemoteMenu::Item> RemoteMenu::ReadItems(HMENU menu, int count, UINT flags) {
  std::vector<Item> items;
  const auto byCalls = [&](int from, int itemCount) {
    for (int j = from; j < itemCount; ++j) {
      Item item;
      item.id = GetMenuItemID(menu, j);
      item.subMenu = GetSubMenu(menu, j);
      item.text = GetMenuString(menu, (flags & MF_BYPOSITION) ? static_cast<UINT>(j) : item.id, count, flags);
      items.push_back(std::move(item));
    }
  };
  const ReadItemsFunction read = UsesHelper() ? DwsbcMenuReadItems() : nullptr;
  if (!read) {
    byCalls(0, GetMenuItemCount(menu));
    return items;
  }
  std::vector<MenuItemRecord> records(static_cast<std::size_t>(kReadCapacity));
  LONG itemCount = -1;
  if (!read(window_, menu, flags, std::clamp(count, 0, kTextSize), records.data(), kReadCapacity, &itemCount,
            kCallTimeoutMs))
    return items;  // the owner did not answer
  for (LONG j = 0; j < itemCount && j < kReadCapacity; ++j) {
    const MenuItemRecord& record = records[static_cast<std::size_t>(j)];
    Item item;
    item.id = static_cast<UINT>(record.id);
    item.subMenu = reinterpret_cast<HMENU>(record.subMenu);
    item.text = count > 0 ? Cut(std::string(record.text, strnlen(record.text, kTextSize)).c_str(), count) : "";
    items.push_back(std::move(item));
  }
  byCalls(kReadCapacity, itemCount);  // a menu longer than one read
  return items;
}

HMENU RemoteMenu::CreatePopupMenu() {
  if (!UsesHelper()) return ::CreatePopupMenu();
  return reinterpret_cast<HMENU>(Call(kCreatePopupMenu).value);
}

bool RemoteMenu::AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const std::string& caption) {
  if (!UsesHelper()) return ::AppendMenuA(menu, flags, id, caption.c_str()) != FALSE;
  return Call(kAppendMenu, menu, 0, flags, id, caption).value != 0;
}

bool RemoteMenu::AppendMenus(const std::vector<NewItem>& items) {
  const MenuCallsFunction callAll = UsesHelper() ? DwsbcMenuCalls() : nullptr;
  if (!callAll || items.size() > kMostCallsAtOnce) {
    bool all = true;
    for (const NewItem& item : items) all = AppendMenu(item.menu, item.flags, item.id, item.caption) && all;
    return all;
  }
  std::vector<MenuCallData> calls(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    MenuCallData& call = calls[i];
    call.op = kAppendMenu;
    call.flags = items[i].flags;
    call.menu = reinterpret_cast<ULONGLONG>(items[i].menu);
    call.id = items[i].id;
    std::strncpy(call.text, items[i].caption.c_str(), kTextSize - 1);
  }
  std::vector<MenuResult> results(items.size());
  if (!callAll(window_, calls.data(), results.data(), static_cast<LONG>(calls.size()), kCallTimeoutMs)) return false;
  return std::all_of(results.begin(), results.end(), [](const MenuResult& result) { return result.value != 0; });
}

bool RemoteMenu::InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::string& caption) {
  if (!UsesHelper()) return ::InsertMenuA(menu, position, flags, id, caption.c_str()) != FALSE;
  return Call(kInsertMenu, menu, position, flags, id, caption).value != 0;
}

bool RemoteMenu::DeleteMenu(HMENU menu, UINT position, UINT flags) {
  if (!UsesHelper()) return ::DeleteMenu(menu, position, flags) != FALSE;
  return Call(kDeleteMenu, menu, position, flags).value != 0;
}

bool RemoteMenu::DrawMenuBar() {
  if (!UsesHelper()) return ::DrawMenuBar(window_) != FALSE;
  return Call(kDrawMenuBar).value != 0;
}

}  // namespace glimra
