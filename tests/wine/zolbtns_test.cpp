// The ZolBtns controls as a container sees them: registered by regsvr32,
// hosted in the ATL control container that Wine ships (a container none of
// us wrote), set and read by name through the type library, driven with
// real mouse and keyboard input, and checked by what reaches an event sink
// advised through the control and by the pixels on screen.
#include "controls/ZolBtns.h"

#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "RealInput.h"
#include "ZolBtnsTestSupport.h"

namespace {

using namespace wine_test;
using real_input::Pump;

constexpr int kPixelsWide = 100, kPixelsHigh = 30;

// Twips at the screen's resolution, as the controls convert them.
int Pixels(int twips) {
  HDC screen = GetDC(nullptr);
  const int twipsPerPixel = 1440 / GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, 1, twipsPerPixel);
}
const int kShadow = Pixels(23);

std::vector<std::pair<UINT, HWND>> g_clicks;  // (control id, its window) of each Click event

AxGetControl g_getControl = nullptr;  // Wine's ATL control host

// Visual Basic's late-bound read, which also accepts a method of the name.
constexpr WORD kRead = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

// One hosted control, reached late-bound by name.
struct Control {
  IDispatch* dispatch = nullptr;
  HWND host = nullptr;    // the ATL host window
  HWND window = nullptr;  // the control's own window inside it
  HWND face = nullptr;
  Sink* sink = nullptr;

  HRESULT Put(const wchar_t* name, VARIANT value) { return PutProperty(dispatch, name, value); }
  HRESULT PutColor(const wchar_t* name, DWORD color) { return wine_test::PutColor(dispatch, name, color); }
  HRESULT PutBool(const wchar_t* name, bool flag) { return Put(name, wine_test::Bool(flag)); }
  HRESULT PutText(const wchar_t* name, const wchar_t* text) { return wine_test::PutText(dispatch, name, text); }
  // A property's value; the test fails when the control refuses it or answers in another type (then empty).
  VARIANT Get(const wchar_t* name, VARTYPE type) { return GetProperty(dispatch, name, type, kRead); }
  DWORD Color(const wchar_t* name) { return ColorProperty(dispatch, name, kRead); }
  bool Bool(const wchar_t* name) { return BoolProperty(dispatch, name, kRead); }
  std::wstring Text(const wchar_t* name) { return TextProperty(dispatch, name, kRead); }
  HRESULT Call(const wchar_t* name, VARIANT* argument = nullptr, VARIANT* result = nullptr) {
    return CallMethod(dispatch, name, argument, result);
  }
  HRESULT Id(const wchar_t* name, DISPID* id) { return MemberId(dispatch, name, id); }
  template <class T>
  T* As(const IID& iid) {
    return wine_test::As<T>(dispatch, iid);
  }

  // The mouse at a point of the face (face pixels), and keys to the focused window.
  void Mouse(UINT message, int x, int y) {
    real_input::MoveTo(face, x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN; break;
      case WM_LBUTTONUP: input.mi.dwFlags = MOUSEEVENTF_LEFTUP; break;
      case WM_RBUTTONDOWN: input.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN; break;
      case WM_RBUTTONUP: input.mi.dwFlags = MOUSEEVENTF_RIGHTUP; break;
      default: return;  // a move
    }
    real_input::Send(input);
  }
  void Down(int x = 20, int y = 10) { Mouse(WM_LBUTTONDOWN, x, y); }
  void Move(int x, int y) { Mouse(WM_MOUSEMOVE, x, y); }
  void Up(int x = 20, int y = 10) { Mouse(WM_LBUTTONUP, x, y); }
  void Click(int x = 20, int y = 10) {
    Down(x, y);
    Up(x, y);
  }
  void Key(WORD key, bool down) { real_input::Key(key, down); }

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
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return FocusRectangleInk(face, background);
  }
};

class ZolBtns : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);  // one apartment for the whole suite: Wine is slow to tear one down
    g_getControl = StartAtlHost();
    ASSERT_NE(g_getControl, nullptr);
    RegisterPlainWindowClass(L"ZolBtnsTestHost");
  }
  static void TearDownTestSuite() { CoUninitialize(); }
  // One host window serves every test (showing a new one costs Wine seconds).
  void SetUp() override {
    if (!IsWindow(host_))
      host_ = CreateWindowExW(WS_EX_TOPMOST, L"ZolBtnsTestHost", L"ZolBtns test host", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    real_input::Activate(host_);
    g_clicks.clear();
  }
  void TearDown() override {
    real_input::MoveTo(host_, 390, 290);  // away from where the next test's buttons go
    while (HWND child = GetWindow(host_, GW_CHILD)) DestroyWindow(child);
    for (Control& control : controls_) {
      if (control.dispatch) control.dispatch->Release();
      delete control.sink;
    }
    Pump();
  }

  // Hosts a control by programmatic identifier in an ATL host window on the
  // test window, `top` pixels down, with a sink advised for its events.
  Control& Place(const wchar_t* progId, UINT id = 7, bool tabStop = true, int top = 10) {
    controls_.emplace_back();
    Control& control = controls_.back();
    control.host =
        CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 10, top, kPixelsWide, kPixelsHigh, host_,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(control.host, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(g_getControl(control.host, &unknown), S_OK);
    if (!unknown) return control;
    EXPECT_EQ(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control.dispatch)), S_OK);
    IOleWindow* window = nullptr;
    if (SUCCEEDED(unknown->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
      window->GetWindow(&control.window);
      window->Release();
    }
    const bool flat = wcscmp(progId, ZOLBTNS_PROGID_FLATBUTTON) == 0;
    control.sink = new Sink(flat ? DIID__FlatButtonEvents : DIID__zolButtonEvents);
    control.sink->onClick = [id, window = control.window] { g_clicks.emplace_back(id, window); };
    EXPECT_NE(
        Advise(unknown, flat ? DIID__FlatButtonEvents : DIID__zolButtonEvents, static_cast<IDispatch*>(control.sink)),
        0u);
    EXPECT_NE(Advise(unknown, IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(control.sink)), 0u);
    unknown->Release();
    EXPECT_NE(control.window, nullptr);
    // The container's TabStop for the control is its window's WS_TABSTOP.
    if (!tabStop && control.window)
      SetWindowLongW(control.window, GWL_STYLE, GetWindowLongW(control.window, GWL_STYLE) & ~WS_TABSTOP);
    control.face = GetWindow(control.window, GW_CHILD);
    Pump();
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

// Runs regsvr32 of this program's width, or the one at `program`; a 32-bit one starts slower.
DWORD RunRegsvr32(const std::wstring& arguments, const std::wstring& program = L"regsvr32.exe") {
  return wine_test::RunRegsvr32(program, arguments, 60000);
}

// The event interface a coclass names as its default source, or GUID_NULL.
GUID DefaultSource(ITypeLib* types, const CLSID& clsid) {
  ITypeInfo* coclass = nullptr;
  GUID source = GUID_NULL;
  if (FAILED(types->GetTypeInfoOfGuid(clsid, &coclass))) return source;
  TYPEATTR* attributes = nullptr;
  coclass->GetTypeAttr(&attributes);
  for (UINT i = 0; attributes && i < attributes->cImplTypes; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    ITypeInfo* implemented = nullptr;
    coclass->GetImplTypeFlags(i, &flags);
    if (flags != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) continue;
    if (SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference)) &&
        SUCCEEDED(coclass->GetRefTypeInfo(reference, &implemented))) {
      TYPEATTR* events = nullptr;
      implemented->GetTypeAttr(&events);
      if (events && events->typekind == TKIND_DISPATCH) source = events->guid;
      if (events) implemented->ReleaseTypeAttr(events);
      implemented->Release();
    }
  }
  if (attributes) coclass->ReleaseTypeAttr(attributes);
  coclass->Release();
  return source;
}

std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  if (data.empty() || !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return L"";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  return VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value ? value : L"";
}

TEST_F(ZolBtns, Regsvr32RegistersTypeLibraryAndClassesAndUnregisteringRemovesEveryKey) {
  const std::wstring zol = L"CLSID\\" + GuidText(CLSID_zolButton), flat = L"CLSID\\" + GuidText(CLSID_FlatButton);
  const std::wstring server = KeyValue(zol + L"\\InprocServer32");
  ASSERT_NE(server.find(L"zolbtns.ocx"), std::wstring::npos);
  EXPECT_EQ(VersionString(server, L"FileVersion"), L"1.00.0038");
  EXPECT_EQ(VersionString(server, L"FileDescription"), L"Custom Command Buttons");
  EXPECT_EQ(VersionString(server, L"Comments"), L"Custom Command Buttons");

  const std::wstring typeLib = L"TypeLib\\" + GuidText(LIBID_ZolBttn);
  const std::vector<std::wstring> keys = {zol,
                                          flat,
                                          ZOLBTNS_PROGID_ZOLBUTTON,
                                          ZOLBTNS_PROGID_FLATBUTTON,
                                          typeLib,
                                          L"Interface\\" + GuidText(IID_IZolButton),
                                          L"Interface\\" + GuidText(IID_IFlatButton),
                                          L"Interface\\" + GuidText(DIID__zolButtonEvents),
                                          L"Interface\\" + GuidText(DIID__FlatButtonEvents)};
  const auto expectRegistered = [&] {
    for (const std::wstring& key : keys) EXPECT_TRUE(KeyExists(key)) << Narrow(key);
    for (const std::wstring& clsid : {zol, flat}) {
      EXPECT_TRUE(KeyExists(clsid + L"\\Control"));
      EXPECT_EQ(KeyValue(clsid + L"\\TypeLib"), GuidText(LIBID_ZolBttn));
      EXPECT_NE(std::wcstoul(KeyValue(clsid + L"\\MiscStatus\\1").c_str(), nullptr, 10) & OLEMISC_ACTIVATEWHENVISIBLE,
                0u);
      // The toolbox picture is a bitmap resource of the library itself.
      const std::wstring toolbox = KeyValue(clsid + L"\\ToolboxBitmap32");
      const size_t comma = toolbox.rfind(L',');
      ASSERT_NE(comma, std::wstring::npos);
      EXPECT_EQ(toolbox.substr(0, comma), server);
      HMODULE file = LoadLibraryExW(server.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
      HANDLE picture = LoadImageW(file, MAKEINTRESOURCEW(std::wcstol(toolbox.c_str() + comma + 1, nullptr, 10)),
                                  IMAGE_BITMAP, 0, 0, 0);
      EXPECT_NE(picture, nullptr);
      if (picture) DeleteObject(picture);
      FreeLibrary(file);
    }
    ITypeLib* types = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZolBttn, 1, 0, LOCALE_NEUTRAL, &types), S_OK);
    EXPECT_TRUE(IsEqualGUID(DefaultSource(types, CLSID_zolButton), DIID__zolButtonEvents));
    EXPECT_TRUE(IsEqualGUID(DefaultSource(types, CLSID_FlatButton), DIID__FlatButtonEvents));
    BSTR name = nullptr, description = nullptr;
    EXPECT_EQ(types->GetDocumentation(-1, &name, &description, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"ZolBttn");
    EXPECT_STREQ(description, L"Custom Command Buttons");
    SysFreeString(name);
    SysFreeString(description);
    types->Release();
  };
  expectRegistered();

  // The 32-bit library, when staged beside: its classes in the 32-bit view,
  // its entry in the type library's key that both widths share.
  const std::wstring server32 = KeyValue(zol + L"\\InprocServer32", KEY_WOW64_32KEY);
  wchar_t wow64[MAX_PATH] = {};
  const bool both = !server32.empty() && GetSystemWow64DirectoryW(wow64, MAX_PATH) != 0;
  const std::wstring regsvr32Of32 = std::wstring(wow64) + L"\\regsvr32.exe";

  EXPECT_EQ(RunRegsvr32(L"/u \"" + server + L"\""), 0u);
  for (const std::wstring& key : keys) {
    if (key == typeLib) continue;
    EXPECT_FALSE(KeyExists(key)) << Narrow(key);
  }
  EXPECT_FALSE(KeyExists(typeLib + L"\\1.0\\0\\win64"));
  if (both) {
    // Each width takes away its own type library entry only.
    EXPECT_TRUE(KeyExists(typeLib + L"\\1.0\\0\\win32"));
    EXPECT_EQ(RunRegsvr32(L"/u \"" + server32 + L"\"", regsvr32Of32), 0u);
    for (const std::wstring& key : keys)
      EXPECT_FALSE(KeyExists(key, KEY_WOW64_32KEY)) << "32-bit view: " << Narrow(key);
  }
  EXPECT_FALSE(KeyExists(typeLib));
  ITypeLib* gone = nullptr;
  EXPECT_NE(LoadRegTypeLib(LIBID_ZolBttn, 1, 0, LOCALE_NEUTRAL, &gone), S_OK);
  if (gone) gone->Release();
  CLSID clsid;
  EXPECT_NE(CLSIDFromProgID(ZOLBTNS_PROGID_ZOLBUTTON, &clsid), S_OK);

  if (both) {
    ASSERT_EQ(RunRegsvr32(L"\"" + server32 + L"\"", regsvr32Of32), 0u);
    EXPECT_EQ(KeyValue(zol + L"\\InprocServer32", KEY_WOW64_32KEY), server32);
    EXPECT_TRUE(KeyExists(typeLib + L"\\1.0\\0\\win32"));
  }
  ASSERT_EQ(RunRegsvr32(L"\"" + server + L"\""), 0u);
  expectRegistered();
  ASSERT_EQ(CLSIDFromProgID(ZOLBTNS_PROGID_FLATBUTTON, &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_FlatButton));
}

TEST_F(ZolBtns, MembersAreFoundByNameInTheTypeLibraryInMemberOrder) {
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
  Control& flat = Place(ZOLBTNS_PROGID_FLATBUTTON, 8, true, 100);
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

  // The type information handed out describes the same members.
  ITypeInfo* info = nullptr;
  ASSERT_EQ(button.dispatch->GetTypeInfo(0, 0, &info), S_OK);
  BSTR name = nullptr;
  UINT count = 0;
  EXPECT_EQ(info->GetNames(kZolButtonFillerBackground, &name, 1, &count), S_OK);
  EXPECT_STREQ(name, L"FillerBackground");
  SysFreeString(name);
  info->Release();
  IProvideClassInfo2* classInfo = button.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_NE(classInfo, nullptr);
  GUID events{};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(IsEqualGUID(events, DIID__zolButtonEvents));
  classInfo->Release();

  EXPECT_EQ(static_cast<HWND>(LongToHandle(button.Get(L"hWnd", VT_I4).lVal)), button.window);
  EXPECT_NE(button.Put(L"hWnd", Long(5)), S_OK);
  EXPECT_NE(button.PutText(L"BackColor", L"blue"), S_OK);
  // A system colour passed as a Long, as late binding passes it, is taken bit for bit.
  EXPECT_EQ(button.PutColor(L"BackColor", 0x8000000F), S_OK);
  EXPECT_EQ(button.Color(L"BackColor"), 0x8000000Fu);
}

TEST_F(ZolBtns, NewlyPlacedAndLoadedButtonsTakeTheirDefaults) {
  Control& button = Place(ZOLBTNS_PROGID_ZOLBUTTON);
  EXPECT_EQ(button.Text(L"Caption"), L"ZolBtns");
  EXPECT_EQ(button.Color(L"FocusColor"), 0u);
  EXPECT_EQ(button.Color(L"BackColor"), 0x8000000Du);
  EXPECT_TRUE(button.Bool(L"UseShadow"));
  EXPECT_EQ(GetWindowTextLengthW(button.window), 7);

  Control& flat = Place(ZOLBTNS_PROGID_FLATBUTTON, 8, true, 100);
  EXPECT_EQ(flat.Text(L"Caption"), L"FlatBtn");
  EXPECT_TRUE(flat.Bool(L"UseClickFlash"));
  EXPECT_FALSE(flat.Bool(L"NoFocusRect"));
  EXPECT_FALSE(flat.Bool(L"Value"));

  MapBag empty;
  IPersistPropertyBag* persist = flat.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  ASSERT_NE(persist, nullptr);
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
  button.Mouse(WM_LBUTTONDBLCLK, 20, 10);
  EXPECT_EQ(button.FacePosition().x, kShadow);
  button.Up();
  EXPECT_EQ(g_clicks.size(), 2u);

  button.Mouse(WM_MOUSEMOVE, 20, 10);
  button.Mouse(WM_MOUSEMOVE, -20, 10);
  button.Mouse(WM_RBUTTONDOWN, 20, 10);
  EXPECT_EQ(button.FacePosition().x, 0);
  button.Mouse(WM_RBUTTONUP, 20, 10);
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
  Control& other = Place(ZOLBTNS_PROGID_ZOLBUTTON, 8, true, 100);
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
  Control& noTab = Place(ZOLBTNS_PROGID_ZOLBUTTON, 9, false, 170);
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

// The ink in `size` pixels of `dc` as text, '#' for anything but `background`,
// cropped to the rows and columns that hold ink.
std::vector<std::string> InkPicture(HDC dc, SIZE size, COLORREF background) {
  std::vector<std::string> all(size.cy, std::string(size.cx, '.'));
  RECT ink{size.cx, size.cy, 0, 0};
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (GetPixel(dc, x, y) != background) {
        all[y][x] = '#';
        ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                   std::max<LONG>(ink.bottom, y + 1)};
      }
  std::vector<std::string> rows;
  for (int y = ink.top; y < ink.bottom; ++y) rows.push_back(all[y].substr(ink.left, ink.right - ink.left));
  return rows;
}

// The library draws with the ANSI functions of Windows 95/98: a caption
// beyond ASCII but within the ANSI code page reads back, shows as the
// window's text and draws as set, its access letter underlined.
TEST_F(ZolBtns, ACaptionBeyondAsciiShowsAndDrawsAsSet) {
  const wchar_t caption[] = L"&Gr\u00FC\u00DFe";  // "&Grüße"
  char ansi[16];
  BOOL lossy = FALSE;
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, caption, -1, ansi, sizeof ansi, nullptr, &lossy), 0);
  ASSERT_FALSE(lossy) << "this caption needs an ANSI code page with u-umlaut and sharp s, not " << GetACP();

  Control& button = PlainZolButton();
  button.PutColor(L"ForeColor", 0);
  button.PutBool(L"UseBorder", false);
  SetFocus(host_);  // no focus rectangle on the face
  ASSERT_EQ(button.PutText(L"Caption", caption), S_OK);
  EXPECT_EQ(button.Text(L"Caption"), caption);
  wchar_t shown[32] = {};
  GetWindowTextW(button.window, shown, 32);
  EXPECT_STREQ(shown, caption);

  // What the face shows, against the caption drawn here in the button's font.
  VARIANT font = button.Get(L"Font", VT_DISPATCH);
  ASSERT_EQ(font.vt, VT_DISPATCH);
  IFont* fontObject = nullptr;
  ASSERT_EQ(font.pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&fontObject)), S_OK);
  HFONT handle = nullptr;
  EXPECT_EQ(fontObject->get_hFont(&handle), S_OK);
  RECT face{};
  GetClientRect(button.face, &face);
  const SIZE size{face.right, face.bottom};
  const COLORREF white = RGB(255, 255, 255);
  RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC faceDc = GetDC(button.face);
  const std::vector<std::string> drawn = InkPicture(faceDc, size, white);
  ReleaseDC(button.face, faceDc);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, handle);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT at{2, 2, size.cx, size.cy};
  DrawTextW(dc, caption, -1, &at, DT_NOCLIP);
  const std::vector<std::string> expected = InkPicture(dc, size, white);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  fontObject->Release();
  VariantClear(&font);

  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(drawn, expected);
}

TEST_F(ZolBtns, PictureAndFontAreObjectsSetByName) {
  Control& button = PlainZolButton();
  button.PutText(L"Caption", L"");
  button.PutBool(L"UseBorder", false);

  // A 12 x 12 red bitmap, centred on the face.
  IPictureDisp* picture = NewBitmapPicture(12, 0xFF0000);  // red, as BGRA
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(button.Put(L"Picture", Object(picture)), S_OK);
  picture->Release();
  const int centreX = (kPixelsWide - kShadow) / 2, centreY = (kPixelsHigh - kShadow) / 2;
  EXPECT_EQ(button.FacePixel(centreX, centreY), RGB(255, 0, 0));
  EXPECT_EQ(button.FacePixel(centreX - 8, centreY), RGB(255, 255, 255));
  EXPECT_EQ(button.Put(L"Picture", Object(nullptr)), S_OK);
  EXPECT_EQ(button.FacePixel(centreX, centreY), RGB(255, 255, 255));

  // The font handed out is the control's own: making it larger makes the caption taller.
  button.PutText(L"Caption", L"Hg");
  button.PutColor(L"ForeColor", 0);
  const LONG smallHeight = CaptionInk(button, RGB(255, 255, 255)).bottom - CaptionInk(button, RGB(255, 255, 255)).top;
  VARIANT font = button.Get(L"Font", VT_DISPATCH);
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
    VARIANT argument = Long(static_cast<LONG>(colour));
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
  flat.Mouse(WM_LBUTTONDBLCLK, 20, 10);
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
  Control& withRect = FlatForTest(Place(ZOLBTNS_PROGID_FLATBUTTON, 8, true, 100));
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

// ---- In a container ----

TEST_F(ZolBtns, BothButtonsInTheAtlHostPaintClickOnceAndNotifyPropertyChanges) {
  int top = 10;
  for (const wchar_t* progId : {ZOLBTNS_PROGID_ZOLBUTTON, ZOLBTNS_PROGID_FLATBUTTON}) {
    SCOPED_TRACE(Narrow(progId));
    Control& button = Place(progId, 7, true, top);
    top += 60;
    // The window fills the host's rectangle, whatever extent the host passed.
    RECT client{};
    GetClientRect(button.window, &client);
    EXPECT_EQ(client.right, kPixelsWide);
    EXPECT_EQ(client.bottom, kPixelsHigh);

    button.sink->changed.clear();
    DISPID backColor = 0, caption = 0;
    ASSERT_EQ(button.Id(L"BackColor", &backColor), S_OK);
    ASSERT_EQ(button.Id(L"Caption", &caption), S_OK);
    EXPECT_EQ(button.PutColor(L"BackColor", 0x00C000), S_OK);
    EXPECT_EQ(button.PutText(L"Caption", L""), S_OK);
    button.Get(L"hWnd", VT_I4);
    EXPECT_EQ(button.sink->changed, (std::vector<DISPID>{backColor, caption}));
    EXPECT_EQ(button.FacePixel(10, 12), RGB(0, 192, 0));

    button.Click();
    EXPECT_EQ(button.sink->events, (std::vector<DISPID>{kZolEventClick}));
    EXPECT_EQ(GetFocus(), button.window);
    button.Key(VK_SPACE, true);
    button.Key(VK_SPACE, false);
    button.Key(VK_RETURN, true);
    button.Key(VK_RETURN, false);
    EXPECT_EQ(button.sink->events, (std::vector<DISPID>{kZolEventClick, kZolEventClick}));
  }
}

// The bytes of a stream from its start.
std::string StreamBytes(IStream* stream) {
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream, &memory);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  const char* bytes = static_cast<const char*>(GlobalLock(memory));
  std::string copy(bytes, bytes + stat.cbSize.QuadPart);
  GlobalUnlock(memory);
  return copy;
}

bool Holds(const std::string& bytes, const wchar_t* name) {
  const std::string wide(reinterpret_cast<const char*>(name), wcslen(name) * sizeof(wchar_t));
  return bytes.find(wide) != std::string::npos;
}

TEST_F(ZolBtns, AStreamHoldsOnlyChangedValuesKeepsDirtyStateAndLoadsBack) {
  Control& source = Place(ZOLBTNS_PROGID_FLATBUTTON);
  IPersistStreamInit* persist = source.As<IPersistStreamInit>(IID_IPersistStreamInit);
  ASSERT_NE(persist, nullptr);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  IStream* fresh = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &fresh), S_OK);
  ASSERT_EQ(persist->Save(fresh, TRUE), S_OK);
  const std::string defaults = StreamBytes(fresh);
  fresh->Release();
  for (const wchar_t* name : {L"BackColor", L"ForeColor", L"UseClickFlash", L"Value"})
    EXPECT_FALSE(Holds(defaults, name));

  source.PutColor(L"BackColor", 0x8000000F);
  source.PutText(L"Caption", L"&Exit");
  source.PutBool(L"Value", true);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  IStream* saved = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
  ASSERT_EQ(persist->Save(saved, TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  ULARGE_INTEGER most{};
  EXPECT_EQ(persist->GetSizeMax(&most), S_OK);
  persist->Release();
  const std::string bytes = StreamBytes(saved);
  EXPECT_GE(most.QuadPart, bytes.size());
  for (const wchar_t* name : {L"BackColor", L"Caption", L"Value"}) EXPECT_TRUE(Holds(bytes, name));
  for (const wchar_t* name : {L"ForeColor", L"UseClickFlash", L"NoFocusRect", L"Highlight"})
    EXPECT_FALSE(Holds(bytes, name));

  Control& copy = Place(ZOLBTNS_PROGID_FLATBUTTON, 8, true, 100);
  persist = copy.As<IPersistStreamInit>(IID_IPersistStreamInit);
  ASSERT_NE(persist, nullptr);
  LARGE_INTEGER start{};
  saved->Seek(start, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(persist->Load(saved), S_OK);
  persist->Release();
  saved->Release();
  EXPECT_EQ(copy.Color(L"BackColor"), 0x8000000Fu);
  EXPECT_EQ(copy.Text(L"Caption"), L"&Exit");
  EXPECT_TRUE(copy.Bool(L"Value"));
  EXPECT_TRUE(copy.Bool(L"UseClickFlash"));
  EXPECT_EQ(copy.Color(L"ForeColor"), 0x80000012u);
}

TEST_F(ZolBtns, DrawsItselfIntoAContainersDeviceContext) {
  Control& button = PlainZolButton();
  button.PutColor(L"BackColor", 0x0000FF);
  IViewObject2* view = button.As<IViewObject2>(IID_IViewObject2);
  ASSERT_NE(view, nullptr);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 130, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 130, 60};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECTL bounds{20, 10, 20 + kPixelsWide, 10 + kPixelsHigh};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
  view->Release();
  EXPECT_EQ(GetPixel(dc, 26, 16), RGB(255, 0, 0));                                          // the face
  EXPECT_EQ(GetPixel(dc, 20 + kPixelsWide - 1, 10 + kPixelsHigh / 2), RGB(128, 128, 128));  // the shadow
  EXPECT_EQ(GetPixel(dc, 20 + kPixelsWide - 1, 10), RGB(255, 255, 0));                      // the filler corner
  EXPECT_EQ(GetPixel(dc, 10, 5), RGB(255, 255, 255));                                       // nothing outside
  EXPECT_EQ(GetPixel(dc, 20 + kPixelsWide + 2, 20), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(ZolBtns, ARecolouredFocusedButtonKeepsItsRectangleUntilItLosesTheFocus) {
  for (const wchar_t* progId : {ZOLBTNS_PROGID_ZOLBUTTON, ZOLBTNS_PROGID_FLATBUTTON}) {
    SCOPED_TRACE(Narrow(progId));
    Control& button = Place(progId, 7, true, 10);
    Control& other = Place(progId, 8, true, 100);
    button.PutColor(L"BackColor", 0xFFFFFF);
    button.PutColor(L"FocusColor", 0xFFFFFF);
    button.Click();
    ASSERT_EQ(GetFocus(), button.window);
    EXPECT_GT(button.FocusInk(RGB(255, 255, 255)), 5);
    button.PutColor(L"BackColor", 0xFFFF00);  // cyan
    EXPECT_GT(button.FocusInk(RGB(0, 255, 255)), 5);
    other.Click();
    EXPECT_EQ(button.FocusInk(RGB(0, 255, 255)), 0);
    button.Click();
    EXPECT_GT(button.FocusInk(RGB(0, 255, 255)), 5);
    DestroyWindow(button.host);
    DestroyWindow(other.host);
  }
}

TEST_F(ZolBtns, TheControlOutlivesItsWindowWhileTheContainerHoldsIt) {
  Control& button = PlainZolButton();
  DestroyWindow(host_);
  EXPECT_FALSE(IsWindow(button.window));
  EXPECT_EQ(button.Get(L"hWnd", VT_I4).lVal, 0);
  EXPECT_EQ(button.PutText(L"Caption", L"still alive"), S_OK);
  EXPECT_EQ(button.Text(L"Caption"), L"still alive");
}

}  // namespace
