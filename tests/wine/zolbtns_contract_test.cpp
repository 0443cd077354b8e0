// What an OLE container may rely on when it embeds a ZolBtns button: the
// 64-bit zolbtns.ocx of this build loaded into this program and hosted by a
// container site written here, which records every call the control makes
// on it (activation, focus, saving, the extended control), and the library's
// entry points run against registry roots redirected into a scratch key.
#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "RealInput.h"
#include "WineTestSupport.h"
#include "ZolBtnsTestSupport.h"
#include "controls/ZolBtns.h"

namespace {

using namespace wine_test;
using real_input::Pump;

// What a button control reports of itself, as containers read it.
constexpr DWORD kButtonMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                    OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
constexpr RECT kPlace{10, 10, 110, 40};  // 100 x 30 pixels in the test window

// ---- The library, loaded from this build ----

struct Library {
  HMODULE module = nullptr;
  std::wstring path;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
};
Library g_library;

// The 64-bit control beside the 64-bit test programs (build/win/bin), also
// when the run starts this program in the 32-bit bin folder.
std::wstring ControlBesideTests() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring folder(program);
  folder.resize(folder.find_last_of(L'\\'));
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\bin\\zolbtns.ocx";
}

template <class F>
void Bind(F& function, const char* name) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_library.module, name)));
}

// ---- The container ----

std::string g_calls;  // what the control called on the container, in order, one "name;" each

void Note(const std::string& call) { g_calls += call + ";"; }

IOleInPlaceActiveObject* g_activeObject = nullptr;  // what SetActiveObject named last (not held)

// The frame and the document window of an in-place object.
class UiWindow final : public IOleInPlaceFrame {
 public:
  explicit UiWindow(const char* name) : name_(name) {}
  STATIC_UNKNOWN(IOleInPlaceFrame, &IID_IOleWindow, &IID_IOleInPlaceUIWindow, &IID_IOleInPlaceFrame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override {
    Note(std::string(name_) + ".SetActiveObject(" + (active ? "control" : "none") + ")");
    g_activeObject = active;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
  HWND window_ = nullptr;

 private:
  const char* name_;
};

// The container, noting each call of the control's that tells it something.
class Site final : public QuietSite {
 public:
  Site() { place = kPlace; }
  HRESULT STDMETHODCALLTYPE SaveObject() override {
    Note("SaveObject");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
    Note("OnInPlaceActivate");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override {
    Note("OnUIActivate");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
    Note("OnUIDeactivate");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
    Note("OnInPlaceDeactivate");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override {
    Note("OnControlInfoChanged");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL focused) override {
    Note(focused ? "OnFocus(TRUE)" : "OnFocus(FALSE)");
    return S_OK;
  }

  UiWindow frame{"frame"};
  UiWindow document{"document"};

 protected:
  IOleInPlaceFrame* Frame() override { return &frame; }
  IOleInPlaceUIWindow* Document() override { return &document; }
};

// ---- Working with one control ----

// Space down and up on the control's window, as its window procedure gets them.
void PressSpace(HWND window) {
  SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(window, WM_KEYUP, VK_SPACE, 0xC0390001);
}

int ScreenDpi(int index) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return dpi;
}

LONG HimetricOfPixels(LONG pixels, int index) { return MulDiv(pixels, 2540, ScreenDpi(index)); }

class ZolBtnsContract : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    g_library.path = ControlBesideTests();
    g_library.module = LoadLibraryW(g_library.path.c_str());
    ASSERT_NE(g_library.module, nullptr) << "cannot load " << Narrow(g_library.path);
    Bind(g_library.getClassObject, "DllGetClassObject");
    Bind(g_library.canUnloadNow, "DllCanUnloadNow");
    Bind(g_library.registerServer, "DllRegisterServer");
    Bind(g_library.unregisterServer, "DllUnregisterServer");
    ASSERT_TRUE(g_library.getClassObject && g_library.canUnloadNow && g_library.registerServer &&
                g_library.unregisterServer);
    RegisterPlainWindowClass(L"ZolBtnsContractParent");
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    ASSERT_NE(g_library.module, nullptr);
    parent_ = CreateWindowExW(WS_EX_TOPMOST, L"ZolBtnsContractParent", L"ZolBtns contract", WS_POPUP | WS_VISIBLE, 0, 0,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    real_input::Activate(parent_);
    site_.window = site_.frame.window_ = site_.document.window_ = parent_;
    g_calls.clear();
    g_activeObject = nullptr;
  }

  void TearDown() override {
    if (control_) {
      control_->Close(OLECLOSE_NOSAVE);
      control_->SetClientSite(nullptr);
      control_->Release();
    }
    DestroyWindow(parent_);
    Pump();
  }

  // A newly placed zolButton, on the test's site.
  IOleObject* NewButton() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(g_library.getClassObject(CLSID_zolButton, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    if (!factory) return nullptr;
    IOleObject* control = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&control)), S_OK);
    factory->Release();
    if (!control) return nullptr;
    if (IPersistStreamInit* persist = As<IPersistStreamInit>(control, IID_IPersistStreamInit)) {
      EXPECT_EQ(persist->InitNew(), S_OK);
      persist->Release();
    }
    EXPECT_EQ(control->SetClientSite(&site_), S_OK);
    return control;
  }

  HRESULT DoVerb(LONG verb) { return control_->DoVerb(verb, nullptr, &site_, 0, parent_, &kPlace); }

  HWND ControlWindow() {
    HWND window = nullptr;
    if (IOleInPlaceObject* inPlace = As<IOleInPlaceObject>(control_, IID_IOleInPlaceObject)) {
      inPlace->GetWindow(&window);
      inPlace->Release();
    }
    return window;
  }

  IOleControl* AsOleControl() { return As<IOleControl>(control_, IID_IOleControl); }

  HWND parent_ = nullptr;
  Site site_;
  Sink sink_{DIID__zolButtonEvents};  // outlives the control, which lets go of it only when released
  IOleObject* control_ = nullptr;
};

// ---- Lifetime ----

HHOOK g_refuseFaces = nullptr;
int g_refusedFaces = 0;

// Refuses to make the button's face, so that making its window fails half-way.
LRESULT CALLBACK RefuseFaces(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    char name[64] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (lstrcmpA(name, "ZolBtnsFace") == 0) {
      ++g_refusedFaces;
      return 1;
    }
  }
  return CallNextHookEx(g_refuseFaces, code, wParam, lParam);
}

TEST_F(ZolBtnsContract, AWindowThatCannotBeMadeLeavesTheControlAliveToTryAgain) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  g_refuseFaces = SetWindowsHookExW(WH_CBT, RefuseFaces, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_refuseFaces, nullptr);
  const HRESULT refused = DoVerb(OLEIVERB_INPLACEACTIVATE);
  UnhookWindowsHookEx(g_refuseFaces);
  ASSERT_GT(g_refusedFaces, 0) << "the face was never asked for";
  EXPECT_TRUE(FAILED(refused));
  if (g_library.canUnloadNow() == S_OK) {
    control_ = nullptr;  // gone while this test still holds it: touching it would use freed memory
    FAIL() << "the control was released by the failed window as well as by its owner";
  }
  EXPECT_EQ(ControlWindow(), nullptr);
  EXPECT_EQ(DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
  EXPECT_TRUE(IsWindow(ControlWindow()));
  control_->Close(OLECLOSE_NOSAVE);
  control_->SetClientSite(nullptr);
  EXPECT_EQ(control_->Release(), 0u);
  control_ = nullptr;
  EXPECT_EQ(g_library.canUnloadNow(), S_OK);
}

TEST_F(ZolBtnsContract, TheLibraryUnloadsOnlyOnceEveryObjectAndLockIsGone) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(g_library.getClassObject(CLSID_FlatButton, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(g_library.canUnloadNow(), S_FALSE);
  IUnknown* button = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&button)), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(g_library.canUnloadNow(), S_FALSE);  // the button and the lock
  button->Release();
  EXPECT_EQ(g_library.canUnloadNow(), S_FALSE);  // the lock
  ASSERT_EQ(g_library.getClassObject(CLSID_FlatButton, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(g_library.canUnloadNow(), S_OK);
}

// ---- Activation ----

TEST_F(ZolBtnsContract, UiActivationNamesTheControlToFrameAndDocumentAndFocusReachesTheSite) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  HWND other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 100, 100, 20, parent_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_EQ(DoVerb(OLEIVERB_UIACTIVATE), S_OK);
  IOleInPlaceActiveObject* active = As<IOleInPlaceActiveObject>(control_, IID_IOleInPlaceActiveObject);
  ASSERT_NE(active, nullptr);
  active->Release();
  EXPECT_EQ(g_activeObject, active);
  EXPECT_EQ(GetFocus(), ControlWindow());
  EXPECT_EQ(g_calls,
            "OnInPlaceActivate;OnUIActivate;frame.SetActiveObject(control);document.SetActiveObject(control);"
            "OnFocus(TRUE);");

  g_calls.clear();
  SetFocus(other);
  EXPECT_EQ(g_calls, "OnFocus(FALSE);");
  g_calls.clear();
  SetFocus(ControlWindow());
  EXPECT_EQ(g_calls, "OnFocus(TRUE);");

  g_calls.clear();
  IOleInPlaceObject* inPlace = As<IOleInPlaceObject>(control_, IID_IOleInPlaceObject);
  ASSERT_NE(inPlace, nullptr);
  EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
  inPlace->Release();
  EXPECT_EQ(g_calls, "frame.SetActiveObject(none);document.SetActiveObject(none);OnUIDeactivate;");
  EXPECT_EQ(g_activeObject, nullptr);
}

TEST_F(ZolBtnsContract, AnUnknownVerbRunsThePrimaryVerb) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  EXPECT_EQ(DoVerb(7), OLEOBJ_S_INVALIDVERB);
  EXPECT_TRUE(IsWindowVisible(ControlWindow()));
  EXPECT_EQ(DoVerb(OLEIVERB_PROPERTIES), E_NOTIMPL);
}

// ---- Size ----

TEST_F(ZolBtnsContract, TheExtentStartsAsANewlyPlacedButtonAndFollowsTheInPlaceRectangle) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  SIZEL extent{};
  ASSERT_EQ(control_->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  // 1215 x 375 twips; 1440 twips or 2540 HIMETRIC make an inch.
  EXPECT_NEAR(extent.cx, 1215 * 2540 / 1440, 1);
  EXPECT_NEAR(extent.cy, 375 * 2540 / 1440, 1);

  ASSERT_EQ(DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
  IOleInPlaceObject* inPlace = As<IOleInPlaceObject>(control_, IID_IOleInPlaceObject);
  ASSERT_NE(inPlace, nullptr);
  const RECT wider{20, 20, 220, 60};
  EXPECT_EQ(inPlace->SetObjectRects(&wider, &wider), S_OK);
  inPlace->Release();
  ASSERT_EQ(control_->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_NEAR(extent.cx, HimetricOfPixels(200, LOGPIXELSX), 1);
  EXPECT_NEAR(extent.cy, HimetricOfPixels(40, LOGPIXELSY), 1);
  RECT client{};
  GetClientRect(ControlWindow(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 40);
}

TEST_F(ZolBtnsContract, TheWindowPaintsOnlyInsideTheClipRectangle) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  site_.clip = RECT{kPlace.left, kPlace.top, kPlace.left + 50, kPlace.bottom};
  ASSERT_EQ(DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(ControlWindow(), region), SIMPLEREGION);
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 50);
  EXPECT_EQ(box.bottom, 30);

  // Scrolled fully into view: no cut any more.
  IOleInPlaceObject* inPlace = As<IOleInPlaceObject>(control_, IID_IOleInPlaceObject);
  ASSERT_NE(inPlace, nullptr);
  const RECT whole{0, 0, 300, 200};
  EXPECT_EQ(inPlace->SetObjectRects(&kPlace, &whole), S_OK);
  inPlace->Release();
  EXPECT_EQ(GetWindowRgn(ControlWindow(), region), ERROR);
  DeleteObject(region);
}

// ---- Drawing ----

// A 32-bit top-down bitmap and a memory device context drawing into it.
struct Canvas {
  Canvas(int width, int height) : width(width), height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bitmap);
    for (int i = 0; i < width * height; ++i) bits[i] = 0x00FF00FF;  // magenta: nothing drawn
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  DWORD At(int x, int y) const { return bits[y * width + x] & 0x00FFFFFF; }
  int width, height;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  DWORD* bits = nullptr;
};

TEST_F(ZolBtnsContract, DrawingInAnotherMappingModeCoversTheSamePixelsAsDrawingInPixels) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  ASSERT_EQ(PutText(control_, L"Caption", L"Wide caption"), S_OK);
  ASSERT_EQ(PutColor(control_, L"ShadowColor", 0x0000FF), S_OK);
  IViewObject* view = As<IViewObject>(control_, IID_IViewObject);
  ASSERT_NE(view, nullptr);
  Canvas pixels(120, 50), scaled(120, 50);
  const RECTL inPixels{0, 0, 100, 30};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, pixels.dc, &inPixels, nullptr, nullptr, 0),
            S_OK);
  // Two logical units a pixel: the same 100 x 30 pixels are 200 x 60 units.
  SetMapMode(scaled.dc, MM_ANISOTROPIC);
  SetWindowExtEx(scaled.dc, 2, 2, nullptr);
  SetViewportExtEx(scaled.dc, 1, 1, nullptr);
  const RECTL inUnits{0, 0, 200, 60};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, scaled.dc, &inUnits, nullptr, nullptr, 0),
            S_OK);
  view->Release();
  int differing = 0;
  for (int y = 0; y < pixels.height; ++y)
    for (int x = 0; x < pixels.width; ++x) differing += pixels.At(x, y) != scaled.At(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(scaled.At(105, 10), 0xFF00FFu) << "drawn beyond the bounds";
  EXPECT_NE(scaled.At(50, 15), 0xFF00FFu) << "nothing drawn within the bounds";
}

// ---- Access letter and TabStop ----

TEST_F(ZolBtnsContract, ControlInfoCarriesTheCaptionsAccessLetterWithAltAndAlone) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  IOleControl* control = AsOleControl();
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(PutText(control_, L"Caption", L"&Save"), S_OK);
  CONTROLINFO info{};
  info.cb = sizeof info;
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.dwFlags & CTRLINFO_EATS_RETURN, 0u);
  ASSERT_EQ(info.cAccel, 2);
  ASSERT_NE(info.hAccel, nullptr);
  ACCEL keys[2] = {};
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, keys, 2), 2);
  EXPECT_EQ(keys[0].fVirt & ~FNOINVERT, FVIRTKEY | FALT);
  EXPECT_EQ(keys[0].key, 'S');
  EXPECT_EQ(keys[1].fVirt & ~FNOINVERT, FVIRTKEY);
  EXPECT_EQ(keys[1].key, 'S');

  // A caption with another letter: the container hears that the table changed.
  g_calls.clear();
  ASSERT_EQ(PutText(control_, L"Caption", L"&Open"), S_OK);
  EXPECT_NE(g_calls.find("OnControlInfoChanged;"), std::string::npos);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  ASSERT_EQ(info.cAccel, 2);
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, keys, 2), 2);
  EXPECT_EQ(keys[0].key, 'O');

  ASSERT_EQ(PutText(control_, L"Caption", L"No letter"), S_OK);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.cAccel, 0);
  EXPECT_EQ(info.hAccel, nullptr);
  control->Release();
}

TEST_F(ZolBtnsContract, TheAccessLetterClicksTheButton) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  ASSERT_EQ(DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
  Sink& sink = sink_;
  ASSERT_NE(Advise(control_, DIID__zolButtonEvents, static_cast<IDispatch*>(&sink)), 0u);
  ASSERT_EQ(PutText(control_, L"Caption", L"&Go"), S_OK);
  IOleControl* control = AsOleControl();
  ASSERT_NE(control, nullptr);
  MSG alt{ControlWindow(), WM_SYSKEYDOWN, 'G', 0x20220001, 0, {0, 0}};
  EXPECT_EQ(control->OnMnemonic(&alt), S_OK);
  control->Release();
  EXPECT_TRUE(WaitUntil([&] {
    Pump(10);
    return sink.clicks >= 1;
  }));
  Pump();
  EXPECT_EQ(sink.clicks, 1);
}

// The focus rectangle's ink on the face's top edge (3 pixels inside), on a white face.
int FocusInk(HWND face) {
  RedrawWindow(GetParent(face), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return FocusRectangleInk(face, RGB(255, 255, 255));
}

TEST_F(ZolBtnsContract, TheFocusRectangleFollowsTheTabStopOfTheContainersExtendedControl) {
  for (const bool tabStop : {false, true}) {
    SCOPED_TRACE(tabStop ? "TabStop True" : "TabStop False");
    site_.extended.tabStop = tabStop;
    site_.extended.tabStopReads = 0;
    control_ = NewButton();
    ASSERT_NE(control_, nullptr);
    ASSERT_EQ(PutColor(control_, L"BackColor", 0xFFFFFF), S_OK);
    ASSERT_EQ(PutColor(control_, L"FocusColor", 0xFFFFFF), S_OK);
    ASSERT_EQ(DoVerb(OLEIVERB_UIACTIVATE), S_OK);
    HWND face = GetWindow(ControlWindow(), GW_CHILD);
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(GetFocus(), ControlWindow());
    EXPECT_GT(site_.extended.tabStopReads, 0);
    if (tabStop)
      EXPECT_GT(FocusInk(face), 0);
    else
      EXPECT_EQ(FocusInk(face), 0);
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
    control_->Release();
    control_ = nullptr;
  }
}

// ---- Advises, saving, late binding ----

TEST_F(ZolBtnsContract, EnumAdviseGivesAnEnumeratorOnlyWithAnAdviseToEnumerate) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  IEnumSTATDATA* advises = reinterpret_cast<IEnumSTATDATA*>(1);
  EXPECT_TRUE(FAILED(control_->EnumAdvise(&advises)));
  EXPECT_EQ(advises, nullptr);
  Sink& sink = sink_;
  DWORD cookie = 0;
  ASSERT_EQ(control_->Advise(static_cast<IAdviseSink*>(&sink), &cookie), S_OK);
  ASSERT_EQ(control_->EnumAdvise(&advises), S_OK);
  ASSERT_NE(advises, nullptr);
  STATDATA data{};
  ULONG fetched = 0;
  EXPECT_EQ(advises->Next(1, &data, &fetched), S_OK);
  EXPECT_EQ(data.dwConnection, cookie);
  if (data.pAdvSink) data.pAdvSink->Release();
  advises->Release();
  EXPECT_EQ(control_->Unadvise(cookie), S_OK);
}

TEST_F(ZolBtnsContract, ClosingSavesThroughTheSiteOnlyWhenAskedAndDirty) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  EXPECT_EQ(control_->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(g_calls.find("SaveObject"), std::string::npos) << "saved a clean control";
  ASSERT_EQ(PutColor(control_, L"BackColor", 0x123456), S_OK);
  EXPECT_EQ(control_->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_EQ(g_calls.find("SaveObject"), std::string::npos) << "saved when told not to";
  EXPECT_EQ(control_->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_NE(g_calls.find("SaveObject;"), std::string::npos);
}

TEST_F(ZolBtnsContract, InvokeAnswersOnlyForTheNullInterface) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  IDispatch* dispatch = As<IDispatch>(control_, IID_IDispatch);
  ASSERT_NE(dispatch, nullptr);
  DISPID id = DISPID_UNKNOWN;
  ASSERT_EQ(MemberId(dispatch, L"BackColor", &id), S_OK);
  VARIANT color;
  VariantInit(&color);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(dispatch->Invoke(id, IID_IUnknown, 0, DISPATCH_PROPERTYGET, &none, &color, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &color, nullptr, nullptr), S_OK);
  VariantClear(&color);
  dispatch->Release();
}

TEST_F(ZolBtnsContract, ClicksStopReachingASinkOnceUnadvised) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  ASSERT_EQ(DoVerb(OLEIVERB_INPLACEACTIVATE), S_OK);
  Sink& sink = sink_;
  const DWORD cookie = Advise(control_, DIID__zolButtonEvents, static_cast<IDispatch*>(&sink));
  ASSERT_NE(cookie, 0u);
  PressSpace(ControlWindow());
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(Unadvise(control_, DIID__zolButtonEvents, cookie), S_OK);
  PressSpace(ControlWindow());
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(Unadvise(control_, DIID__zolButtonEvents, cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(ZolBtnsContract, MiscStatusIsExactlyThatOfAnInsideOutButton) {
  control_ = NewButton();
  ASSERT_NE(control_, nullptr);
  DWORD status = 0;
  ASSERT_EQ(control_->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, kButtonMiscStatus);
  IQuickActivate* quick = As<IQuickActivate>(control_, IID_IQuickActivate);
  ASSERT_NE(quick, nullptr);
  QACONTAINER container{};
  container.cbSize = sizeof container;
  container.pClientSite = &site_;
  QACONTROL answer{};
  answer.cbSize = sizeof answer;
  ASSERT_EQ(quick->QuickActivate(&container, &answer), S_OK);
  quick->Release();
  EXPECT_EQ(answer.dwMiscStatus, kButtonMiscStatus);
}

// ---- Registration, against registry roots redirected into a scratch key ----

const wchar_t kScratch[] = L"Software\\ZolBtnsContractTest";

// The classes root and the current user of this process, both pointed at
// keys below the scratch key while a test runs.
class ZolBtnsRegistration : public ZolBtnsContract {
 protected:
  void SetUp() override {
    ZolBtnsContract::SetUp();
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\Machine").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &machine_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\User").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &user_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    for (HKEY key : {machine_, user_, broken_})
      if (key) RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    ZolBtnsContract::TearDown();
  }
  void Redirect(HKEY classes) {
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), ERROR_SUCCESS);
  }
  // A classes root nothing can be written to or read from: a key deleted while held open.
  HKEY BrokenClasses() {
    const std::wstring path = std::wstring(kScratch) + L"\\Gone";
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &broken_, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
    return broken_;
  }

  HKEY machine_ = nullptr, user_ = nullptr, broken_ = nullptr;
};

struct Kind {
  const CLSID* clsid;
  const wchar_t* progId;
};
const Kind kKinds[] = {{&CLSID_zolButton, ZOLBTNS_PROGID_ZOLBUTTON}, {&CLSID_FlatButton, ZOLBTNS_PROGID_FLATBUTTON}};

TEST_F(ZolBtnsRegistration, RegistersEachClassAsContainersReadItAndUnregistersEveryKey) {
  Redirect(machine_);
  ASSERT_EQ(g_library.registerServer(), S_OK);
  for (const Kind& kind : kKinds) {
    const std::wstring clsid = L"CLSID\\" + GuidText(*kind.clsid);
    SCOPED_TRACE(Narrow(clsid));
    EXPECT_EQ(lstrcmpiW(KeyValue(machine_, clsid + L"\\InprocServer32").c_str(), g_library.path.c_str()), 0);
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\Version"), L"1.0");
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\ProgID"), kind.progId);
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\TypeLib"), GuidText(LIBID_ZolBttn));
    EXPECT_TRUE(KeyExists(machine_, clsid + L"\\Control"));
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\MiscStatus"), L"0");
    EXPECT_EQ(KeyValue(machine_, clsid + L"\\MiscStatus\\1"), std::to_wstring(kButtonMiscStatus));
    EXPECT_EQ(KeyValue(machine_, std::wstring(kind.progId) + L"\\CLSID"), GuidText(*kind.clsid));
  }
  // This program and the library it loaded are 64-bit.
  const std::wstring types = L"TypeLib\\" + GuidText(LIBID_ZolBttn) + L"\\1.0\\0\\win64";
  EXPECT_TRUE(KeyExists(machine_, types));

  ASSERT_EQ(g_library.unregisterServer(), S_OK);
  for (const Kind& kind : kKinds) {
    EXPECT_FALSE(KeyExists(machine_, L"CLSID\\" + GuidText(*kind.clsid)));
    EXPECT_FALSE(KeyExists(machine_, kind.progId));
  }
  EXPECT_FALSE(KeyExists(machine_, types));
  EXPECT_EQ(g_library.unregisterServer(), S_OK) << "unregistering twice";
}

TEST_F(ZolBtnsRegistration, WithoutTheMachinesClassesTheClassesGoToTheUsersAndFailingToRemoveThemIsReported) {
  Redirect(BrokenClasses());
  ASSERT_EQ(g_library.registerServer(), S_OK);
  for (const Kind& kind : kKinds) {
    const std::wstring clsid = L"Software\\Classes\\CLSID\\" + GuidText(*kind.clsid);
    EXPECT_EQ(lstrcmpiW(KeyValue(user_, clsid + L"\\InprocServer32").c_str(), g_library.path.c_str()), 0);
    EXPECT_EQ(KeyValue(user_, L"Software\\Classes\\" + std::wstring(kind.progId) + L"\\CLSID"), GuidText(*kind.clsid));
  }
  // The user's keys go; the machine's classes cannot even be looked at, which is reported.
  EXPECT_EQ(g_library.unregisterServer(), SELFREG_E_CLASS);
  for (const Kind& kind : kKinds) EXPECT_FALSE(KeyExists(user_, L"Software\\Classes\\CLSID\\" + GuidText(*kind.clsid)));
}

}  // namespace
