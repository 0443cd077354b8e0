#include "runtime/ZolBar.h"

#include "runtime/OutsideLibraries.h"
#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

// The control's messages (the contract of zolbar.ocx).
constexpr UINT kSetValue = WM_USER + 100;
constexpr UINT kGetValue = WM_USER + 101;
constexpr UINT kSetColor = WM_USER + 102;
constexpr UINT kGetColor = WM_USER + 103;

using CreateFunction = HWND(WINAPI*)(HWND, int, int, int, int, UINT);

CreateFunction ZolBarCreate() {
  static const CreateFunction create = [] {
    HMODULE module = LoadLibraryA(SystemFilePath("zolbar.ocx").c_str());
    FARPROC address = module ? GetProcAddress(module, "ZolBarCreate") : nullptr;
    if (!address) throw RuntimeError(kErrFileNotFound, DescribeError(kErrFileNotFound) + ": zolbar.ocx");
    return reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(address));
  }();
  return create;
}

}  // namespace

ZolBar::ZolBar(HWND parent, int x, int y, int width, int height, UINT id)
    : window_(ZolBarCreate()(parent, x, y, width, height, id)) {
  if (!window_) RaiseError(kErrOutOfMemory);
}

ZolBar::~ZolBar() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

void ZolBar::SetCaption(const std::string& caption) {
  SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

std::string ZolBar::Caption() const {
  std::string text(static_cast<std::size_t>(SendMessageA(window_, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  const LRESULT length = SendMessageA(window_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void ZolBar::SetValue(int value) {
  SendMessageA(window_, kSetValue, static_cast<WPARAM>(static_cast<INT_PTR>(value)), 0);
}

int ZolBar::Value() const { return static_cast<int>(SendMessageA(window_, kGetValue, 0, 0)); }

void ZolBar::SetColor(ColorPart part, COLORREF color) { SendMessageA(window_, kSetColor, part, color); }

COLORREF ZolBar::Color(ColorPart part) const {
  return static_cast<COLORREF>(SendMessageA(window_, kGetColor, part, 0));
}

}  // namespace glimra
