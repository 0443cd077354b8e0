// The watcher's side of dwsbc36: instances with their hidden windows, the
// attach handshake and the menu calls.
#include "dwsbc36.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Protocol.h"

struct DwsbcInstance {
  HWND window = nullptr;   // hidden; the watched process talks to it
  HWND watched = nullptr;  // the handle last assigned
  bool attached = false;   // the watched thread has confirmed
  std::vector<UINT> messages;
  DwsbcWndMessageX wndMessageX = nullptr;
  DwsbcDelayedEvent delayedEvent = nullptr;
  void* context = nullptr;
  LRESULT retval = 0;           // result of the last swallowed message
  int handlerDepth = 0;         // WndMessageX calls in progress
  bool delayedAsked = false;    // requested inside the current WndMessageX
  bool delayedPending = false;  // DelayedEvent still to be raised
  LONG delayedValue = 0;
};

namespace {

using dwsbc::RegisteredMessages;

constexpr char kWatcherClass[] = "DWSBC36 SubClass";
constexpr DWORD kAttachTimeoutMs = 5000;
constexpr DWORD kDetachTimeoutMs = 2000;

LRESULT Judge(DwsbcInstance* self, const dwsbc::Ask& ask) {
  HWND hwnd = reinterpret_cast<HWND>(ask.hwnd);
  if (!self->attached || hwnd != self->watched) return 0;  // detached meanwhile: pass untouched
  LRESULT retval = 0;
  LONG nodef = 0;
  ++self->handlerDepth;
  if (self->wndMessageX)
    self->wndMessageX(self->context, hwnd, ask.msg, static_cast<WPARAM>(ask.wp), static_cast<LPARAM>(ask.lp), &retval,
                      &nodef);
  --self->handlerDepth;
  LRESULT answer = dwsbc::kJudged;
  if (nodef) {
    self->retval = retval;
    answer |= dwsbc::kSwallow;
  }
  if (self->delayedAsked && self->handlerDepth == 0) {
    self->delayedAsked = false;
    answer |= dwsbc::kDelayed;
  }
  return answer;
}

void RaiseDelayed(DwsbcInstance* self) {
  if (!self->delayedPending) return;
  self->delayedPending = false;
  if (self->delayedEvent) self->delayedEvent(self->context, self->delayedValue);
}

LRESULT CALLBACK WatcherProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<DwsbcInstance*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, msg, wp, lp);
  const dwsbc::Messages& ours = RegisteredMessages();
  if (msg == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    if (!data || data->dwData != dwsbc::kAskMagic || data->cbData != sizeof(dwsbc::Ask)) return 0;
    return Judge(self, *static_cast<const dwsbc::Ask*>(data->lpData));
  }
  if (msg == ours.query) return wp < self->messages.size() ? self->messages[wp] + 1 : 0;
  if (msg == ours.attached) {
    if (reinterpret_cast<HWND>(wp) == self->watched) self->attached = true;
    return 1;
  }
  if (msg == ours.retval) return self->retval;
  if (msg == ours.delayed) {
    RaiseDelayed(self);
    return 0;
  }
  if (msg == ours.gone) {
    if (reinterpret_cast<HWND>(wp) == self->watched) self->attached = false;
    return 0;
  }
  return DefWindowProcA(window, msg, wp, lp);
}

HWND CreateWatcherWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WatcherProc;
  windowClass.hInstance = dwsbc::ThisModule();
  windowClass.lpszClassName = kWatcherClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  return CreateWindowExA(WS_EX_TOOLWINDOW, kWatcherClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         dwsbc::ThisModule(), nullptr);
}

// Lets messages sent to this thread run (the watched side calls back while
// we wait) until `done` holds, `handle` is signalled or the time is up.
template <typename Done>
bool WaitServingSentMessages(Done done, HANDLE handle, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;  // right across the counter's wrap after 49.7 days
    if (elapsed >= timeoutMs) return false;
    const DWORD wait = timeoutMs - elapsed < 50 ? timeoutMs - elapsed : 50;
    const DWORD count = handle ? 1 : 0;
    if (MsgWaitForMultipleObjects(count, handle ? &handle : nullptr, FALSE, wait, QS_SENDMESSAGE) == WAIT_OBJECT_0 &&
        handle)
      return done();
  }
}

void Detach(DwsbcInstance* self) {
  HWND watched = self->watched;
  const bool attached = self->attached;
  self->watched = nullptr;
  self->attached = false;
  if (!attached || !IsWindow(watched)) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(watched, RegisteredMessages().detach, reinterpret_cast<WPARAM>(self->window), 0, SMTO_ABORTIFHUNG,
                      kDetachTimeoutMs, &ignored);
}

// ---- the menu call through a hook, one call at a time ----

// Carries `call` into the thread of `window` with a WH_GETMESSAGE hook that
// is installed for this one call and removed again.
bool HookedMenuCall(HWND window, DWORD thread, const DwsbcMenuCallData& call, DwsbcMenuResult& result,
                    DWORD timeoutMs) {
  static LONG callCounter = 0;
  const LONG callNumber = InterlockedIncrement(&callCounter);
  char mappingName[96], eventName[96];
  dwsbc::MenuObjectNames(GetCurrentProcessId(), callNumber, mappingName, eventName, sizeof mappingName);
  HANDLE mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(dwsbc::MenuBlock), mappingName);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, eventName);
  auto* block =
      mapping
          ? static_cast<dwsbc::MenuBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(dwsbc::MenuBlock)))
          : nullptr;
  bool answered = false;
  if (block && done) {
    block->call = call;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, dwsbc::GetMessageHook, dwsbc::ThisModule(), thread);
    if (hook && PostMessageA(window, RegisteredMessages().menu, GetCurrentProcessId(), callNumber)) {
      answered =
          WaitServingSentMessages([&] { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }, done, timeoutMs);
      if (answered) result = block->result;
    }
    if (hook) UnhookWindowsHookEx(hook);
  }
  if (block) UnmapViewOfFile(block);
  if (mapping) CloseHandle(mapping);
  if (done) CloseHandle(done);
  return answered;
}

// ---- the resident helpers of this process, one per watched thread ----

struct HelperEntry {
  DWORD thread;
  HWND helper;
};

class HelperTable {
 public:
  HelperTable() { InitializeCriticalSection(&lock_); }
  ~HelperTable() { DeleteCriticalSection(&lock_); }
  HelperTable(const HelperTable&) = delete;
  HelperTable& operator=(const HelperTable&) = delete;

  HWND Find(DWORD thread) {
    EnterCriticalSection(&lock_);
    HWND helper = nullptr;
    for (const HelperEntry& entry : entries_)
      if (entry.thread == thread) helper = entry.helper;
    LeaveCriticalSection(&lock_);
    return helper;
  }
  void Add(DWORD thread, HWND helper) {
    EnterCriticalSection(&lock_);
    entries_.push_back({thread, helper});
    LeaveCriticalSection(&lock_);
  }
  void Forget(DWORD thread) {
    EnterCriticalSection(&lock_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->thread != thread) continue;
      entries_.erase(it);
      break;
    }
    LeaveCriticalSection(&lock_);
  }

 private:
  CRITICAL_SECTION lock_;
  std::vector<HelperEntry> entries_;
};
HelperTable gHelpers;

HWND KnownHelper(DWORD thread) { return gHelpers.Find(thread); }

void ForgetHelper(DWORD thread) { gHelpers.Forget(thread); }

// The helper on the thread of `window`, made with one hooked call the first
// time; 0 when it cannot be had (the caller then hooks every call).
HWND HelperFor(HWND window, DWORD thread, DWORD timeoutMs) {
  HWND helper = KnownHelper(thread);
  if (helper && GetWindowThreadProcessId(helper, nullptr) == thread) return helper;
  ForgetHelper(thread);  // its thread or its process has ended meanwhile
  DwsbcMenuCallData open{};
  open.op = dwsbc::kOpenHelperOp;
  DwsbcMenuResult opened{};
  if (!HookedMenuCall(window, thread, open, opened, timeoutMs) || opened.value == 0) return nullptr;
  helper = reinterpret_cast<HWND>(opened.value);
  gHelpers.Add(thread, helper);
  return helper;
}

// One WM_COPYDATA to the helper; its answer, or 0 when it did not answer.
LRESULT AskHelper(HWND helper, ULONG_PTR magic, const void* request, DWORD size, DWORD timeoutMs) {
  COPYDATASTRUCT data{magic, size, const_cast<void*>(request)};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(helper, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, timeoutMs,
                           &answer))
    return 0;
  return static_cast<LRESULT>(answer);
}

bool HelperMenuCall(HWND helper, HWND window, const DwsbcMenuCallData& call, DwsbcMenuResult& result, DWORD timeoutMs) {
  // The helper writes the result straight into this process. Should the
  // answer come too late, it lands in a block that is never freed, not in
  // memory that is in use again by then.
  auto* block = new DwsbcMenuResult{};
  dwsbc::HelperCall request{reinterpret_cast<ULONGLONG>(window), reinterpret_cast<ULONGLONG>(block), call};
  const LRESULT answer = AskHelper(helper, dwsbc::kHelperCallMagic, &request, sizeof request, timeoutMs);
  if (answer == 0) return false;  // leaves the block to a late answer
  if (answer == dwsbc::kHelperDone) result = *block;
  delete block;
  return answer == dwsbc::kHelperDone;
}

bool HelperMenuCalls(HWND helper, HWND window, const DwsbcMenuCallData* calls, DwsbcMenuResult* results, LONG count,
                     DWORD timeoutMs) {
  std::vector<unsigned char> request(sizeof(dwsbc::HelperCalls) +
                                     static_cast<size_t>(count) * sizeof(DwsbcMenuCallData));
  // As with one call: a late answer lands in a block that is never freed.
  auto* block = new DwsbcMenuResult[static_cast<size_t>(count > 0 ? count : 1)];
  const dwsbc::HelperCalls header{reinterpret_cast<ULONGLONG>(window), reinterpret_cast<ULONGLONG>(block), count, 0};
  std::memcpy(request.data(), &header, sizeof header);
  if (count > 0)
    std::memcpy(request.data() + sizeof header, calls, static_cast<size_t>(count) * sizeof(DwsbcMenuCallData));
  const LRESULT answer =
      AskHelper(helper, dwsbc::kHelperCallsMagic, request.data(), static_cast<DWORD>(request.size()), timeoutMs);
  if (answer == 0) return false;
  if (answer == dwsbc::kHelperDone) std::copy(block, block + count, results);
  delete[] block;
  return answer == dwsbc::kHelperDone;
}

bool HelperReadItems(HWND helper, HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity,
                     LONG& itemCount, DWORD timeoutMs) {
  // As with a call: a late answer lands in blocks that are never freed.
  auto* block = new DwsbcMenuItem[static_cast<size_t>(capacity > 0 ? capacity : 1)];
  auto* countBlock = new LONG(-1);
  const dwsbc::HelperRead request{reinterpret_cast<ULONGLONG>(menu),
                                  reinterpret_cast<ULONGLONG>(block),
                                  reinterpret_cast<ULONGLONG>(countBlock),
                                  flags,
                                  count,
                                  capacity,
                                  0};
  const LRESULT answer = AskHelper(helper, dwsbc::kHelperReadMagic, &request, sizeof request, timeoutMs);
  if (answer == 0) return false;
  if (answer == dwsbc::kHelperDone) {
    itemCount = *countBlock;
    const LONG filled = itemCount < 0 ? 0 : (itemCount < capacity ? itemCount : capacity);
    std::copy(block, block + filled, items);
  }
  delete[] block;
  delete countBlock;
  return answer == dwsbc::kHelperDone;
}

// The same reads one call at a time, for a thread without a helper.
bool ReadItemsByCalls(HWND window, HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity,
                      LONG& itemCount, DWORD timeoutMs) {
  DwsbcMenuCallData call{};
  DwsbcMenuResult result{};
  call.op = DWSBC_GETMENUITEMCOUNT;
  call.menu = reinterpret_cast<ULONGLONG>(menu);
  if (!DwsbcMenuCall(window, &call, &result, timeoutMs)) return false;
  itemCount = static_cast<LONG>(result.value);
  for (LONG j = 0; j < itemCount && j < capacity; ++j) {
    DwsbcMenuItem& item = items[j];
    call.item = static_cast<ULONGLONG>(j);
    call.op = DWSBC_GETMENUITEMID;
    if (!DwsbcMenuCall(window, &call, &result, timeoutMs)) return false;
    item.id = result.value;
    call.op = DWSBC_GETSUBMENU;
    if (!DwsbcMenuCall(window, &call, &result, timeoutMs)) return false;
    item.subMenu = static_cast<ULONGLONG>(result.value);
    DwsbcMenuCallData text = call;
    text.op = DWSBC_GETMENUSTRING;
    text.item =
        (flags & MF_BYPOSITION) ? static_cast<ULONGLONG>(j) : static_cast<ULONGLONG>(static_cast<UINT>(item.id));
    text.flags = flags;
    text.count = count;
    if (!DwsbcMenuCall(window, &text, &result, timeoutMs)) return false;
    item.length = result.value;
    lstrcpynA(item.text, result.text, DWSBC_TEXT_SIZE);
  }
  return true;
}

bool Attach(DwsbcInstance* self, HWND window) {
  self->watched = window;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!thread) return false;
  if (thread == GetCurrentThreadId()) {
    dwsbc::AttachHere(window, self->window);
    return self->attached;
  }
  if (HWND helper = HelperFor(window, thread, kAttachTimeoutMs)) {
    const dwsbc::HelperAttach request{reinterpret_cast<ULONGLONG>(window), reinterpret_cast<ULONGLONG>(self->window)};
    if (AskHelper(helper, dwsbc::kHelperAttachMagic, &request, sizeof request, kAttachTimeoutMs) == dwsbc::kHelperDone)
      return self->attached;
  }
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, dwsbc::GetMessageHook, dwsbc::ThisModule(), thread);
  if (!hook) return false;
  PostMessageA(window, RegisteredMessages().attach, reinterpret_cast<WPARAM>(self->window), 0);
  WaitServingSentMessages([&] { return self->attached || !IsWindow(window); }, nullptr, kAttachTimeoutMs);
  UnhookWindowsHookEx(hook);  // the file stays pinned in the watched process
  return self->attached;
}

}  // namespace

extern "C" {

DwsbcInstance* WINAPI DwsbcCreate(HWND) {
  auto* self = new DwsbcInstance;
  self->window = CreateWatcherWindow();
  if (!self->window) {
    delete self;
    return nullptr;
  }
  SetWindowLongPtrA(self->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  return self;
}

void WINAPI DwsbcDestroy(DwsbcInstance* self) {
  if (!self) return;
  Detach(self);
  SetWindowLongPtrA(self->window, GWLP_USERDATA, 0);
  DestroyWindow(self->window);
  delete self;
}

void WINAPI DwsbcSetEvents(DwsbcInstance* self, DwsbcWndMessageX wndMessageX, DwsbcDelayedEvent delayedEvent,
                           void* context) {
  if (!self) return;
  self->wndMessageX = wndMessageX;
  self->delayedEvent = delayedEvent;
  self->context = context;
}

void WINAPI DwsbcSetMessages(DwsbcInstance* self, const UINT* messages, UINT count) {
  if (!self) return;
  self->messages.assign(messages, messages + (messages ? count : 0));
}

BOOL WINAPI DwsbcSetHWnd(DwsbcInstance* self, HWND window) {
  if (!self) return FALSE;
  Detach(self);
  if (!window) return TRUE;
  return Attach(self, window) ? TRUE : FALSE;
}

HWND WINAPI DwsbcGetHWnd(DwsbcInstance* self) { return self ? self->watched : nullptr; }

void WINAPI DwsbcSetDelayedEvent(DwsbcInstance* self, LONG value) {
  if (!self) return;
  self->delayedValue = value;
  self->delayedPending = true;
  if (self->handlerDepth > 0)
    self->delayedAsked = true;  // the watched side posts it back once the message has returned
  else
    PostMessageA(self->window, RegisteredMessages().delayed, 0, 0);
}

BOOL WINAPI DwsbcMenuCall(HWND window, const DwsbcMenuCallData* call, DwsbcMenuResult* result, DWORD timeoutMs) {
  if (!call || !result || call->op == dwsbc::kOpenHelperOp) return FALSE;
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  if (!thread) return FALSE;
  if (process == GetCurrentProcessId()) {  // our own menus need no helper
    dwsbc::RunMenuCall(window, *call, *result);
    return TRUE;
  }
  if (HWND helper = HelperFor(window, thread, timeoutMs)) {
    if (HelperMenuCall(helper, window, *call, *result, timeoutMs)) return TRUE;
    if (IsWindow(helper)) return FALSE;  // alive but silent: the owner is busy
    ForgetHelper(thread);
  }
  return HookedMenuCall(window, thread, *call, *result, timeoutMs) ? TRUE : FALSE;
}

BOOL WINAPI DwsbcMenuCalls(HWND window, const DwsbcMenuCallData* calls, DwsbcMenuResult* results, LONG count,
                           DWORD timeoutMs) {
  if (count < 0 || count > dwsbc::kMaxCalls || (count > 0 && (!calls || !results))) return FALSE;
  for (LONG i = 0; i < count; ++i)
    if (calls[i].op == dwsbc::kOpenHelperOp) return FALSE;
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  if (!thread) return FALSE;
  if (process == GetCurrentProcessId()) {  // our own menus need no helper
    for (LONG i = 0; i < count; ++i) dwsbc::RunMenuCall(window, calls[i], results[i]);
    return TRUE;
  }
  if (HWND helper = HelperFor(window, thread, timeoutMs)) {
    if (HelperMenuCalls(helper, window, calls, results, count, timeoutMs)) return TRUE;
    if (IsWindow(helper)) return FALSE;  // alive but silent: the owner is busy
    ForgetHelper(thread);
  }
  for (LONG i = 0; i < count; ++i)
    if (!HookedMenuCall(window, thread, calls[i], results[i], timeoutMs)) return FALSE;
  return TRUE;
}

BOOL WINAPI DwsbcMenuReadItems(HWND window, HMENU menu, UINT flags, LONG count, DwsbcMenuItem* items, LONG capacity,
                               LONG* itemCount, DWORD timeoutMs) {
  if (!itemCount || capacity < 0 || (capacity > 0 && !items)) return FALSE;
  capacity = capacity < dwsbc::kMaxReadItems ? capacity : dwsbc::kMaxReadItems;
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  if (!thread) return FALSE;
  if (process == GetCurrentProcessId()) {  // our own menus need no helper
    *itemCount = dwsbc::ReadMenuItems(menu, flags, count, items, capacity);
    return TRUE;
  }
  if (HWND helper = HelperFor(window, thread, timeoutMs)) {
    if (HelperReadItems(helper, menu, flags, count, items, capacity, *itemCount, timeoutMs)) return TRUE;
    if (IsWindow(helper)) return FALSE;  // alive but silent: the owner is busy
    ForgetHelper(thread);
  }
  return ReadItemsByCalls(window, menu, flags, count, items, capacity, *itemCount, timeoutMs) ? TRUE : FALSE;
}

BOOL WINAPI DwsbcReleaseHelper(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  HWND helper = thread ? KnownHelper(thread) : nullptr;
  if (!helper) return FALSE;
  ForgetHelper(thread);
  DWORD_PTR ignored = 0;
  if (GetWindowThreadProcessId(helper, nullptr) == thread)
    SendMessageTimeoutA(helper, RegisteredMessages().release, 0, 0, SMTO_ABORTIFHUNG, kDetachTimeoutMs, &ignored);
  return TRUE;
}

// The setup registers every .ocx; there is nothing to enter in the registry.
__declspec(dllexport) HRESULT WINAPI DllRegisterServer() { return S_OK; }
__declspec(dllexport) HRESULT WINAPI DllUnregisterServer() { return S_OK; }

}  // extern "C"
