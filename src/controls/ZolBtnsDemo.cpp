// Shows the zolButton and the FlatButton, idle and pressed, in the Windows, AOL
// and user colour looks, hosted in a container we did not write: the ATL
// control host that Windows and Wine ship ("AtlAxWin"), created by
// programmatic identifier, coloured by property name, Click through the
// control's event interface (each Click counted in the caption).
#include <windows.h>

#include <string>
#include <vector>

#include "ZolBtns.h"

namespace {

struct Look {
  const char* name;
  COLORREF window;  // OLE_COLOR values as the looks set them
  DWORD buttonBack, buttonBorder, buttonText, filler, focus, shadow;
  DWORD flatBack, flatHighlight, flatText;
  bool setFocusColor;
};

const Look kLooks[] = {
    {"Windows style", 0x8000000F, 0x8000000F, 0, 0x80000012, 0x8000000F, 0, 0x80000010, 0x8000000F, 0x80000014,
     0x80000012, false},
    {"AOL style", 0xF0FBFF, 0xAD6D00, 0, 0xFFFFFF, 0xF0FBFF, 0xFFFFFF, 0x808080, 0xAD6D00, 0xFFB28C, 0xFFFFFF, true},
    {"User colours", 0x8000000F, 0xAD6D00, 0xFFB28C, 0xFFFFFF, 0x8000000F, 0, 0x80000010, 0xAD6D00, 0xFFB28C, 0xFFFFFF,
     false},
};

constexpr int kRowHeight = 60;
constexpr int kLabelWidth = 110;
std::vector<IDispatch*> g_controls;

COLORREF Resolve(DWORD color) { return (color & 0x80000000) ? GetSysColor(color & 0xFF) : color; }

void Put(IDispatch* control, const wchar_t* name, VARIANT value) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

void PutColor(IDispatch* control, const wchar_t* name, DWORD color) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = static_cast<LONG>(color);
  Put(control, name, value);
}

void PutText(IDispatch* control, const wchar_t* name, const wchar_t* text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  Put(control, name, value);
  SysFreeString(value.bstrVal);
}

void CallMethod(IDispatch* control, const wchar_t* name) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPPARAMS none{};
  if (SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

constexpr char kCaption[] = "ZolBtns sample";
HWND g_demo = nullptr;

// Hears the Click of every button of one kind: beeps, and counts it in the
// demo's caption ("ZolBtns sample - FlatButton clicked (2)"), so whoever
// watches sees each click arrive once.
class ClickCounter final : public IDispatch {
 public:
  explicit ClickCounter(const char* kind) : kind_(kind) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    if (id != kZolEventClick) return S_OK;
    MessageBeep(MB_OK);
    const std::string caption = std::string(kCaption) + " - " + kind_ + " clicked (" + std::to_string(++clicks_) + ")";
    SetWindowTextA(g_demo, caption.c_str());
    return S_OK;
  }

 private:
  const char* kind_;
  int clicks_ = 0;
};
ClickCounter g_zolButtonClicks("zolButton"), g_flatButtonClicks("FlatButton");

using AxWinInit = BOOL(WINAPI*)();
using AxGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
const char* g_hostClass = nullptr;
AxGetControl g_getControl = nullptr;

// Wine's and Windows' ATL control host, from atl.dll or atl100.dll.
bool LoadAtlHost() {
  const struct {
    const char* library;
    const char* hostClass;
  } hosts[] = {{"atl.dll", "AtlAxWin"}, {"atl100.dll", "AtlAxWin100"}};
  for (const auto& host : hosts) {
    HMODULE atl = LoadLibraryA(host.library);
    if (!atl) continue;
    auto init = reinterpret_cast<AxWinInit>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    g_getControl = reinterpret_cast<AxGetControl>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (init && g_getControl && init()) {
      g_hostClass = host.hostClass;
      return true;
    }
  }
  return false;
}

IDispatch* Place(HWND parent, const char* progId, UINT id, int x, int y) {
  HWND host = CreateWindowExA(0, g_hostClass, progId, WS_CHILD | WS_VISIBLE, x, y, 81, 25, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  IUnknown* unknown = nullptr;
  if (!host || FAILED(g_getControl(host, &unknown)) || !unknown) return nullptr;
  IDispatch* control = nullptr;
  unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control));
  IConnectionPointContainer* points = nullptr;
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;
  if (SUCCEEDED(unknown->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
    const bool zolButton = lstrcmpA(progId, ZOLBTNS_PROGID_ZOLBUTTON_A) == 0;
    const IID& events = zolButton ? DIID__zolButtonEvents : DIID__FlatButtonEvents;
    if (SUCCEEDED(points->FindConnectionPoint(events, &point))) {
      point->Advise(zolButton ? &g_zolButtonClicks : &g_flatButtonClicks, &cookie);
      point->Release();
    }
    points->Release();
  }
  unknown->Release();
  if (control) g_controls.push_back(control);
  return control;
}

void ColourButton(IDispatch* button, const Look& look) {
  PutColor(button, L"BackColor", look.buttonBack);
  PutColor(button, L"BorderColor", look.buttonBorder);
  PutColor(button, L"ForeColor", look.buttonText);
  PutColor(button, L"FillerBackground", look.filler);
  if (look.setFocusColor) PutColor(button, L"FocusColor", look.focus);
  PutColor(button, L"ShadowColor", look.shadow);
}

void ColourOption(IDispatch* button, const Look& look, bool selected) {
  PutColor(button, L"BackColor", selected ? 0x0000C0 : look.flatBack);
  PutColor(button, L"Highlight", selected ? 0x0000FF : look.flatHighlight);
  PutColor(button, L"ForeColor", selected ? 0xFFFFFF : look.flatText);
}

void Build(HWND window) {
  UINT id = 100;
  for (int row = 0; row < 3; ++row) {
    const Look& look = kLooks[row];
    const int y = 20 + row * kRowHeight;
    IDispatch* idle = Place(window, ZOLBTNS_PROGID_ZOLBUTTON_A, id++, kLabelWidth, y);
    IDispatch* pressed = Place(window, ZOLBTNS_PROGID_ZOLBUTTON_A, id++, kLabelWidth + 95, y);
    IDispatch* flat = Place(window, ZOLBTNS_PROGID_FLATBUTTON_A, id++, kLabelWidth + 200, y);
    IDispatch* flatPressed = Place(window, ZOLBTNS_PROGID_FLATBUTTON_A, id++, kLabelWidth + 295, y);
    IDispatch* selected = Place(window, ZOLBTNS_PROGID_FLATBUTTON_A, id++, kLabelWidth + 390, y);
    if (!idle || !pressed || !flat || !flatPressed || !selected) continue;
    ColourButton(idle, look);
    ColourButton(pressed, look);
    ColourOption(flat, look, false);
    ColourOption(flatPressed, look, false);
    ColourOption(selected, look, true);
    PutText(idle, L"Caption", L"&Exit");
    PutText(pressed, L"Caption", L"Pressed");
    PutText(flat, L"Caption", L"Bold");
    PutText(flatPressed, L"Caption", L"Pressed");
    PutText(selected, L"Caption", L"Selected");
    CallMethod(pressed, L"BtnDown");
    CallMethod(flatPressed, L"BtnDown");
  }
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_demo = window;
      Build(window);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      for (int row = 0; row < 3; ++row) {
        RECT band{0, row * kRowHeight + 5, client.right, (row + 1) * kRowHeight + 5};
        if (row == 2) band.bottom = client.bottom;
        if (row == 0) band.top = 0;
        HBRUSH brush = CreateSolidBrush(Resolve(kLooks[row].window));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
        TextOutA(dc, 10, 25 + row * kRowHeight, kLooks[row].name, lstrlenA(kLooks[row].name));
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  CoInitialize(nullptr);
  if (!LoadAtlHost()) return 1;
  WNDCLASSA demo{};
  demo.lpfnWndProc = DemoProc;
  demo.hInstance = instance;
  demo.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  demo.lpszClassName = "ZolBtnsDemo";
  RegisterClassA(&demo);
  HWND window = CreateWindowExA(0, "ZolBtnsDemo", kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 640, 240,
                                nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  // The first button takes the focus, to show its focus rectangle.
  if (HWND first = GetWindow(GetWindow(window, GW_CHILD), GW_CHILD)) SetFocus(first);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  for (IDispatch* control : g_controls) control->Release();
  CoUninitialize();
  return 0;
}
