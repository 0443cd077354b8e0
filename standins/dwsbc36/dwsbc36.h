// dwsbc36.ocx: the SubClass control and the menu helper, as plain exported C
// functions (load the file with LoadLibrary, find them with GetProcAddress).
//
// SubClass control: one instance watches one window of another process for a
// fixed list of messages.
//   DwsbcCreate(owner)            a new instance; call on the UI thread that
//                                 will receive its events; NULL on failure.
//   DwsbcDestroy(instance)        detaches and frees the instance.
//   DwsbcSetEvents(instance, wndMessageX, delayedEvent, context)
//                                 the two event callbacks (either may be NULL).
//   DwsbcSetMessages(instance, messages, count)
//                                 the message list; takes effect at the next
//                                 attach.
//   DwsbcSetHWnd(instance, hwnd)  attaches (NULL detaches); returns TRUE once
//                                 the watched window's thread has confirmed.
//   DwsbcGetHWnd(instance)        the handle last assigned.
//   DwsbcSetDelayedEvent(instance, value)
//                                 raises DelayedEvent(value) once, after the
//                                 message being handled has returned.
// WndMessageX is called on the instance's thread, inside the watched
// program's sending of the message and before the watched window's own
// procedure sees it. Setting *nodef non-zero keeps the message from the window
// and makes *retval its result. Callbacks must not let exceptions escape.
//
// Menu helper: DwsbcMenuCall runs one Win32 menu function inside the process
// that owns `window` (menus are private to their process under Wine) and fills
// `result`; FALSE when the owner did not answer within `timeoutMs`.
// DwsbcMenuReadItems reads a whole menu there in one go: *itemCount =
// GetMenuItemCount(menu), and for each position j below it (at most
// `capacity`) the item's GetMenuItemID, GetSubMenu and GetMenuStringA with
// `count` characters, the caption looked up by the item's id when `flags`
// holds MF_BYCOMMAND, else by j.
// DwsbcMenuCalls runs `count` calls there one after the other, as that many
// DwsbcMenuCall would, in one go; results[i] is the result of calls[i].
// The first call (or attach) to a thread leaves a helper resident there, so
// later calls and attaches cost one round trip each.
//   DwsbcReleaseHelper(window)    takes this process's helper out of the
//                                 thread of `window` (the next call makes a
//                                 new one); FALSE when there was none. A
//                                 helper also goes by itself when the process
//                                 that made it ends, however it ends.
//
// How it works: a WH_GETMESSAGE hook loads this file into the window's GUI
// thread, where it pins itself and makes the helper, a message-only window
// (a hidden one on Windows 95 and 98) that answers WM_COPYDATA requests
// (results are written back with WriteProcessMemory) and a thread of its own
// that waits for the calling process to end. Attached windows are subclassed
// there; the subclass asks the instance's hidden window for a verdict
// (WM_COPYDATA) on each listed message.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct DwsbcInstance DwsbcInstance;

typedef void(CALLBACK* DwsbcWndMessageX)(void* context, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* retval,
                                         LONG* nodef);
typedef void(CALLBACK* DwsbcDelayedEvent)(void* context, LONG value);

// Menu functions DwsbcMenuCall can run.
enum DwsbcMenuOp {
  DWSBC_GETMENU = 1,       // value = GetMenu(window)
  DWSBC_GETMENUITEMCOUNT,  // value = GetMenuItemCount(menu)
  DWSBC_GETSUBMENU,        // value = GetSubMenu(menu, item)
  DWSBC_GETMENUITEMID,     // value = (int)GetMenuItemID(menu, item)
  DWSBC_GETMENUSTRING,     // value = GetMenuStringA(menu, item, text, count, flags); text filled
  DWSBC_CREATEPOPUPMENU,   // value = CreatePopupMenu()
  DWSBC_APPENDMENU,        // value = AppendMenuA(menu, flags, id, text)
  DWSBC_INSERTMENU,        // value = InsertMenuA(menu, item, flags, id, text)
  DWSBC_DELETEMENU,        // value = DeleteMenu(menu, item, flags)
  DWSBC_DRAWMENUBAR        // value = DrawMenuBar(window)
};

#define DWSBC_TEXT_SIZE 256

typedef struct DwsbcMenuCallData {
  LONG op;                     // a DwsbcMenuOp
  UINT flags;                  // MF_ flags of the call
  ULONGLONG menu;              // the menu handle
  ULONGLONG item;              // position or command id
  ULONGLONG id;                // new item's id, or the pop-up's handle with MF_POPUP
  LONG count;                  // GetMenuStringA: the character count passed (at most DWSBC_TEXT_SIZE)
  CHAR text[DWSBC_TEXT_SIZE];  // caption of a new item
} DwsbcMenuCallData;

typedef struct DwsbcMenuResult {
  LONGLONG value;              // the function's result
  DWORD error;                 // GetLastError after it
  CHAR text[DWSBC_TEXT_SIZE];  // GetMenuStringA's caption
} DwsbcMenuResult;

typedef struct DwsbcMenuItem {
  LONGLONG id;                 // (int)GetMenuItemID(menu, j)
  ULONGLONG subMenu;           // GetSubMenu(menu, j)
  LONGLONG length;             // GetMenuStringA's result
  CHAR text[DWSBC_TEXT_SIZE];  // its caption
} DwsbcMenuItem;

__declspec(dllexport) DwsbcInstance* WINAPI DwsbcCreate(HWND owner);
__declspec(dllexport) void WINAPI DwsbcDestroy(DwsbcInstance* instance);
__declspec(dllexport) void WINAPI DwsbcSetEvents(DwsbcInstance* instance, DwsbcWndMessageX wndMessageX,
                                                 DwsbcDelayedEvent delayedEvent, void* context);
__declspec(dllexport) void WINAPI DwsbcSetMessages(DwsbcInstance* instance, const UINT* messages, UINT count);
__declspec(dllexport) BOOL WINAPI DwsbcSetHWnd(DwsbcInstance* instance, HWND window);
__declspec(dllexport) HWND WINAPI DwsbcGetHWnd(DwsbcInstance* instance);
__declspec(dllexport) void WINAPI DwsbcSetDelayedEvent(DwsbcInstance* instance, LONG value);
__declspec(dllexport) BOOL WINAPI
    DwsbcMenuCall(HWND window, const DwsbcMenuCallData* call, DwsbcMenuResult* result, DWORD timeoutMs);
__declspec(dllexport) BOOL WINAPI
    DwsbcMenuReadItems(HWND window, HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity,
                       LONG* itemCount, DWORD timeoutMs);
__declspec(dllexport) BOOL WINAPI
    DwsbcMenuCalls(HWND window, const DwsbcMenuCallData* calls, DwsbcMenuResult* results, LONG count, DWORD timeoutMs);
__declspec(dllexport) BOOL WINAPI DwsbcReleaseHelper(HWND window);

#ifdef __cplusplus
}
#endif
