#include "runtime/OutsideLibraries.h"

#include <windows.h>

#include <utility>

#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

// Loads a system-directory file once; it stays loaded for the whole run,
// because code of dwsbc36.ocx keeps running behind hooks and windows.
HMODULE SystemLibrary(const std::string& fileName) {
  HMODULE module = LoadLibraryA(SystemFilePath(fileName).c_str());
  if (!module) throw RuntimeError(kErrFileNotFound, DescribeError(kErrFileNotFound) + ": " + fileName);
  return module;
}

template <typename Function>
Function Export(HMODULE module, const char* name, const std::string& fileName) {
  FARPROC address = GetProcAddress(module, name);
  if (!address) throw RuntimeError(kErrFileNotFound, DescribeError(kErrFileNotFound) + ": " + fileName + " " + name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

HWND ToHwnd(WindowHandle handle) { return static_cast<HWND>(ULongToHandle(handle)); }
WindowHandle FromHwnd(HWND window) { return HandleToULong(window); }

// ---- dwsbc36.ocx: the exported functions of the control ----
struct DwsbcInstance;
using WndMessageXCallback = void(CALLBACK*)(void*, HWND, UINT, WPARAM, LPARAM, LRESULT*, LONG*);
using DelayedEventCallback = void(CALLBACK*)(void*, LONG);

struct Dwsbc36 {
  static const Dwsbc36& Get() {
    static const Dwsbc36 library;
    return library;
  }
  DwsbcInstance*(WINAPI* create)(HWND);
  void(WINAPI* destroy)(DwsbcInstance*);
  void(WINAPI* setEvents)(DwsbcInstance*, WndMessageXCallback, DelayedEventCallback, void*);
  void(WINAPI* setMessages)(DwsbcInstance*, const UINT*, UINT);
  BOOL(WINAPI* setHWnd)(DwsbcInstance*, HWND);
  HWND(WINAPI* getHWnd)(DwsbcInstance*);
  void(WINAPI* setDelayedEvent)(DwsbcInstance*, LONG);

 private:
  Dwsbc36() {
    const std::string file = "dwsbc36.ocx";
    HMODULE module = SystemLibrary(file);
    create = Export<decltype(create)>(module, "DwsbcCreate", file);
    destroy = Export<decltype(destroy)>(module, "DwsbcDestroy", file);
    setEvents = Export<decltype(setEvents)>(module, "DwsbcSetEvents", file);
    setMessages = Export<decltype(setMessages)>(module, "DwsbcSetMessages", file);
    setHWnd = Export<decltype(setHWnd)>(module, "DwsbcSetHWnd", file);
    getHWnd = Export<decltype(getHWnd)>(module, "DwsbcGetHWnd", file);
    setDelayedEvent = Export<decltype(setDelayedEvent)>(module, "DwsbcSetDelayedEvent", file);
  }
};

class SubClass final : public SubClassControl {
 public:
  explicit SubClass(WindowHandle owner) : library_(Dwsbc36::Get()), instance_(library_.create(ToHwnd(owner))) {
    if (!instance_) throw RuntimeError(kErrOutOfMemory, DescribeError(kErrOutOfMemory));
    library_.setEvents(instance_, &SubClass::RaiseWndMessageX, &SubClass::RaiseDelayedEvent, this);
  }
  ~SubClass() override { library_.destroy(instance_); }

  void SetHWnd(WindowHandle window) override { library_.setHWnd(instance_, ToHwnd(window)); }
  WindowHandle GetHWnd() const override { return FromHwnd(library_.getHWnd(instance_)); }
  void SetMessages(const std::vector<std::uint32_t>& messages) override {
    const std::vector<UINT> list(messages.begin(), messages.end());
    library_.setMessages(instance_, list.data(), static_cast<UINT>(list.size()));
  }
  void SetDelayedEvent(std::int32_t value) override { library_.setDelayedEvent(instance_, value); }
  void OnWndMessageX(WndMessageXHandler handler) override { wndMessageX_ = std::move(handler); }
  void OnDelayedEvent(DelayedEventHandler handler) override { delayedEvent_ = std::move(handler); }

 private:
  // The events come through the control's C frames, so nothing may unwind
  // through them: a handler that fails lets the message pass.
  static void CALLBACK RaiseWndMessageX(void* context, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* retval,
                                        LONG* nodef) {
    auto* self = static_cast<SubClass*>(context);
    if (!self->wndMessageX_) return;
    std::intptr_t result = 0;
    std::int32_t keep = 0;
    try {
      self->wndMessageX_(FromHwnd(hwnd), msg, static_cast<std::intptr_t>(wp), static_cast<std::intptr_t>(lp), result,
                         keep);
    } catch (...) {
      return;
    }
    *retval = result;
    *nodef = keep;
  }
  static void CALLBACK RaiseDelayedEvent(void* context, LONG value) {
    auto* self = static_cast<SubClass*>(context);
    if (!self->delayedEvent_) return;
    try {
      self->delayedEvent_(value);
    } catch (...) {
    }
  }

  const Dwsbc36& library_;
  DwsbcInstance* instance_;
  WndMessageXHandler wndMessageX_;
  DelayedEventHandler delayedEvent_;
};

// ---- dwspy36.dll ----
class Dwspy36 final : public MemoryLibrary {
 public:
  Dwspy36() {
    const std::string file = "dwspy36.dll";
    HMODULE module = SystemLibrary(file);
    getModuleFileName_ = Export<decltype(getModuleFileName_)>(module, "dwXGetModuleFileName", file);
    copyData_ = Export<decltype(copyData_)>(module, "dwCopyData", file);
    getString_ = Export<decltype(getString_)>(module, "dwGetStringFromLPSTR", file);
  }

  std::string dwXGetModuleFileName(std::uint32_t processId, const std::string& moduleName) override {
    return ReadGrowing(
        [&](char* buffer, DWORD size) { return getModuleFileName_(processId, moduleName.c_str(), buffer, size); });
  }
  void dwCopyData(std::uintptr_t source, std::uintptr_t destination, std::uint32_t byteCount) override {
    copyData_(reinterpret_cast<const void*>(source), reinterpret_cast<void*>(destination), byteCount);
  }
  std::string dwGetStringFromLPSTR(std::uintptr_t address) override {
    return ReadGrowing(
        [&](char* buffer, DWORD size) { return getString_(reinterpret_cast<LPCSTR>(address), buffer, size); });
  }

 private:
  // The library reports the full length; ask again when it did not fit.
  template <typename Read>
  static std::string ReadGrowing(Read read) {
    std::string text(MAX_PATH, '\0');
    DWORD length = read(text.data(), static_cast<DWORD>(text.size()));
    if (length >= text.size()) {
      text.assign(static_cast<std::size_t>(length) + 1, '\0');
      length = read(text.data(), static_cast<DWORD>(text.size()));
    }
    text.resize(length < text.size() ? length : text.size() - 1);
    return text;
  }

  DWORD(WINAPI* getModuleFileName_)(DWORD, LPCSTR, LPSTR, DWORD);
  BOOL(WINAPI* copyData_)(const void*, void*, DWORD);
  DWORD(WINAPI* getString_)(LPCSTR, LPSTR, DWORD);
};

}  // namespace

std::string SystemFilePath(const std::string& fileName) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length < MAX_PATH ? length : 0) + "\\" + fileName;
}

std::unique_ptr<SubClassControl> CreateSubClass(WindowHandle owner) { return std::make_unique<SubClass>(owner); }

SubClassFactory SystemSubClassFactory() { return &CreateSubClass; }

std::unique_ptr<MemoryLibrary> LoadMemoryLibrary() { return std::make_unique<Dwspy36>(); }

}  // namespace glimra
