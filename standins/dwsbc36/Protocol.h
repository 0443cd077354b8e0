// What the watcher's side and the side inside the watched process say to
// each other. Both sides are this same file, loaded into two processes.
#pragma once

#include <windows.h>

#include "dwsbc36.h"

namespace dwsbc {

// Registered window messages (the same numbers in every process).
struct Messages {
  UINT attach;    // posted to the watched window: wParam = watcher window
  UINT detach;    // sent to the watched window: wParam = watcher window
  UINT query;     // sent to the watcher: wParam = index; result = message number + 1, 0 past the end
  UINT attached;  // sent to the watcher: wParam = watched window
  UINT retval;    // sent to the watcher after a swallow verdict: result = the message's result
  UINT delayed;   // posted to the watcher once the message has returned
  UINT gone;      // posted to the watcher: wParam = watched window, destroyed
  UINT menu;      // posted to a window: wParam = caller's process id, lParam = call number
  UINT release;   // sent to a helper window: it goes
};
const Messages& RegisteredMessages();

// WM_COPYDATA from the watched process to the watcher: a message to judge.
constexpr ULONG_PTR kAskMagic = 0x44534243;
struct Ask {
  ULONGLONG hwnd;
  UINT msg;
  UINT reserved;
  LONGLONG wp;
  LONGLONG lp;
};

// Bits of the watcher's answer to an Ask.
constexpr LRESULT kJudged = 1;   // the watcher is alive and answered
constexpr LRESULT kSwallow = 2;  // keep the message from the window; ask for the result
constexpr LRESULT kDelayed = 4;  // post `delayed` back once the message has returned

// The resident helper: a message-only window on the watched thread, one per
// calling process, that runs menu calls and attaches for it with one
// WM_COPYDATA round trip each. It is made by a hooked call with this op and
// goes when released or when the calling process ends.
constexpr LONG kOpenHelperOp = 0x100;
constexpr ULONG_PTR kHelperCallMagic = 0x44534D43;
constexpr ULONG_PTR kHelperAttachMagic = 0x44534154;
struct HelperCall {
  ULONGLONG window;         // the window the call is about (GetMenu, DrawMenuBar)
  ULONGLONG resultAddress;  // the caller's DwsbcMenuResult, written with WriteProcessMemory
  DwsbcMenuCallData call;
};
// Several calls: this header, then `count` DwsbcMenuCallData.
constexpr ULONG_PTR kHelperCallsMagic = 0x4453434C;
struct HelperCalls {
  ULONGLONG window;
  ULONGLONG resultsAddress;  // the caller's DwsbcMenuResult array
  LONG count;
  LONG reserved;
};
constexpr LONG kMaxCalls = 256;
constexpr ULONG_PTR kHelperReadMagic = 0x44535249;
struct HelperRead {
  ULONGLONG menu;
  ULONGLONG itemsAddress;  // the caller's DwsbcMenuItem array
  ULONGLONG countAddress;  // the caller's LONG item count
  UINT flags;
  LONG count;
  LONG capacity;
  LONG reserved;
};
struct HelperAttach {
  ULONGLONG window;   // to watch; must belong to the helper's thread
  ULONGLONG watcher;  // the instance's hidden window
};
// A helper counts the requests it has received in this window long (for
// tests: one request is one round trip).
constexpr int kRequestsIndex = 0;
// Answers of a helper to WM_COPYDATA.
constexpr LRESULT kHelperDone = 1;
constexpr LRESULT kHelperRefused = 2;  // not its thread's window, or the result could not be written

// Shared block of one menu call, named after the caller and the call number.
struct MenuBlock {
  DwsbcMenuCallData call;
  DwsbcMenuResult result;
};
void MenuObjectNames(DWORD callerProcess, LONG callNumber, char* mapping, char* doneEvent, size_t size);

// Makes the resident helper for `callerProcess` on this thread; 0 on failure.
HWND OpenHelper(DWORD callerProcess);

// Runs one menu call in this process.
void RunMenuCall(HWND window, const DwsbcMenuCallData& call, DwsbcMenuResult& result);

// Reads the items of `menu` in this process (DwsbcMenuReadItems); returns
// the menu's item count, filling at most `capacity` items.
LONG ReadMenuItems(HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity);
constexpr LONG kMaxReadItems = 1024;

// The WH_GETMESSAGE hook that carries requests into the watched thread.
LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp);

// Starts watching `window` for `watcher` (on the window's own thread).
void AttachHere(HWND window, HWND watcher);

HMODULE ThisModule();

}  // namespace dwsbc
