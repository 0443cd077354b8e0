// What Glimra relies on from the two outside libraries that watch another
// program's windows and read its memory. The stand-ins (or any replacement)
// implement these; Glimra's code only talks to the interfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace glimra {

// A 32-bit window handle value; 0 means none.
using WindowHandle = std::uint32_t;

// One instance watches one window of another process, for a fixed list of
// message numbers.
class SubClassControl {
 public:
  // Raised on Glimra's UI thread, inside the watched program's sending of the
  // message and before the watched window's own procedure sees it. Setting
  // `nodef` non-zero keeps the message from the window; `retval` is then the
  // message's result. Handlers must not wait for the watched program.
  using WndMessageXHandler = std::function<void(WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp,
                                                std::intptr_t lp, std::intptr_t& retval, std::int32_t& nodef)>;
  // Raised once after the message being handled has returned.
  using DelayedEventHandler = std::function<void(std::int32_t value)>;

  virtual ~SubClassControl() = default;

  // The window property (dispatch id 2): assigning attaches to the window,
  // assigning 0 detaches; reading returns the handle last assigned.
  virtual void SetHWnd(WindowHandle window) = 0;
  virtual WindowHandle GetHWnd() const = 0;

  // The message list, fixed when the owning window is built: only these raise events.
  virtual void SetMessages(const std::vector<std::uint32_t>& messages) = 0;

  // The delayed-event property (dispatch id 6): assigning makes the control
  // raise DelayedEvent(value) once, after the current message has returned.
  virtual void SetDelayedEvent(std::int32_t value) = 0;

  virtual void OnWndMessageX(WndMessageXHandler handler) = 0;
  virtual void OnDelayedEvent(DelayedEventHandler handler) = 0;
};

// Makes a SubClass control hosted by the Glimra window `owner`.
using SubClassFactory = std::function<std::unique_ptr<SubClassControl>(WindowHandle owner)>;

// The memory and module library (dwspy36.dll), imported by name.
class MemoryLibrary {
 public:
  virtual ~MemoryLibrary() = default;
  // The full path of module `moduleName` as loaded in process `processId`.
  virtual std::string dwXGetModuleFileName(std::uint32_t processId, const std::string& moduleName) = 0;
  // Copies `byteCount` bytes from `source` to `destination`. Addresses are
  // pointer-sized: a 64-bit process's memory does not fit in 32 bits.
  virtual void dwCopyData(std::uintptr_t source, std::uintptr_t destination, std::uint32_t byteCount) = 0;
  // The NUL-ended ANSI string at `address` (empty for address 0).
  virtual std::string dwGetStringFromLPSTR(std::uintptr_t address) = 0;
};

}  // namespace glimra
