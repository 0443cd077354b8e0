// Shows the zolButton and the FlatButton, idle and pressed, in the Windows, AOL
// and user colour looks, hosted the way Glimra hosts them: created by
// programmatic identifier, coloured by property name, Click as WM_COMMAND.
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

IDispatch* Place(HWND parent, const wchar_t* progId, UINT id, int x, int y) {
  CLSID clsid;
  IDispatch* control = nullptr;
  IZolControl* host = nullptr;
  if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&control))))
    return nullptr;
  if (SUCCEEDED(control->QueryInterface(IID_IZolControl, reinterpret_cast<void**>(&host)))) {
    host->CreateControlWindow(parent, id, x * 15, y * 15, 1215, 375, TRUE, nullptr);
    host->Release();
  }
  g_controls.push_back(control);
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
    IDispatch* idle = Place(window, ZOLBTNS_PROGID_ZOLBUTTON, id++, kLabelWidth, y);
    IDispatch* pressed = Place(window, ZOLBTNS_PROGID_ZOLBUTTON, id++, kLabelWidth + 95, y);
    IDispatch* flat = Place(window, ZOLBTNS_PROGID_FLATBUTTON, id++, kLabelWidth + 200, y);
    IDispatch* flatPressed = Place(window, ZOLBTNS_PROGID_FLATBUTTON, id++, kLabelWidth + 295, y);
    IDispatch* selected = Place(window, ZOLBTNS_PROGID_FLATBUTTON, id++, kLabelWidth + 390, y);
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
    case WM_CREATE: Build(window); return 0;
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
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) MessageBeep(MB_OK);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  CoInitialize(nullptr);
  WNDCLASSW demo{};
  demo.lpfnWndProc = DemoProc;
  demo.hInstance = instance;
  demo.hCursor = LoadCursor(nullptr, IDC_ARROW);
  demo.lpszClassName = L"ZolBtnsDemo";
  RegisterClassW(&demo);
  HWND window = CreateWindowW(L"ZolBtnsDemo", L"ZolBtns sample", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 640,
                              240, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  // The first button takes the focus, to show its focus rectangle.
  if (HWND first = GetWindow(window, GW_CHILD)) SetFocus(first);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  for (IDispatch* control : g_controls) control->Release();
  CoUninitialize();
  return 0;
}
