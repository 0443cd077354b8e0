// The ZolBtns controls as a container sees them: created by programmatic
// identifier from the registered zolbtns.ocx, set and read by name, driven
// with mouse and keyboard messages, and checked by what reaches the host and
// by the pixels on screen.
#include "controls/ZolBtns.h"

#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr LONG kWidth = 1500, kHeight = 450;  // twips: 100 x 30 pixels
constexpr int kPixelsWide = 100, kPixelsHigh = 30;
constexpr int kShadow = 2;  // 23 twips, in pixels

std::vector<std::pair<UINT, HWND>> g_clicks;  // (control id, window) of each BN_CLICKED

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    g_clicks.emplace_back(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
  return DefWindowProcW(window, message, wParam, lParam);
}

// A property bag over a map, as a container's saved form would be.
class MapBag : public IPropertyBag {
 public:
  ~MapBag() {
    for (auto& entry : values) VariantClear(&entry.second);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyBag)) return E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto found = values.find(name);
    if (found == values.end()) return E_INVALIDARG;
    if (value->vt == VT_EMPTY) return VariantCopy(value, &found->second);
    return VariantChangeType(value, &found->second, 0, value->vt);
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
    VARIANT copy;
    VariantInit(&copy);
    VariantCopy(&copy, value);
    VariantClear(&values[name]);
    values[name] = copy;
    return S_OK;
  }
  std::map<std::wstring, VARIANT> values;
};

// Counts Click events delivered to a sink.
class ClickSink : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
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
    events.push_back(id);
    return S_OK;
  }
  std::vector<DISPID> events;
};

// One hosted control, reached late-bound by name.
struct Control {
  IDispatch* dispatch = nullptr;
  HWND window = nullptr;
  HWND face = nullptr;

  HRESULT Put(const wchar_t* name, VARIANT value) {
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = Id(name, &id);
    if (FAILED(hr)) return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  }
  HRESULT PutColor(const wchar_t* name, DWORD color) { return Put(name, Long(static_cast<LONG>(color))); }
  HRESULT PutBool(const wchar_t* name, bool flag) {
    VARIANT value;
    value.vt = VT_BOOL;
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return Put(name, value);
  }
  HRESULT PutText(const wchar_t* name, const wchar_t* text) {
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    HRESULT hr = Put(name, value);
    SysFreeString(value.bstrVal);
    return hr;
  }
  VARIANT Get(const wchar_t* name) {
    VARIANT result;
    VariantInit(&result);
    DISPID id = DISPID_UNKNOWN;
    DISPPARAMS none{};
    if (SUCCEEDED(Id(name, &id)))
      dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, &result, nullptr, nullptr);
    return result;
  }
  DWORD Color(const wchar_t* name) { return static_cast<DWORD>(Get(name).lVal); }
  bool Bool(const wchar_t* name) { return Get(name).boolVal != VARIANT_FALSE; }
  std::wstring Text(const wchar_t* name) {
    VARIANT value = Get(name);
    std::wstring text = value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
    VariantClear(&value);
    return text;
  }
  HRESULT Call(const wchar_t* name, VARIANT* argument = nullptr, VARIANT* result = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = Id(name, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
    return dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
  }
  HRESULT Id(const wchar_t* name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, id);
  }
  static VARIANT Long(LONG number) {
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = number;
    return value;
  }

  // Mouse messages to the face, in face pixels; keys to the control's window.
  void Mouse(UINT message, int x, int y, WPARAM keys) {
    SendMessageW(face, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  void Down(int x = 20, int y = 10) { Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
  void Move(int x, int y) { Mouse(WM_MOUSEMOVE, x, y, MK_LBUTTON); }
  void Up(int x = 20, int y = 10) { Mouse(WM_LBUTTONUP, x, y, 0); }
  void Click(int x = 20, int y = 10) {
    Down(x, y);
    Up(x, y);
  }
  void Key(WPARAM key, bool down) { SendMessageW(window, down ? WM_KEYDOWN : WM_KEYUP, key, down ? 1 : 0xC0000001); }

  // Where the face sits in the control, in pixels.
  POINT FacePosition() {
    RECT rect;
    GetWindowRect(face, &rect);
    POINT at{rect.left, rect.top};
    ScreenToClient(window, &at);
    return at;
  }
  COLORREF Pixel(int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
  }
  COLORREF FacePixel(int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(face);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(face, dc);
    return color;
  }
  // Pixels of the focus rectangle's top edge (3 pixels inside the face) that differ from `background`.
  int FocusInk(COLORREF background) {
    int ink = 0;
    for (int x = 4; x < 40; ++x) ink += FacePixel(x, 3) != background;
    return ink;
  }
};

class ZolBtns : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW host{};
    host.lpfnWndProc = HostProc;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    host.lpszClassName = L"ZolBtnsTestHost";
    RegisterClassW(&host);
    CoInitialize(nullptr);  // one apartment for the whole suite: Wine is slow to tear one down
  }
  static void TearDownTestSuite() { CoUninitialize(); }
  // One host window serves every test (showing a new one costs Wine seconds).
  void SetUp() override {
    if (!IsWindow(host_))
      host_ = CreateWindowW(L"ZolBtnsTestHost", L"ZolBtns test host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    g_clicks.clear();
  }
  void TearDown() override {
    while (HWND child = GetWindow(host_, GW_CHILD)) DestroyWindow(child);
    for (Control& control : controls_)
      if (control.dispatch) control.dispatch->Release();
  }

  // Creates a control by programmatic identifier and places it on the host.
  Control& Place(const wchar_t* progId, UINT id = 7, bool tabStop = true, LONG top = 150) {
    controls_.emplace_back();
    Control& control = controls_.back();
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control.dispatch)),
              S_OK);
    if (!control.dispatch) return control;
    IZolControl* hosting = nullptr;
    EXPECT_EQ(control.dispatch->QueryInterface(IID_IZolControl, reinterpret_cast<void**>(&hosting)), S_OK);
    if (!hosting) return control;
    EXPECT_EQ(hosting->CreateControlWindow(host_, id, 150, top, kWidth, kHeight, tabStop, &control.window), S_OK);
    hosting->Release();
    control.face = GetWindow(control.window, GW_CHILD);
    return control;
  }
  Control& PlainZolButton() {
    Control& button = Place(ZOLBTNS_PROGID_ZOLBUTTON);
    button.PutColor(L"BackColor", 0xFFFFFF);
    button.PutColor(L"FocusColor", 0xFFFFFF);
    button.PutColor(L"ShadowColor", 0x808080);
    button.PutColor(L"FillerBackground", 0x00FFFF);
    return button;
  }

  static HWND host_;
  std::deque<Control> controls_;  // stable references while more are placed
};

HWND ZolBtns::host_ = nullptr;

// ---- The library ----

TEST_F(ZolBtns, ProgrammaticIdentifiersAreRegisteredAndRegistrationCanBeUndoneAndRedone) {
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(ZOLBTNS_PROGID_ZOLBUTTON, &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ZolButton));
  ASSERT_EQ(CLSIDFromProgID(ZOLBTNS_PROGID_FLATBUTTON, &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_FlatButton));

  wchar_t server[MAX_PATH] = {};
  LONG size = sizeof server;
  ASSERT_EQ(RegQueryValueW(HKEY_CLASSES_ROOT, L"CLSID\\{E3139376-589D-4E31-BE23-FB100022CE5F}\\InprocServer32", server,
                           &size),
            ERROR_SUCCESS);
  EXPECT_NE(std::wstring(server).find(L"zolbtns.ocx"), std::wstring::npos);

  HMODULE library = LoadLibraryW(server);
  ASSERT_NE(library, nullptr);
  auto unregister = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
  auto reregister = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  ASSERT_TRUE(unregister && reregister);
  EXPECT_EQ(unregister(), S_OK);
  EXPECT_NE(CLSIDFromProgID(ZOLBTNS_PROGID_FLATBUTTON, &clsid), S_OK);
  EXPECT_EQ(reregister(), S_OK);
  EXPECT_EQ(CLSIDFromProgID(ZOLBTNS_PROGID_FLATBUTTON, &clsid), S_OK);
  FreeLibrary(library);
}

TEST_F(ZolBtns, MembersAreFoundByNameInMemberOrder) {
  Control& button = Place(ZOLBTNS_PROGID_ZOLBUTTON);
  const wchar_t* zolMembers[] = {L"Refresh",     L"BackColor",    L"ForeColor",        L"Enabled",       L"Font",
                                 L"Caption",     L"Picture",      L"UseShadow",        L"BtnDown",       L"BtnUp",
                                 L"ShadowColor", L"MousePointer", L"MouseIcon",        L"BorderColor",   L"UseBorder",
                                 L"FocusColor",  L"hWnd",         L"FillerBackground", L"DisableButton", L"RGBToHex"};
  DISPID expected = 1;
  for (const wchar_t* name : zolMembers) {
    DISPID id = 0;
    EXPECT_EQ(button.Id(name, &id), S_OK) << name;
    EXPECT_EQ(id, expected++) << name;
  }
  Control& flat = Place(ZOLBTNS_PROGID_FLATBUTTON, 8);
  const wchar_t* flatMembers[] = {L"Refresh",    L"BackColor",   L"ForeColor",     L"Enabled",      L"Font",
                                  L"Caption",    L"Picture",     L"BtnDown",       L"BtnUp",        L"MouseIcon",
                                  L"FocusColor", L"hWnd",        L"Highlight",     L"MousePointer", L"ClickColor",
                                  L"DrawFocus",  L"NoFocusRect", L"UseClickFlash", L"Value"};
  expected = 1;
  for (const wchar_t* name : flatMembers) {
    DISPID id = 0;
    EXPECT_EQ(flat.Id(name, &id), S_OK) << name;
    EXPECT_EQ(id, expected++) << name;
  }
  DISPID id = 0;
  EXPECT_EQ(button.Id(L"backcolor", &id), S_OK);  // late binding ignores case
  EXPECT_EQ(button.Id(L"Value", &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(flat.Id(L"UseShadow", &id), DISP_E_UNKNOWNNAME);

  EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(button.Get(L"hWnd").lVal)), button.window);
  EXPECT_NE(button.Put(L"hWnd", Control::Long(5)), S_OK);
  VARIANT notAColour;
  notAColour.vt = VT_BSTR;
  notAColour.bstrVal = SysAllocString(L"blue");
  EXPECT_EQ(button.Put(L"BackColor", notAColour), DISP_E_TYPEMISMATCH);
  SysFreeString(notAColour.bstrVal);
}

TEST_F(ZolBtns, NewlyPlacedAndLoadedButtonsTakeTheirDefaults) {
  Control& button = Place(ZOLBTNS_PROGID_ZOLBUTTON);
  EXPECT_EQ(button.Text(L"Caption"), L"ZolBtns");
  EXPECT_EQ(button.Color(L"FocusColor"), 0u);
  EXPECT_EQ(button.Color(L"BackColor"), 0x8000000Du);
  EXPECT_TRUE(button.Bool(L"UseShadow"));
  EXPECT_EQ(GetWindowTextLengthW(button.window), 7);

  Control& flat = Place(ZOLBTNS_PROGID_FLATBUTTON, 8);
  EXPECT_EQ(flat.Text(L"Caption"), L"FlatBtn");
  EXPECT_TRUE(flat.Bool(L"UseClickFlash"));
  EXPECT_FALSE(flat.Bool(L"NoFocusRect"));
  EXPECT_FALSE(flat.Bool(L"Value"));

  MapBag empty;
  IPersistPropertyBag* persist = nullptr;
  ASSERT_EQ(flat.dispatch->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)), S_OK);
  EXPECT_EQ(persist->Load(&empty, nullptr), S_OK);
  persist->Release();
  EXPECT_EQ(flat.Text(L"Caption"), L"zolButton");
  EXPECT_EQ(flat.Color(L"FocusColor"), 0x8000000Fu);
  EXPECT_EQ(flat.Color(L"ForeColor"), 0x80000012u);
}

// ---- Persistence ----

TEST_F(ZolBtns, SavedPropertiesUseMemberNamesLeaveDefaultsOutAndReadBack) {
  Control& source = Place(ZOLBTNS_PROGID_ZOLBUTTON);
  MapBag bag;
  IPersistPropertyBag* persist = nullptr;
  ASSERT_EQ(source.dispatch->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)), S_OK);
  persist->Load(&bag, nullptr);  // every property at its default
  persist->Save(&bag, TRUE, FALSE);
  EXPECT_TRUE(bag.values.empty());

  // The colours whose saving defaults once differed from their loading defaults.
  source.PutColor(L"BackColor", 0xC000);
  source.PutColor(L"FillerBackground", 0x8000000F);
  source.PutColor(L"ShadowColor", 0x808080);
  source.PutColor(L"FocusColor", 0);
  source.PutText(L"Caption", L"&Exit");
  source.PutBool(L"UseBorder", false);
  persist->Save(&bag, TRUE, FALSE);
  persist->Release();
  for (const wchar_t* name :
       {L"BackColor", L"FillerBackground", L"ShadowColor", L"FocusColor", L"Caption", L"UseBorder"})
    EXPECT_EQ(bag.values.count(name), 1u) << name;
  EXPECT_EQ(bag.values.count(L"ForeColor"), 0u);
  EXPECT_EQ(bag.values.size(), 6u);

  Control& copy = Place(ZOLBTNS_PROGID_ZOLBUTTON, 8);
  ASSERT_EQ(copy.dispatch->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)), S_OK);
  EXPECT_EQ(persist->Load(&bag, nullptr), S_OK);
  persist->Release();
  EXPECT_EQ(copy.Color(L"BackColor"), 0xC000u);
  EXPECT_EQ(copy.Color(L"FillerBackground"), 0x8000000Fu);
  EXPECT_EQ(copy.Color(L"ShadowColor"), 0x808080u);
  EXPECT_EQ(copy.Color(L"FocusColor"), 0u);
  EXPECT_EQ(copy.Text(L"Caption"), L"&Exit");
  EXPECT_FALSE(copy.Bool(L"UseBorder"));
  EXPECT_TRUE(copy.Bool(L"UseShadow"));
}

TEST_F(ZolBtns, FlatButtonKeepsValueAndItsColoursThroughSaveAndLoad) {
  Control& source = Place(ZOLBTNS_PROGID_FLATBUTTON);
  source.PutColor(L"BackColor", 0xC000);
  source.PutColor(L"Highlight", 0x0000FF);
  source.PutBool(L"Value", true);
  source.PutBool(L"NoFocusRect", true);
  MapBag bag;
  IPersistPropertyBag* persist = nullptr;
  ASSERT_EQ(source.dispatch->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)), S_OK);
  persist->Save(&bag, TRUE, FALSE);
  persist->Release();
  EXPECT_EQ(bag.values.count(L"Value"), 1u);
  EXPECT_EQ(bag.values.count(L"UseClickFlash"), 0u);

  Control& copy = Place(ZOLBTNS_PROGID_FLATBUTTON, 8);
  ASSERT_EQ(copy.dispatch->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist)), S_OK);
  persist->Load(&bag, nullptr);
  persist->Release();
  EXPECT_EQ(copy.Color(L"BackColor"), 0xC000u);
  EXPECT_EQ(copy.Color(L"Highlight"), 0x0000FFu);
  EXPECT_TRUE(copy.Bool(L"Value"));
  EXPECT_TRUE(copy.Bool(L"NoFocusRect"));
  EXPECT_EQ(copy.Text(L"Caption"), L"FlatBtn");  // saved because it differs from "zolButton"
}

// ---- zolButton: mouse ----

TEST_F(ZolBtns, APressSinksTheFaceAndTheReleaseClicksOnce) {
  Control& button = PlainZolButton();
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Down();
  EXPECT_EQ(button.FacePosition().x, kShadow);
  EXPECT_EQ(button.FacePosition().y, kShadow);
  EXPECT_TRUE(g_clicks.empty());
  button.Up();
  EXPECT_EQ(button.FacePosition().x, 0);
  ASSERT_EQ(g_clicks.size(), 1u);
  EXPECT_EQ(g_clicks[0].first, 7u);
  EXPECT_EQ(g_clicks[0].second, button.window);
  EXPECT_EQ(GetFocus(), button.window);
}

TEST_F(ZolBtns, APressDraggedOffSpringsBackAndNeverClicks) {
  Control& button = PlainZolButton();
  button.Down();
  button.Move(30, 12);  // still on the face
  EXPECT_EQ(button.FacePosition().x, kShadow);
  button.Move(-6, 12);
  EXPECT_EQ(button.FacePosition().x, 0);  // springs back as soon as the pointer leaves
  button.Up(-6, 12);
  EXPECT_TRUE(g_clicks.empty());

  // Dragged off and back on: stays released, still no Click.
  button.Down();
  button.Move(20, kPixelsHigh + 5);
  button.Move(20, 10);
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Up();
  EXPECT_TRUE(g_clicks.empty());

  // The next press counts again.
  button.Click();
  EXPECT_EQ(g_clicks.size(), 1u);
}

TEST_F(ZolBtns, DoubleClickGivesTwoClicksAndHoverOrRightButtonNothing) {
  Control& button = PlainZolButton();
  button.Click();
  button.Mouse(WM_LBUTTONDBLCLK, 20, 10, MK_LBUTTON);
  EXPECT_EQ(button.FacePosition().x, kShadow);
  button.Up();
  EXPECT_EQ(g_clicks.size(), 2u);

  button.Mouse(WM_MOUSEMOVE, 20, 10, 0);
  button.Mouse(WM_MOUSEMOVE, -20, 10, 0);
  button.Mouse(WM_RBUTTONDOWN, 20, 10, MK_RBUTTON);
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Mouse(WM_RBUTTONUP, 20, 10, 0);
  button.Up();  // a release without a press of ours
  EXPECT_EQ(g_clicks.size(), 2u);
}

// ---- zolButton: keyboard, focus, Enabled ----

TEST_F(ZolBtns, SpaceClicksOnceAndEnterNever) {
  Control& button = PlainZolButton();
  SetFocus(button.window);
  for (int repeat = 0; repeat < 3; ++repeat) button.Key(VK_SPACE, true);
  EXPECT_EQ(button.FacePosition().x, kShadow);
  EXPECT_TRUE(g_clicks.empty());
  button.Key(VK_SPACE, false);
  EXPECT_EQ(button.FacePosition().x, 0);
  EXPECT_EQ(g_clicks.size(), 1u);

  button.Key(VK_RETURN, true);
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Key(VK_RETURN, false);
  EXPECT_EQ(g_clicks.size(), 1u);
}

TEST_F(ZolBtns, FocusRectangleFollowsFocusTabStopAndEnabled) {
  Control& button = PlainZolButton();
  Control& other = Place(ZOLBTNS_PROGID_ZOLBUTTON, 8, true, 1500);
  const COLORREF white = RGB(255, 255, 255);
  EXPECT_EQ(button.FocusInk(white), 0);
  SetFocus(button.window);
  EXPECT_GT(button.FocusInk(white), 5);
  SetFocus(other.window);
  EXPECT_EQ(button.FocusInk(white), 0);

  // Disabling a focused button takes its rectangle away; a disabled one gets none.
  SetFocus(button.window);
  EXPECT_GT(button.FocusInk(white), 5);
  EXPECT_EQ(button.PutBool(L"Enabled", false), S_OK);
  EXPECT_EQ(button.FocusInk(white), 0);
  SetFocus(other.window);
  SetFocus(button.window);
  EXPECT_EQ(button.FocusInk(white), 0);

  // Without TabStop there is never a rectangle.
  Control& noTab = Place(ZOLBTNS_PROGID_ZOLBUTTON, 9, false, 2500);
  noTab.PutColor(L"BackColor", 0xFFFFFF);
  SetFocus(noTab.window);
  EXPECT_EQ(noTab.FocusInk(white), 0);
}

TEST_F(ZolBtns, DisabledButtonIgnoresMouseAndKeyboard) {
  Control& button = PlainZolButton();
  button.PutBool(L"Enabled", false);
  EXPECT_FALSE(button.Bool(L"Enabled"));
  button.Down();
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Up();
  button.Key(VK_SPACE, true);
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Key(VK_SPACE, false);
  EXPECT_TRUE(g_clicks.empty());

  button.PutBool(L"Enabled", true);
  button.Click();
  EXPECT_EQ(g_clicks.size(), 1u);
}

// ---- zolButton: looks ----

TEST_F(ZolBtns, ShadowStripsShowShadowColourOrFillerBackground) {
  Control& button = PlainZolButton();
  const COLORREF grey = RGB(128, 128, 128), yellow = RGB(255, 255, 0);
  EXPECT_EQ(button.Pixel(kPixelsWide - 1, kPixelsHigh / 2), grey);  // right strip
  EXPECT_EQ(button.Pixel(kPixelsWide / 2, kPixelsHigh - 1), grey);  // bottom strip
  EXPECT_EQ(button.Pixel(kPixelsWide - 1, 0), yellow);              // corners keep the filler
  EXPECT_EQ(button.Pixel(0, kPixelsHigh - 1), yellow);
  EXPECT_EQ(button.Pixel(5, 5), RGB(255, 255, 255));  // the face
  EXPECT_EQ(button.Pixel(0, 0), RGB(0, 0, 0));        // its border

  button.PutBool(L"UseShadow", false);
  EXPECT_EQ(button.Pixel(kPixelsWide - 1, kPixelsHigh / 2), yellow);
  EXPECT_EQ(button.Pixel(kPixelsWide / 2, kPixelsHigh - 1), yellow);
  button.PutBool(L"UseBorder", false);
  EXPECT_EQ(button.Pixel(0, 0), RGB(255, 255, 255));

  // Pressed, the face covers the shadow.
  button.PutBool(L"UseShadow", true);
  button.Call(L"BtnDown");
  EXPECT_EQ(button.Pixel(kPixelsWide - 1, kPixelsHigh / 2), RGB(255, 255, 255));
  button.Call(L"BtnUp");
  EXPECT_EQ(button.Pixel(kPixelsWide - 1, kPixelsHigh / 2), grey);
}

TEST_F(ZolBtns, SystemColoursAreResolvedWhenPainting) {
  Control& button = PlainZolButton();
  const int element = COLOR_INFOBK;
  const COLORREF original = GetSysColor(element);
  button.PutColor(L"BackColor", 0x80000000 | element);
  EXPECT_EQ(button.Pixel(5, 5), original);

  const COLORREF changed = RGB(12, 34, 56);
  ASSERT_TRUE(SetSysColors(1, &element, &changed));
  button.Call(L"Refresh");
  EXPECT_EQ(button.Pixel(5, 5), changed);
  SetSysColors(1, &element, &original);
}

// The columns and rows of the face that hold caption ink.
RECT CaptionInk(Control& button, COLORREF background) {
  RECT ink{1000, 1000, -1, -1};
  for (int y = 1; y < kPixelsHigh - kShadow - 1; ++y)
    for (int x = 1; x < kPixelsWide - kShadow - 1; ++x)
      if (button.FacePixel(x, y) != background) {
        ink.left = std::min<LONG>(ink.left, x);
        ink.right = std::max<LONG>(ink.right, x + 1);
        ink.top = std::min<LONG>(ink.top, y);
        ink.bottom = std::max<LONG>(ink.bottom, y + 1);
      }
  return ink;
}

TEST_F(ZolBtns, ALongerCaptionStaysCentred) {
  Control& button = PlainZolButton();
  button.PutColor(L"ForeColor", 0);
  const int faceWidth = kPixelsWide - kShadow;
  for (const wchar_t* caption : {L"Ok", L"A much longer one"}) {
    button.PutText(L"Caption", caption);
    RECT ink = CaptionInk(button, RGB(255, 255, 255));
    ASSERT_LT(ink.left, ink.right) << "no caption drawn";
    const int leftMargin = ink.left, rightMargin = faceWidth - ink.right;
    EXPECT_LE(std::abs(leftMargin - rightMargin), 4) << leftMargin << " " << rightMargin;
  }
}

TEST_F(ZolBtns, PictureAndFontAreObjectsSetByName) {
  Control& button = PlainZolButton();
  button.PutText(L"Caption", L"");
  button.PutBool(L"UseBorder", false);

  // A 12 x 12 red bitmap, centred on the face.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 12, 12, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  for (int i = 0; i < 144; ++i) static_cast<DWORD*>(bits)[i] = 0xFF0000;  // red, as BGRA
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  IDispatch* picture = nullptr;
  ASSERT_EQ(OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, reinterpret_cast<void**>(&picture)), S_OK);
  VARIANT value;
  value.vt = VT_DISPATCH;
  value.pdispVal = picture;
  EXPECT_EQ(button.Put(L"Picture", value), S_OK);
  picture->Release();
  const int centreX = (kPixelsWide - kShadow) / 2, centreY = (kPixelsHigh - kShadow) / 2;
  EXPECT_EQ(button.FacePixel(centreX, centreY), RGB(255, 0, 0));
  EXPECT_EQ(button.FacePixel(centreX - 8, centreY), RGB(255, 255, 255));
  VARIANT cleared;
  cleared.vt = VT_DISPATCH;
  cleared.pdispVal = nullptr;
  EXPECT_EQ(button.Put(L"Picture", cleared), S_OK);
  EXPECT_EQ(button.FacePixel(centreX, centreY), RGB(255, 255, 255));

  // The font handed out is the control's own: making it larger makes the caption taller.
  button.PutText(L"Caption", L"Hg");
  button.PutColor(L"ForeColor", 0);
  const LONG smallHeight = CaptionInk(button, RGB(255, 255, 255)).bottom - CaptionInk(button, RGB(255, 255, 255)).top;
  VARIANT font = button.Get(L"Font");
  ASSERT_EQ(font.vt, VT_DISPATCH);
  IFont* fontObject = nullptr;
  ASSERT_EQ(font.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&fontObject)), S_OK);
  CY size{};
  size.int64 = 14 * 10000;
  fontObject->put_Size(size);
  fontObject->Release();
  EXPECT_EQ(button.Put(L"Font", font), S_OK);
  VariantClear(&font);
  const RECT large = CaptionInk(button, RGB(255, 255, 255));
  EXPECT_GT(large.bottom - large.top, smallHeight + 3);
}

TEST_F(ZolBtns, RGBToHexAnswersEmptyAndDisableButtonChangesNothing) {
  Control& button = PlainZolButton();
  for (DWORD colour : {0x0u, 0xFFFFFFu, 0x8000000Fu, 0x123456u}) {
    VARIANT argument = Control::Long(static_cast<LONG>(colour));
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(button.Call(L"RGBToHex", &argument, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(result.bstrVal), 0u);
    VariantClear(&result);
  }
  const COLORREF before = button.Pixel(5, 5);
  EXPECT_EQ(button.Call(L"DisableButton"), S_OK);
  EXPECT_TRUE(button.Bool(L"Enabled"));
  EXPECT_EQ(button.Pixel(5, 5), before);
  button.Click();
  EXPECT_EQ(g_clicks.size(), 1u);
}

// ---- FlatButton ----

Control& FlatForTest(Control& flat) {
  flat.PutColor(L"BackColor", 0x00C000);   // green face
  flat.PutColor(L"ClickColor", 0x0000FF);  // red flash
  flat.PutColor(L"FocusColor", 0x00C000);
  return flat;
}

TEST_F(ZolBtns, ClickFlashShowsClickColourAndRestoresAlsoAfterACancelledPress) {
  Control& flat = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON));
  flat.PutBool(L"NoFocusRect", true);
  const COLORREF green = RGB(0, 192, 0), red = RGB(255, 0, 0);
  EXPECT_EQ(flat.FacePixel(10, 10), green);
  flat.Down();
  EXPECT_EQ(flat.FacePixel(10, 10), red);
  EXPECT_EQ(flat.Color(L"BackColor"), 0x0000FFu);
  flat.Up();
  EXPECT_EQ(flat.FacePixel(10, 10), green);
  EXPECT_EQ(flat.Color(L"BackColor"), 0x00C000u);
  EXPECT_EQ(g_clicks.size(), 1u);

  flat.Down();
  flat.Move(kPixelsWide + 4, 10);
  EXPECT_EQ(flat.FacePixel(10, 10), green);
  flat.Move(kPixelsWide + 9, 12);  // leaving again restores nothing twice
  flat.Up(kPixelsWide + 9, 12);
  EXPECT_EQ(flat.FacePixel(10, 10), green);
  EXPECT_EQ(g_clicks.size(), 1u);

  // A colour set during the press gives way to the remembered one.
  flat.Down();
  flat.PutColor(L"BackColor", 0xFF0000);
  flat.Up();
  EXPECT_EQ(flat.Color(L"BackColor"), 0x00C000u);
  EXPECT_EQ(g_clicks.size(), 2u);
}

TEST_F(ZolBtns, FlatButtonKeysDoubleClickAndDisabledFollowTheZolButton) {
  Control& flat = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON));
  SetFocus(flat.window);
  flat.Key(VK_SPACE, true);
  flat.Key(VK_SPACE, true);
  EXPECT_EQ(flat.FacePixel(10, 10), RGB(255, 0, 0));
  flat.Key(VK_SPACE, false);
  flat.Key(VK_RETURN, true);
  flat.Key(VK_RETURN, false);
  EXPECT_EQ(g_clicks.size(), 1u);

  flat.Click();
  flat.Mouse(WM_LBUTTONDBLCLK, 20, 10, MK_LBUTTON);
  flat.Up();
  EXPECT_EQ(g_clicks.size(), 3u);

  flat.PutBool(L"Enabled", false);
  flat.Click();
  flat.Key(VK_SPACE, true);
  flat.Key(VK_SPACE, false);
  EXPECT_EQ(g_clicks.size(), 3u);
  EXPECT_EQ(flat.FacePixel(10, 10), RGB(0, 192, 0));
}

TEST_F(ZolBtns, NoFocusRectMeansNoRectangleWhateverTabStopSays) {
  Control& flat = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON));
  Control& withRect = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON, 8, true, 1500));
  const COLORREF green = RGB(0, 192, 0), red = RGB(255, 0, 0);
  flat.PutBool(L"NoFocusRect", true);
  SetFocus(flat.window);
  EXPECT_EQ(flat.FocusInk(green), 0);
  flat.Down();
  EXPECT_EQ(flat.FocusInk(red), 0);
  flat.Up();
  EXPECT_EQ(flat.FocusInk(green), 0);

  // The same steps with the rectangle allowed do show it, during and after the press.
  SetFocus(withRect.window);
  EXPECT_GT(withRect.FocusInk(green), 5);
  withRect.Down();
  EXPECT_GT(withRect.FocusInk(red), 5);
  withRect.Up();
  EXPECT_GT(withRect.FocusInk(green), 5);
  SetFocus(flat.window);
  EXPECT_EQ(withRect.FocusInk(green), 0);
}

TEST_F(ZolBtns, ValueIsOnlyWhatTheContainerSets) {
  Control& flat = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON));
  std::vector<COLORREF> before;
  for (int x = 0; x < kPixelsWide; x += 3) before.push_back(flat.FacePixel(x, kPixelsHigh / 2));
  EXPECT_EQ(flat.PutBool(L"Value", true), S_OK);
  std::vector<COLORREF> after;
  for (int x = 0; x < kPixelsWide; x += 3) after.push_back(flat.FacePixel(x, kPixelsHigh / 2));
  EXPECT_EQ(before, after);
  EXPECT_TRUE(flat.Bool(L"Value"));
  flat.Click();
  SetFocus(flat.window);
  flat.Key(VK_SPACE, true);
  flat.Key(VK_SPACE, false);
  EXPECT_EQ(g_clicks.size(), 2u);
  EXPECT_TRUE(flat.Bool(L"Value"));
  flat.PutBool(L"Value", false);
  flat.Click();
  EXPECT_FALSE(flat.Bool(L"Value"));
}

TEST_F(ZolBtns, HighlightColoursTopAndLeftLinesOnly) {
  Control& flat = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON));
  flat.PutColor(L"Highlight", 0x0000FF);
  const COLORREF red = RGB(255, 0, 0), text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(flat.FacePixel(20, 0), red);
  EXPECT_EQ(flat.FacePixel(0, 15), red);
  EXPECT_EQ(flat.FacePixel(kPixelsWide - 1, 15), text);
  EXPECT_EQ(flat.FacePixel(20, kPixelsHigh - 1), text);
  flat.PutColor(L"Highlight", 0xFF0000);
  EXPECT_EQ(flat.FacePixel(20, 0), RGB(0, 0, 255));
  EXPECT_EQ(flat.FacePixel(0, 15), RGB(0, 0, 255));
}

// ---- Hosting ----

TEST_F(ZolBtns, ClickReachesAnEventSinkAndTheControlDiesWithItsParent) {
  Control& button = PlainZolButton();
  ClickSink sink;
  IZolControl* hosting = nullptr;
  ASSERT_EQ(button.dispatch->QueryInterface(IID_IZolControl, reinterpret_cast<void**>(&hosting)), S_OK);
  EXPECT_EQ(hosting->SetEventSink(&sink), S_OK);
  EXPECT_EQ(hosting->CreateControlWindow(host_, 9, 0, 0, 100, 100, TRUE, nullptr), E_UNEXPECTED);
  button.Click();
  SetFocus(button.window);
  button.Key(VK_SPACE, true);
  button.Key(VK_SPACE, false);
  EXPECT_EQ(sink.events, (std::vector<DISPID>{kZolEventClick, kZolEventClick}));
  hosting->SetEventSink(nullptr);
  hosting->Release();

  // The window's size and place follow the twips given.
  RECT rect;
  GetClientRect(button.window, &rect);
  EXPECT_EQ(rect.right, kPixelsWide);
  EXPECT_EQ(rect.bottom, kPixelsHigh);
  EXPECT_TRUE(GetWindowLongW(button.window, GWL_STYLE) & WS_TABSTOP);

  DestroyWindow(host_);
  EXPECT_FALSE(IsWindow(button.window));
  EXPECT_EQ(button.Get(L"hWnd").lVal, 0);
  EXPECT_EQ(button.PutText(L"Caption", L"still alive"), S_OK);  // the object outlives its window
}

}  // namespace
