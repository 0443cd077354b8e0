// zolbar.ocx: a sunken progress bar that fills from the left, its caption
// centred and drawn in a second colour where the bar covers it.
#include "zolbar.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr char kClassName[] = "ZolBar";

struct Bar {
  int value = 0;
  COLORREF colors[4] = {0x80000000 | COLOR_BTNFACE, RGB(0, 0, 128), RGB(0, 0, 0), RGB(255, 255, 255)};
};

COLORREF Resolve(COLORREF color) { return (color & 0x80000000) ? GetSysColor(static_cast<int>(color & 0xFF)) : color; }

HMODULE gThisModule = nullptr;  // set as the file loads

HMODULE ThisModule() { return gThisModule; }

void DrawCaption(HDC dc, HWND window, const RECT& area, COLORREF color) {
  char caption[512] = {};
  GetWindowTextA(window, caption, sizeof caption);
  SetTextColor(dc, color);
  RECT box = area;
  DrawTextA(dc, caption, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// One pass per part: the empty part with its caption colour, then the filled
// part, each clipped to its own rectangle, so the caption changes colour where
// the bar runs through it.
void Paint(HWND window, HDC dc, const Bar& bar) {
  RECT client;
  GetClientRect(window, &client);
  RECT inner = client;
  DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  const int fill = inner.left + (inner.right - inner.left) * bar.value / 100;
  RECT empty = {fill, inner.top, inner.right, inner.bottom};
  RECT filled = {inner.left, inner.top, fill, inner.bottom};

  HFONT font = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const struct {
    RECT part;
    COLORREF back, text;
  } passes[] = {{empty, Resolve(bar.colors[ZB_BACKCOLOR]), Resolve(bar.colors[ZB_FORECOLOR])},
                {filled, Resolve(bar.colors[ZB_BARCOLOR]), Resolve(bar.colors[ZB_BARTEXTCOLOR])}};
  for (const auto& pass : passes) {
    if (pass.part.right <= pass.part.left) continue;
    HBRUSH brush = CreateSolidBrush(pass.back);
    FillRect(dc, &pass.part, brush);
    DeleteObject(brush);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, pass.part.left, pass.part.top, pass.part.right, pass.part.bottom);
    DrawCaption(dc, window, inner, pass.text);
    RestoreDC(dc, saved);
  }
  SelectObject(dc, oldFont);
}

LRESULT CALLBACK BarProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto* bar = reinterpret_cast<Bar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Bar)); break;
    case WM_NCDESTROY:
      delete bar;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      break;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(window, msg, wp, lp);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    case ZBM_SETVALUE:
      if (!bar) return 0;
      bar->value = std::clamp(static_cast<int>(static_cast<INT_PTR>(wp)), 0, 100);
      InvalidateRect(window, nullptr, FALSE);
      return bar->value;
    case ZBM_GETVALUE: return bar ? bar->value : 0;
    case ZBM_SETCOLOR:
      if (!bar || wp > ZB_BARTEXTCOLOR) return 0;
      bar->colors[wp] = static_cast<COLORREF>(lp);
      InvalidateRect(window, nullptr, FALSE);
      return 1;
    case ZBM_GETCOLOR: return (bar && wp <= ZB_BARTEXTCOLOR) ? bar->colors[wp] : 0;
    case WM_ERASEBKGND: return 1;
    case WM_PRINTCLIENT:
      if (bar) Paint(window, reinterpret_cast<HDC>(wp), *bar);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (bar) Paint(window, dc, *bar);
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcA(window, msg, wp, lp);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) gThisModule = instance;
  return TRUE;
}

HWND WINAPI ZolBarCreate(HWND parent, int x, int y, int width, int height, UINT id) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = BarProc;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  return CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ThisModule(), nullptr);
}

// The setup registers every .ocx; there is nothing to enter in the registry.
__declspec(dllexport) HRESULT WINAPI DllRegisterServer() { return S_OK; }
__declspec(dllexport) HRESULT WINAPI DllUnregisterServer() { return S_OK; }

}  // extern "C"
