// The Win32 menu steps on another program's window, one call each. Under
// Wine menus are private to their process, so when the plain functions fail
// on that window's menu bar, every step runs inside the owning process
// through the helper of dwsbc36.ocx. Callers read like the plain API:
//   RemoteMenu menus(AOLFrame);
//   HMENU bar = menus.GetMenu();
//   int n = menus.GetMenuItemCount(bar); ...
// Menu handles from one RemoteMenu are only meaningful to that RemoteMenu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace glimra {

class RemoteMenu {
 public:
  explicit RemoteMenu(HWND window);

  HMENU GetMenu();
  int GetMenuItemCount(HMENU menu);  // -1 on failure
  HMENU GetSubMenu(HMENU menu, int position);
  UINT GetMenuItemID(HMENU menu, int position);  // 0xFFFFFFFF for a pop-up or failure
  // Like GetMenuStringA with a buffer of `count` characters: at most count - 1
  // characters come back (MF_BYPOSITION or MF_BYCOMMAND in `flags`).
  std::string GetMenuString(HMENU menu, UINT item, int count, UINT flags);
  // Every item of `menu` as GetMenuItemID, GetSubMenu and GetMenuString
  // (`count` characters, looked up by the item's id with MF_BYCOMMAND, else
  // by its position) give them one by one, read in one round trip; empty
  // when `menu` has no items or is no menu.
  struct Item {
    UINT id = 0;
    HMENU subMenu = nullptr;
    std::string text;
  };
  std::vector<Item> ReadItems(HMENU menu, int count, UINT flags);
  // The pop-up is made in the process that owns the window's menu bar.
  HMENU CreatePopupMenu();
  bool AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const std::string& caption);
  // AppendMenu for each item in order, in one round trip; true when every
  // one succeeded.
  struct NewItem {
    HMENU menu;
    UINT flags;
    UINT_PTR id;
    std::string caption;
  };
  bool AppendMenus(const std::vector<NewItem>& items);
  bool InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR id, const std::string& caption);
  bool DeleteMenu(HMENU menu, UINT position, UINT flags);
  bool DrawMenuBar();

  // True when the steps go through the helper (decided on first use).
  bool UsesHelper();

  // Makes the helper in the program of `window` the next time events run
  // (a pause, say), so that the first step finds it there already.
  static void PrepareHelper(HWND window);

  // The helper stays in the owning program from the first step on, so that
  // each later step is one round trip; this takes it out of the thread of
  // `window` (it also goes by itself when Glimra ends). False when there was
  // none.
  static bool ReleaseHelper(HWND window);

 private:
  struct Answer {
    bool answered = false;
    LONGLONG value = 0;
    std::string text;
  };
  Answer Call(int op, HMENU menu = nullptr, ULONGLONG item = 0, UINT flags = 0, ULONGLONG id = 0,
              const std::string& text = "", int count = 0);

  HWND window_;
  int usesHelper_ = -1;  // unknown until the first step
};

}  // namespace glimra
