// The side of dwsbc36 that runs inside the watched process, on the watched
// window's own thread: the subclass procedure and the menu calls.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Protocol.h"

namespace dwsbc {
namespace {

constexpr char kRecordProperty[] = "DWSBC36 Record";
constexpr UINT kAskTimeoutMs = 30000;  // a watcher that does not answer at all is treated as gone
constexpr UINT kShortTimeoutMs = 5000;

struct Watch {
  HWND watcher;
  std::vector<UINT> messages;
};

// One per subclassed window, shared by all instances that watch it.
struct Record {
  WNDPROC original = nullptr;
  std::vector<Watch> watches;
  int depth = 0;  // nested calls of SubclassProc in progress
};

LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

Record* RecordOf(HWND window) { return static_cast<Record*>(GetPropA(window, kRecordProperty)); }

// Leaves the window to its own procedure when nothing watches it any more.
// If another subclass was put on top of ours meanwhile, ours stays in the
// chain and passes everything through.
void ReleaseIfIdle(HWND window, Record* record) {
  if (!record->watches.empty() || record->depth > 0) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) != SubclassProc) return;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->original));
  RemovePropA(window, kRecordProperty);
  delete record;
}

void RemoveWatch(Record* record, HWND watcher) {
  auto& watches = record->watches;
  watches.erase(std::remove_if(watches.begin(), watches.end(), [&](const Watch& w) { return w.watcher == watcher; }),
                watches.end());
}

std::vector<HWND> WatchersOf(const Record* record, UINT msg) {
  std::vector<HWND> result;
  for (const Watch& watch : record->watches)
    if (std::find(watch.messages.begin(), watch.messages.end(), msg) != watch.messages.end())
      result.push_back(watch.watcher);
  return result;
}

// Asks one watcher; returns its answer bits, 0 when it is gone or silent.
LRESULT AskWatcher(HWND watcher, HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  Ask ask{reinterpret_cast<ULONGLONG>(window), msg, 0, static_cast<LONGLONG>(wp), static_cast<LONGLONG>(lp)};
  COPYDATASTRUCT data{kAskMagic, sizeof ask, &ask};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(watcher, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&data),
                           SMTO_ABORTIFHUNG, kAskTimeoutMs, &answer))
    return 0;
  return static_cast<LRESULT>(answer);
}

LRESULT JudgeAndDeliver(HWND window, Record* record, UINT msg, WPARAM wp, LPARAM lp) {
  bool swallowed = false;
  LRESULT result = 0;
  std::vector<HWND> delayed;
  for (HWND watcher : WatchersOf(record, msg)) {
    const LRESULT answer = AskWatcher(watcher, window, msg, wp, lp);
    if (!(answer & kJudged)) {
      if (!IsWindow(watcher)) RemoveWatch(record, watcher);  // the watching program has ended
      continue;
    }
    if (answer & kDelayed) delayed.push_back(watcher);
    if (answer & kSwallow) {
      DWORD_PTR value = 0;
      SendMessageTimeoutA(watcher, RegisteredMessages().retval, 0, 0, SMTO_ABORTIFHUNG, kShortTimeoutMs, &value);
      result = static_cast<LRESULT>(value);
      swallowed = true;
      break;
    }
  }
  if (!swallowed) result = CallWindowProcA(record->original, window, msg, wp, lp);
  for (HWND watcher : delayed) PostMessageA(watcher, RegisteredMessages().delayed, 0, 0);
  return result;
}

LRESULT CALLBACK SubclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  Record* record = RecordOf(window);
  if (!record) return DefWindowProcA(window, msg, wp, lp);
  if (msg == RegisteredMessages().detach) {
    RemoveWatch(record, reinterpret_cast<HWND>(wp));
    ReleaseIfIdle(window, record);
    return 1;
  }
  if (msg == WM_NCDESTROY) {
    for (const Watch& watch : record->watches)
      PostMessageA(watch.watcher, RegisteredMessages().gone, reinterpret_cast<WPARAM>(window), 0);
    const WNDPROC original = record->original;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(window, kRecordProperty);
    record->watches.clear();
    if (record->depth == 0) delete record;  // else an outer call still holds it; leaking one record beats a crash
    return CallWindowProcA(original, window, msg, wp, lp);
  }
  ++record->depth;
  const LRESULT result = JudgeAndDeliver(window, record, msg, wp, lp);
  --record->depth;
  if (RecordOf(window) == record) ReleaseIfIdle(window, record);
  return result;
}

std::vector<UINT> FetchMessageList(HWND watcher) {
  std::vector<UINT> messages;
  for (WPARAM index = 0; index < 256; ++index) {
    DWORD_PTR number = 0;
    if (!SendMessageTimeoutA(watcher, RegisteredMessages().query, index, 0, SMTO_ABORTIFHUNG, kShortTimeoutMs,
                             &number) ||
        number == 0)
      break;
    messages.push_back(static_cast<UINT>(number - 1));
  }
  return messages;
}

HMODULE gThisModule = nullptr;  // set as the file loads
LONG gPinned = 0;

// Keeps this file loaded here after the hook that brought it is removed: a
// load of our own that is never undone. False when the file is not pinned.
bool PinThisModule() {
  if (InterlockedCompareExchange(&gPinned, 0, 0)) return true;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(ThisModule(), path, sizeof path);
  if (length == 0 || length >= sizeof path || !LoadLibraryA(path)) return false;
  InterlockedExchange(&gPinned, 1);
  return true;
}

void AnswerMenuCall(HWND window, DWORD callerProcess, LONG callNumber) {
  char mappingName[96], eventName[96];
  MenuObjectNames(callerProcess, callNumber, mappingName, eventName, sizeof mappingName);
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, mappingName);
  HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
  if (mapping && done) {
    if (auto* block = static_cast<MenuBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(MenuBlock)))) {
      if (block->call.op == kOpenHelperOp)
        block->result.value = reinterpret_cast<LONG_PTR>(OpenHelper(callerProcess));
      else
        RunMenuCall(window, block->call, block->result);
      UnmapViewOfFile(block);
      SetEvent(done);
    }
  }
  if (mapping) CloseHandle(mapping);
  if (done) CloseHandle(done);
}

// ---- the resident helper ----

constexpr char kHelperClass[] = "DWSBC36 Helper";

// Shared by the helper window and the thread waiting for its caller; the
// last of the two to let go frees it.
struct Helper {
  HWND window = nullptr;
  UINT release = 0;         // the message that takes the helper away
  HANDLE caller = nullptr;  // the calling process: written to, and waited for
  HANDLE stop = nullptr;    // set when the helper goes first
  LONG holders = 1;
};

void LetGo(Helper* helper) {
  if (InterlockedDecrement(&helper->holders) != 0) return;
  if (helper->stop) CloseHandle(helper->stop);
  CloseHandle(helper->caller);
  delete helper;
}

// The helper's own thread: takes the helper away once the calling process
// has ended, however it ended, and ends when the helper goes first.
DWORD WINAPI WaitForCaller(void* parameter) {
  auto* helper = static_cast<Helper*>(parameter);
  const HANDLE handles[] = {helper->stop, helper->caller};
  if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
    PostMessageA(helper->window, helper->release, 0, 0);
  LetGo(helper);
  return 0;
}

// Starts the thread waiting for the caller; false when it cannot run. The
// window does not wait for that thread to end: windows also go while their
// own thread ends, holding the loader lock that the waiting thread needs to
// end.
bool StartWaiting(Helper& helper) {
  helper.stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!helper.stop) return false;
  InterlockedIncrement(&helper.holders);
  DWORD threadId = 0;  // Windows 95 and 98 want somewhere to put it
  HANDLE thread = CreateThread(nullptr, 0, WaitForCaller, &helper, 0, &threadId);
  if (!thread) {
    InterlockedDecrement(&helper.holders);
    return false;
  }
  CloseHandle(thread);
  return true;
}

LRESULT RunHelperCall(Helper& helper, const HelperCall& request) {
  DwsbcMenuResult result{};
  RunMenuCall(reinterpret_cast<HWND>(request.window), request.call, result);
  SIZE_T written = 0;
  const bool delivered = WriteProcessMemory(helper.caller, reinterpret_cast<void*>(request.resultAddress), &result,
                                            sizeof result, &written) &&
                         written == sizeof result;
  return delivered ? kHelperDone : kHelperRefused;
}

LRESULT RunHelperCalls(Helper& helper, const COPYDATASTRUCT& data) {
  if (data.cbData < sizeof(HelperCalls)) return kHelperRefused;
  const auto* request = static_cast<const HelperCalls*>(data.lpData);
  if (request->count < 0 || request->count > kMaxCalls ||
      data.cbData != sizeof(HelperCalls) + static_cast<size_t>(request->count) * sizeof(DwsbcMenuCallData))
    return kHelperRefused;
  const auto* calls = reinterpret_cast<const DwsbcMenuCallData*>(request + 1);
  std::vector<DwsbcMenuResult> results(static_cast<size_t>(request->count));
  for (LONG i = 0; i < request->count; ++i) RunMenuCall(reinterpret_cast<HWND>(request->window), calls[i], results[i]);
  const SIZE_T size = results.size() * sizeof(DwsbcMenuResult);
  SIZE_T written = 0;
  const bool delivered =
      size == 0 || (WriteProcessMemory(helper.caller, reinterpret_cast<void*>(request->resultsAddress), results.data(),
                                       size, &written) &&
                    written == size);
  return delivered ? kHelperDone : kHelperRefused;
}

LRESULT RunHelperRead(Helper& helper, const HelperRead& request) {
  const LONG capacity = std::clamp<LONG>(request.capacity, 0, kMaxReadItems);
  std::vector<DwsbcMenuItem> items(static_cast<size_t>(capacity));
  const LONG count =
      ReadMenuItems(reinterpret_cast<HMENU>(request.menu), request.flags, request.count, items.data(), capacity);
  const SIZE_T filled = static_cast<SIZE_T>(std::clamp<LONG>(count, 0, capacity)) * sizeof(DwsbcMenuItem);
  SIZE_T written = 0, countWritten = 0;
  const bool delivered =
      (filled == 0 || (WriteProcessMemory(helper.caller, reinterpret_cast<void*>(request.itemsAddress), items.data(),
                                          filled, &written) &&
                       written == filled)) &&
      WriteProcessMemory(helper.caller, reinterpret_cast<void*>(request.countAddress), &count, sizeof count,
                         &countWritten) &&
      countWritten == sizeof count;
  return delivered ? kHelperDone : kHelperRefused;
}

LRESULT RunHelperAttach(const HelperAttach& request) {
  HWND window = reinterpret_cast<HWND>(request.window);
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return kHelperRefused;
  AttachHere(window, reinterpret_cast<HWND>(request.watcher));
  return kHelperDone;
}

LRESULT CALLBACK HelperProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto* helper = reinterpret_cast<Helper*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (helper && msg == WM_COPYDATA) {
    SetWindowLongPtrA(window, kRequestsIndex, GetWindowLongPtrA(window, kRequestsIndex) + 1);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (data && data->dwData == kHelperCallMagic && data->cbData == sizeof(HelperCall))
      return RunHelperCall(*helper, *static_cast<const HelperCall*>(data->lpData));
    if (data && data->dwData == kHelperCallsMagic) return RunHelperCalls(*helper, *data);
    if (data && data->dwData == kHelperReadMagic && data->cbData == sizeof(HelperRead))
      return RunHelperRead(*helper, *static_cast<const HelperRead*>(data->lpData));
    if (data && data->dwData == kHelperAttachMagic && data->cbData == sizeof(HelperAttach))
      return RunHelperAttach(*static_cast<const HelperAttach*>(data->lpData));
    return kHelperRefused;
  }
  if (helper && msg == RegisteredMessages().release) {
    DestroyWindow(window);
    return 1;
  }
  if (helper && msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (helper->stop) SetEvent(helper->stop);
    LetGo(helper);
  }
  return DefWindowProcA(window, msg, wp, lp);
}

}  // namespace

HWND OpenHelper(DWORD callerProcess) {
  if (!PinThisModule()) return nullptr;  // its window and thread run code of this file
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HelperProc;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = ThisModule();
  windowClass.lpszClassName = kHelperClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  HANDLE caller = OpenProcess(SYNCHRONIZE | PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, callerProcess);
  if (!caller) return nullptr;
  HWND window = CreateWindowExA(0, kHelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (!window)  // Windows 95 and 98 have no message-only windows: a hidden one serves as well
    window = CreateWindowExA(WS_EX_TOOLWINDOW, kHelperClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisModule(),
                             nullptr);
  if (!window) {
    CloseHandle(caller);
    return nullptr;
  }
  auto* helper = new Helper;
  helper->window = window;
  helper->release = RegisteredMessages().release;
  helper->caller = caller;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(helper));
  if (!StartWaiting(*helper)) {
    DestroyWindow(window);  // a helper nobody would ever take away is not made
    return nullptr;
  }
  return window;
}

void AttachHere(HWND window, HWND watcher) {
  std::vector<UINT> messages = FetchMessageList(watcher);
  PinThisModule();
  Record* record = RecordOf(window);
  if (!record) {
    record = new Record;
    SetPropA(window, kRecordProperty, record);
    record->original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  }
  RemoveWatch(record, watcher);
  record->watches.push_back({watcher, std::move(messages)});
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(watcher, RegisteredMessages().attached, reinterpret_cast<WPARAM>(window), 0, SMTO_ABORTIFHUNG,
                      kShortTimeoutMs, &ignored);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp) {
  auto* message = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && message) {
    const Messages& ours = RegisteredMessages();
    if (message->message == ours.attach && message->hwnd) {
      AttachHere(message->hwnd, reinterpret_cast<HWND>(message->wParam));
      message->message = WM_NULL;  // handled once, even with several hooks in the chain
    } else if (message->message == ours.menu) {
      PinThisModule();
      AnswerMenuCall(message->hwnd, static_cast<DWORD>(message->wParam), static_cast<LONG>(message->lParam));
      message->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void RunMenuCall(HWND window, const DwsbcMenuCallData& call, DwsbcMenuResult& result) {
  HMENU menu = reinterpret_cast<HMENU>(call.menu);
  const UINT item = static_cast<UINT>(call.item);
  char text[DWSBC_TEXT_SIZE];
  lstrcpynA(text, call.text, sizeof text);  // never trust the caller's terminator
  result.text[0] = '\0';
  SetLastError(0);
  switch (call.op) {
    case DWSBC_GETMENU: result.value = reinterpret_cast<LONG_PTR>(GetMenu(window)); break;
    case DWSBC_GETMENUITEMCOUNT: result.value = GetMenuItemCount(menu); break;
    case DWSBC_GETSUBMENU: result.value = reinterpret_cast<LONG_PTR>(GetSubMenu(menu, static_cast<int>(item))); break;
    case DWSBC_GETMENUITEMID: result.value = static_cast<int>(GetMenuItemID(menu, static_cast<int>(item))); break;
    case DWSBC_GETMENUSTRING: {
      const int count = std::clamp<int>(call.count, 0, DWSBC_TEXT_SIZE);
      result.value = GetMenuStringA(menu, item, result.text, count, call.flags);
      break;
    }
    case DWSBC_CREATEPOPUPMENU: result.value = reinterpret_cast<LONG_PTR>(CreatePopupMenu()); break;
    case DWSBC_APPENDMENU: result.value = AppendMenuA(menu, call.flags, static_cast<UINT_PTR>(call.id), text); break;
    case DWSBC_INSERTMENU:
      result.value = InsertMenuA(menu, item, call.flags, static_cast<UINT_PTR>(call.id), text);
      break;
    case DWSBC_DELETEMENU: result.value = DeleteMenu(menu, item, call.flags); break;
    case DWSBC_DRAWMENUBAR: result.value = DrawMenuBar(window); break;
    default: result.value = 0; SetLastError(ERROR_INVALID_PARAMETER);
  }
  result.error = GetLastError();
}

LONG ReadMenuItems(HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity) {
  const LONG itemCount = GetMenuItemCount(menu);
  const int textCount = std::clamp<int>(count, 0, DWSBC_TEXT_SIZE);
  for (LONG j = 0; j < itemCount && j < capacity; ++j) {
    DwsbcMenuItem& item = items[j];
    const UINT id = GetMenuItemID(menu, j);
    item.id = static_cast<int>(id);
    item.subMenu = reinterpret_cast<ULONGLONG>(GetSubMenu(menu, j));
    item.text[0] = '\0';
    item.length =
        GetMenuStringA(menu, (flags & MF_BYPOSITION) ? static_cast<UINT>(j) : id, item.text, textCount, flags);
  }
  return itemCount;
}

void MenuObjectNames(DWORD callerProcess, LONG callNumber, char* mapping, char* doneEvent, size_t size) {
  snprintf(mapping, size, "DWSBC36 Menu %lu %ld", static_cast<unsigned long>(callerProcess),
           static_cast<long>(callNumber));
  snprintf(doneEvent, size, "DWSBC36 Menu Done %lu %ld", static_cast<unsigned long>(callerProcess),
           static_cast<long>(callNumber));
}

const Messages& RegisteredMessages() {
  static const Messages messages{RegisterWindowMessageA("DWSBC36 Attach"), RegisterWindowMessageA("DWSBC36 Detach"),
                                 RegisterWindowMessageA("DWSBC36 Query"),  RegisterWindowMessageA("DWSBC36 Attached"),
                                 RegisterWindowMessageA("DWSBC36 Retval"), RegisterWindowMessageA("DWSBC36 Delayed"),
                                 RegisterWindowMessageA("DWSBC36 Gone"),   RegisterWindowMessageA("DWSBC36 Menu"),
                                 RegisterWindowMessageA("DWSBC36 Release")};
  return messages;
}

HMODULE ThisModule() { return gThisModule; }

}  // namespace dwsbc

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) dwsbc::gThisModule = instance;
  return TRUE;
}
