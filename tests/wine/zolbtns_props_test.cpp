// The ZolBtns controls' properties as containers use them: a property
// browser's change notifications, the font object a form edits, the two
// saved forms (a stream and a property bag) with every property, damaged or
// foreign saved data, and what a container decides for the control: its
// TabStop, its ambient font, the dialog manager's access letters.
#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "RealInput.h"
#include "ZolBtnsTestSupport.h"
#include "controls/ZolBtns.h"

namespace {

using namespace wine_test;

constexpr DWORD kPatienceMs = 10000;  // Wine under load, or a 32-bit control under emulation

// Pumps this thread's messages, through `dialog`'s keyboard handling when
// given, until `done` holds or the patience runs out.
bool PumpUntil(const std::function<bool()>& done, HWND dialog = nullptr) {
  const ULONGLONG giveUp = GetTickCount64() + kPatienceMs;
  while (!done()) {
    if (GetTickCount64() > giveUp) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog && IsDialogMessageW(dialog, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  for (const auto& [key, down] : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
  }
}

// ---- Objects a container hands the control ----

IFontDisp* NewFont(const wchar_t* face, int points, bool bold = false) {
  FONTDESC description{sizeof(FONTDESC),
                       const_cast<LPOLESTR>(face),
                       {},
                       static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                       ANSI_CHARSET,
                       FALSE,
                       FALSE,
                       FALSE};
  description.cySize.int64 = points * 10000LL;
  IFontDisp* font = nullptr;
  EXPECT_EQ(OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

IPictureDisp* NewIconPicture() {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_ICON;
  description.icon.hicon = CopyIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // IDI_APPLICATION
  IPictureDisp* picture = nullptr;
  EXPECT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture)), S_OK);
  return picture;
}

// A container of our own, for what Wine's ATL host does not offer: an
// ambient font that changes, besides the extended control with a TabStop.
class Site final : public QuietSite, public IDispatch {
 public:
  ~Site() {
    if (ambientFont) ambientFont->Release();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!IsEqualIID(iid, IID_IDispatch)) return QuietSite::QueryInterface(iid, object);
    *object = static_cast<IDispatch*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IDispatch: the ambient properties
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id != DISPID_AMBIENT_FONT || !ambientFont || !result) return DISP_E_MEMBERNOTFOUND;
    ambientFont->AddRef();
    *result = Object(ambientFont);
    return S_OK;
  }

  void SetAmbientFont(IFontDisp* font) {  // takes over the reference
    if (ambientFont) ambientFont->Release();
    ambientFont = font;
  }

  IFontDisp* ambientFont = nullptr;
};

// ---- One control, reached as a container reaches it ----

struct Button {
  IUnknown* object = nullptr;
  IDispatch* dispatch = nullptr;
  HWND window = nullptr;
  HWND face = nullptr;
  bool flat;
  Sink sink;
  DWORD eventsCookie = 0, notifyCookie = 0;

  explicit Button(const CLSID& clsid)
      : flat(IsEqualCLSID(clsid, CLSID_FlatButton)), sink(flat ? DIID__FlatButtonEvents : DIID__zolButtonEvents) {
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
              S_OK);
    if (!object) return;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    IPersistStreamInit* persist = As<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(persist ? persist->InitNew() : E_NOINTERFACE, S_OK);
    if (persist) persist->Release();
    eventsCookie = wine_test::Advise(object, flat ? DIID__FlatButtonEvents : DIID__zolButtonEvents,
                                     static_cast<IDispatch*>(&sink));
    notifyCookie = wine_test::Advise(object, IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(&sink));
    EXPECT_NE(eventsCookie, 0u);
    EXPECT_NE(notifyCookie, 0u);
  }
  ~Button() {
    if (IOleObject* ole = As<IOleObject>(IID_IOleObject)) {
      ole->Close(OLECLOSE_NOSAVE);
      ole->SetClientSite(nullptr);
      ole->Release();
    }
    if (dispatch) dispatch->Release();
    if (object) object->Release();
  }
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  template <class T>
  T* As(const IID& iid) {
    return wine_test::As<T>(object, iid);
  }

  // Placed in `site`, in place on its window.
  void PlaceIn(Site& site) {
    IOleObject* ole = As<IOleObject>(IID_IOleObject);
    ASSERT_NE(ole, nullptr);
    EXPECT_EQ(ole->SetClientSite(&site), S_OK);
    EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.window, &site.place), S_OK);
    ole->Release();
    IOleWindow* oleWindow = As<IOleWindow>(IID_IOleWindow);
    ASSERT_NE(oleWindow, nullptr);
    oleWindow->GetWindow(&window);
    oleWindow->Release();
    ASSERT_NE(window, nullptr);
    face = GetWindow(window, GW_CHILD);
    real_input::Pump();
  }

  DISPID Id(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(MemberId(dispatch, name, &id), S_OK) << Narrow(name);
    return id;
  }
  // Sets a property; objects go by reference with DISPATCH_PROPERTYPUTREF.
  HRESULT Put(const wchar_t* name, VARIANT value, WORD how = DISPATCH_PROPERTYPUT) {
    return PutProperty(dispatch, Id(name), value, how);
  }
  // A property's value, failing the test when the control refuses it or
  // answers another type than `type`.
  VARIANT Get(const wchar_t* name, VARTYPE type) { return GetProperty(dispatch, name, type); }
  bool Flag(const wchar_t* name) { return BoolProperty(dispatch, name); }
  std::wstring Caption() { return TextProperty(dispatch, L"Caption"); }
  template <class T>
  T* ObjectProperty(const wchar_t* name, const IID& iid) {  // new reference, or nullptr
    return wine_test::ObjectProperty<T>(dispatch, name, iid);
  }
  HRESULT Call(const wchar_t* name) { return CallMethod(dispatch, Id(name)); }
  bool Dirty() {
    IPersistStreamInit* persist = As<IPersistStreamInit>(IID_IPersistStreamInit);
    const bool dirty = persist && persist->IsDirty() == S_OK;
    if (persist) persist->Release();
    return dirty;
  }
  HRESULT LoadStream(IStream* stream) {
    IPersistStreamInit* persist = As<IPersistStreamInit>(IID_IPersistStreamInit);
    if (!persist) return E_NOINTERFACE;
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    const HRESULT hr = persist->Load(stream);
    persist->Release();
    return hr;
  }
};

// Rows of `dc`'s `area` holding something other than `background`.
int InkRows(HDC dc, const RECT& area, COLORREF background) {
  int rows = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (GetPixel(dc, x, y) != background) {
        ++rows;
        break;
      }
  return rows;
}

// The caption's height as the control draws itself for a container (IViewObject::Draw), in pixels.
int DrawnCaptionHeight(Button& button) {
  IViewObject2* view = button.As<IViewObject2>(IID_IViewObject2);
  if (!view) return -1;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 80);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECTL bounds{0, 0, 200, 80};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  view->Release();
  const int rows = InkRows(dc, RECT{2, 2, 160, 62}, RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return rows;
}

// A white face with black text, whose focus rectangle and click flash stay white too.
void PlainFace(Button& button) {
  button.Put(L"BackColor", Long(0xFFFFFF));
  button.Put(L"ForeColor", Long(0));
  button.Put(L"FocusColor", Long(0xFFFFFF));
  if (button.flat) button.Put(L"ClickColor", Long(0xFFFFFF));
}

class ZolBtnsProps : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    RegisterPlainWindowClass(L"ZolBtnsPropsHost");
  }
  static void TearDownTestSuite() { CoUninitialize(); }
  void TearDown() override {
    real_input::MoveTo(GetDesktopWindow(), 600, 500);  // away from where the next test's buttons go
    if (host_) DestroyWindow(host_);
    real_input::Pump();
  }

  // A shown top-level window with the keyboard, for controls placed in a Site.
  HWND Host() {
    if (!host_)
      host_ = CreateWindowExW(WS_EX_TOPMOST, L"ZolBtnsPropsHost", L"ZolBtns properties", WS_POPUP | WS_VISIBLE, 0, 0,
                              400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    real_input::Activate(host_);
    return host_;
  }

  HWND host_ = nullptr;
};

const CLSID* const kClasses[] = {&CLSID_zolButton, &CLSID_FlatButton};

std::string ClassName(const CLSID& clsid) { return IsEqualCLSID(clsid, CLSID_FlatButton) ? "FlatButton" : "zolButton"; }

// ---- Every setter tells the container ----

// A property, a value other than its default, and the type the control answers it in.
struct NewValue {
  const wchar_t* name;
  std::function<VARIANT()> value;
  VARTYPE type;
  WORD how = DISPATCH_PROPERTYPUT;
};

constexpr VARTYPE kColour = VT_UI4;  // OLE_COLOR

std::vector<NewValue> EveryProperty(const CLSID& clsid) {
  std::vector<NewValue> all = {
      {L"BackColor", [] { return Long(0x123456); }, kColour},
      {L"ForeColor", [] { return Long(0x654321); }, kColour},
      {L"Enabled", [] { return Bool(false); }, VT_BOOL},
      {L"Font", [] { return Object(NewFont(L"Tahoma", 13, true)); }, VT_DISPATCH},
      {L"Font", [] { return Object(NewFont(L"Tahoma", 11)); }, VT_DISPATCH, DISPATCH_PROPERTYPUTREF},
      {L"Caption", [] { return Text(L"&Round trip"); }, VT_BSTR},
      {L"Picture", [] { return Object(NewBitmapPicture(12, 0xFF0000)); }, VT_DISPATCH},
      {L"Picture", [] { return Object(NewBitmapPicture(10, 0x00FF00)); }, VT_DISPATCH, DISPATCH_PROPERTYPUTREF},
      {L"MousePointer", [] { return Long(5); }, VT_I2},
      {L"MouseIcon", [] { return Object(NewIconPicture()); }, VT_DISPATCH},
      {L"MouseIcon", [] { return Object(NewIconPicture()); }, VT_DISPATCH, DISPATCH_PROPERTYPUTREF},
      {L"FocusColor", [] { return Long(0x111111); }, kColour},
  };
  if (IsEqualCLSID(clsid, CLSID_FlatButton)) {
    for (NewValue& property : all)
      if (wcscmp(property.name, L"MousePointer") == 0) property.type = VT_I4;  // a FlatButton's is a Long
    all.insert(all.end(), {{L"Highlight", [] { return Long(0x0A0B0C); }, kColour},
                           {L"ClickColor", [] { return Long(0x333333); }, kColour},
                           {L"NoFocusRect", [] { return Bool(true); }, VT_BOOL},
                           {L"UseClickFlash", [] { return Bool(false); }, VT_BOOL},
                           {L"Value", [] { return Bool(true); }, VT_BOOL}});
  } else {
    all.insert(all.end(), {{L"UseShadow", [] { return Bool(false); }, VT_BOOL},
                           {L"ShadowColor", [] { return Long(0x010203); }, kColour},
                           {L"BorderColor", [] { return Long(0x0A0B0C); }, kColour},
                           {L"UseBorder", [] { return Bool(false); }, VT_BOOL},
                           {L"FillerBackground", [] { return Long(0x222222); }, kColour}});
  }
  return all;
}

TEST_F(ZolBtnsProps, EverySetterNotifiesTheContainerWithThePropertysOwnDispid) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Button button(*clsid);
    for (const NewValue& property : EveryProperty(*clsid)) {
      SCOPED_TRACE(Narrow(property.name));
      button.sink.changed.clear();
      VARIANT value = property.value();
      EXPECT_EQ(button.Put(property.name, value, property.how), S_OK);
      VariantClear(&value);
      EXPECT_EQ(button.sink.changed, std::vector<DISPID>{button.Id(property.name)});
    }
    // Every member of the interface that can be set was set above.
    ITypeInfo* info = nullptr;
    ASSERT_EQ(button.dispatch->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    std::vector<std::wstring> settable;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
      FUNCDESC* function = nullptr;
      if (FAILED(info->GetFuncDesc(i, &function))) continue;
      if (function->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) {
        BSTR name = nullptr;
        UINT count = 0;
        info->GetNames(function->memid, &name, 1, &count);
        settable.emplace_back(name ? name : L"");
        SysFreeString(name);
      }
      info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
    info->Release();
    const std::vector<NewValue> tried = EveryProperty(*clsid);
    for (const std::wstring& name : settable) {
      bool covered = false;
      for (const NewValue& property : tried) covered = covered || _wcsicmp(name.c_str(), property.name) == 0;
      EXPECT_TRUE(covered) << Narrow(name.c_str()) << " is settable but untested";
    }
  }
}

// ---- The font object ----

TEST_F(ZolBtnsProps, ChangingTheFontObjectRepaintsMarksDirtyAndNotifies) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Site site;
    site.window = Host();
    site.SetAmbientFont(NewFont(L"Tahoma", 8));
    Button button(*clsid);
    button.PlaceIn(site);
    PlainFace(button);
    button.Put(L"Caption", Text(L"Hg"));
    RECT face{};
    GetClientRect(button.face, &face);
    face.right -= 12;
    face.bottom -= 12;
    const auto shownHeight = [&] {
      RedrawWindow(button.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // only what was invalidated
      HDC dc = GetDC(button.face);
      const int rows = InkRows(dc, RECT{3, 3, face.right, face.bottom}, RGB(255, 255, 255));
      ReleaseDC(button.face, dc);
      return rows;
    };
    const int before = shownHeight();
    ASSERT_GT(before, 3);

    IFont* font = button.ObjectProperty<IFont>(L"Font", IID_IFont);
    ASSERT_NE(font, nullptr);
    IPersistStreamInit* persist = button.As<IPersistStreamInit>(IID_IPersistStreamInit);
    IStream* saved = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
    EXPECT_EQ(persist->Save(saved, TRUE), S_OK);  // clean
    button.sink.changed.clear();
    CY size{};
    size.int64 = 16 * 10000LL;
    EXPECT_EQ(font->put_Size(size), S_OK);
    EXPECT_EQ(button.sink.changed, std::vector<DISPID>{button.Id(L"Font")});
    EXPECT_TRUE(button.Dirty());
    EXPECT_GT(shownHeight(), before + 4);
    button.sink.changed.clear();
    EXPECT_EQ(font->put_Bold(TRUE), S_OK);
    EXPECT_EQ(button.sink.changed, std::vector<DISPID>{button.Id(L"Font")});
    font->Release();
    saved->Release();
    persist->Release();
  }
}

TEST_F(ZolBtnsProps, ReadingTheFontKeepsFollowingTheAmbientFontUntilOneIsSet) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Site site;
    site.SetAmbientFont(NewFont(L"Tahoma", 8));
    Button button(*clsid);
    IOleObject* ole = button.As<IOleObject>(IID_IOleObject);
    ASSERT_NE(ole, nullptr);
    ASSERT_EQ(ole->SetClientSite(&site), S_OK);
    ole->Release();
    IOleControl* control = button.As<IOleControl>(IID_IOleControl);
    ASSERT_NE(control, nullptr);
    PlainFace(button);
    button.Put(L"Caption", Text(L"Hg"));
    const int small = DrawnCaptionHeight(button);
    ASSERT_GT(small, 3);

    IFont* font = button.ObjectProperty<IFont>(L"Font", IID_IFont);
    ASSERT_NE(font, nullptr);
    button.sink.changed.clear();
    site.SetAmbientFont(NewFont(L"Tahoma", 20));
    EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT), S_OK);
    const int large = DrawnCaptionHeight(button);
    EXPECT_GT(large, small + 6);
    CY size{};
    EXPECT_EQ(font->get_Size(&size), S_OK);
    EXPECT_NEAR(static_cast<double>(size.int64), 20 * 10000.0,
                7500);  // the font handed out shows what the button shows
    EXPECT_TRUE(button.sink.changed.empty()) << "following the container is no change of the button's";

    // Nothing to save while the font is the container's.
    MapBag bag;
    IPersistPropertyBag* persist = button.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_NE(persist, nullptr);
    EXPECT_EQ(persist->Save(&bag, TRUE, FALSE), S_OK);
    EXPECT_EQ(bag.values.count(L"Font"), 0u);

    // A change through the font object makes it the button's own: the container's next font no longer counts.
    EXPECT_EQ(font->put_Italic(TRUE), S_OK);
    site.SetAmbientFont(NewFont(L"Tahoma", 8));
    EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT), S_OK);
    EXPECT_GE(DrawnCaptionHeight(button), large - 1);
    EXPECT_EQ(persist->Save(&bag, TRUE, FALSE), S_OK);
    EXPECT_EQ(bag.values.count(L"Font"), 1u);

    // A font set by reference stays the button's, whatever the container does.
    button.Put(L"Font", Object(NewFont(L"Tahoma", 8)), DISPATCH_PROPERTYPUTREF);
    const int set = DrawnCaptionHeight(button);
    site.SetAmbientFont(NewFont(L"Tahoma", 24));
    EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT), S_OK);
    EXPECT_EQ(DrawnCaptionHeight(button), set);
    persist->Release();
    font->Release();
    control->Release();
  }
}

// ---- Every property through both saved forms ----

void SetEveryProperty(Button& button, const CLSID& clsid) {
  for (const NewValue& property : EveryProperty(clsid)) {
    if (property.how != DISPATCH_PROPERTYPUT) continue;
    VARIANT value = property.value();
    EXPECT_EQ(button.Put(property.name, value), S_OK) << Narrow(property.name);
    VariantClear(&value);
  }
}

void ExpectSamePicture(Button& source, Button& copy, const wchar_t* name) {
  IPicture* original = source.ObjectProperty<IPicture>(name, IID_IPicture);
  IPicture* loaded = copy.ObjectProperty<IPicture>(name, IID_IPicture);
  ASSERT_NE(original, nullptr) << Narrow(name);
  ASSERT_NE(loaded, nullptr) << Narrow(name) << " was not loaded";
  SHORT originalType = 0, loadedType = 0;
  OLE_XSIZE_HIMETRIC originalWidth = 0, loadedWidth = 0;
  original->get_Type(&originalType);
  loaded->get_Type(&loadedType);
  original->get_Width(&originalWidth);
  loaded->get_Width(&loadedWidth);
  EXPECT_EQ(loadedType, originalType) << Narrow(name);
  EXPECT_EQ(loadedWidth, originalWidth) << Narrow(name);
  original->Release();
  loaded->Release();
}

void ExpectEveryPropertyCopied(Button& source, Button& copy, const CLSID& clsid) {
  for (const NewValue& property : EveryProperty(clsid)) {
    if (property.how != DISPATCH_PROPERTYPUT) continue;
    SCOPED_TRACE(Narrow(property.name));
    const std::wstring name = property.name;
    if (name == L"Picture" || name == L"MouseIcon") {
      ExpectSamePicture(source, copy, property.name);
    } else if (name == L"Font") {
      IFont* loaded = copy.ObjectProperty<IFont>(L"Font", IID_IFont);
      ASSERT_NE(loaded, nullptr);
      CY size{};
      BOOL bold = FALSE;
      loaded->get_Size(&size);
      loaded->get_Bold(&bold);
      EXPECT_NEAR(static_cast<double>(size.int64), 13 * 10000.0, 7500);  // as the font realizes it in pixels
      EXPECT_TRUE(bold);
      loaded->Release();
    } else {
      VARIANT expected = property.value();
      VARIANT actual = copy.Get(property.name, property.type);
      EXPECT_EQ(VariantChangeType(&actual, &actual, 0, expected.vt), S_OK);
      EXPECT_EQ(VarCmp(&actual, &expected, LOCALE_USER_DEFAULT, 0), static_cast<HRESULT>(VARCMP_EQ));
      VariantClear(&expected);
      VariantClear(&actual);
    }
  }
}

TEST_F(ZolBtnsProps, EveryPropertyRoundTripsThroughAStream) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Button source(*clsid);
    SetEveryProperty(source, *clsid);
    IPersistStreamInit* persist = source.As<IPersistStreamInit>(IID_IPersistStreamInit);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    persist->Release();
    Button copy(*clsid);
    EXPECT_EQ(copy.LoadStream(stream), S_OK);
    stream->Release();
    ExpectEveryPropertyCopied(source, copy, *clsid);
  }
}

TEST_F(ZolBtnsProps, EveryPropertyRoundTripsThroughAPropertyBag) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Button source(*clsid);
    SetEveryProperty(source, *clsid);
    IPersistPropertyBag* persist = source.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    MapBag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, FALSE), S_OK);
    persist->Release();
    Button copy(*clsid);
    persist = copy.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
    EXPECT_EQ(persist->Load(&bag, nullptr), S_OK);
    persist->Release();
    ExpectEveryPropertyCopied(source, copy, *clsid);
  }
}

// ---- Saved streams that are not what the control wrote ----

// Builds a stream in the controls' stream layout.
class StreamWriter {
 public:
  StreamWriter() { CreateStreamOnHGlobal(nullptr, TRUE, &stream_); }
  ~StreamWriter() {
    if (stream_) stream_->Release();
  }
  StreamWriter& Bytes(const void* data, ULONG size) {
    stream_->Write(data, size, nullptr);
    return *this;
  }
  template <class T>
  StreamWriter& Value(const T& value) {
    return Bytes(&value, sizeof value);
  }
  StreamWriter& Header(DWORD version = 1) { return Value(DWORD{0x426C6F5A}).Value(version); }
  StreamWriter& Name(const std::wstring& name) {
    Value(static_cast<ULONG>(name.size()));
    return Bytes(name.data(), static_cast<ULONG>(name.size() * sizeof(wchar_t)));
  }
  StreamWriter& TextValue(const std::wstring& text) {
    Value(VARTYPE{VT_BSTR});
    return Name(text);
  }
  StreamWriter& End() { return Value(ULONG{0}); }
  IStream* stream() { return stream_; }

 private:
  IStream* stream_ = nullptr;
};

// A class of this program's own, registered for the apartment: what a stream
// could name to have the control create something other than a font or picture.
class CountingFactory final : public IClassFactory {
 public:
  STATIC_UNKNOWN(IClassFactory, &IID_IClassFactory)
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
    ++created;
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  int created = 0;
};

const CLSID kForeignClass = {0x6b1f0d52, 0x3c1e, 0x4a8e, {0x9d, 0x27, 0x51, 0x0c, 0x2e, 0x7a, 0x44, 0x90}};

TEST_F(ZolBtnsProps, AStreamNamingAnotherClassThanFontOrPictureIsRefusedUncreated) {
  CountingFactory factory;
  DWORD registration = 0;
  ASSERT_EQ(CoRegisterClassObject(kForeignClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration),
            S_OK);
  // The same class is found through COM, so a control that asked COM would create it.
  IUnknown* probe = nullptr;
  CoCreateInstance(kForeignClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&probe));
  ASSERT_EQ(factory.created, 1);
  factory.created = 0;

  Button button(CLSID_zolButton);
  button.Put(L"Caption", Text(L"as it was"));
  StreamWriter saved;
  saved.Header().Name(L"Caption").TextValue(L"taken").Name(L"Picture").Value(VARTYPE{VT_UNKNOWN});
  saved.Value(kForeignClass).Value(DWORD{0}).Value(DWORD{0}).End();
  EXPECT_TRUE(FAILED(button.LoadStream(saved.stream())));
  EXPECT_EQ(factory.created, 0);
  EXPECT_EQ(button.Caption(), L"as it was");
  CoRevokeClassObject(registration);
}

TEST_F(ZolBtnsProps, ALaterRevisionsNamesAndValuesAreSkipped) {
  Button button(CLSID_zolButton);
  StreamWriter later;
  const double someNumber = 2.5;
  later.Header(2).Name(L"Caption").TextValue(L"from a later one");
  later.Name(L"Opacity").Value(VARTYPE{VT_R8}).Value(someNumber);
  later.Name(L"Tint").Value(VARTYPE{VT_UI1}).Value(BYTE{7});
  later.Name(L"UseShadow").Value(VARTYPE{VT_BOOL}).Value(VARIANT_BOOL{VARIANT_FALSE}).End();
  EXPECT_EQ(button.LoadStream(later.stream()), S_OK);
  EXPECT_EQ(button.Caption(), L"from a later one");
  EXPECT_FALSE(button.Flag(L"UseShadow"));
}

TEST_F(ZolBtnsProps, DamagedStreamsFailCleanlyAndChangeNothing) {
  Button source(CLSID_FlatButton);
  SetEveryProperty(source, CLSID_FlatButton);
  IPersistStreamInit* persist = source.As<IPersistStreamInit>(IID_IPersistStreamInit);
  IStream* whole = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &whole), S_OK);
  ASSERT_EQ(persist->Save(whole, TRUE), S_OK);
  persist->Release();
  STATSTG stat{};
  whole->Stat(&stat, STATFLAG_NONAME);
  std::vector<char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start{};
  whole->Seek(start, STREAM_SEEK_SET, nullptr);
  whole->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  whole->Release();
  ASSERT_GT(bytes.size(), 200u);

  Button button(CLSID_FlatButton);
  button.Put(L"Caption", Text(L"as it was"));
  const auto loads = [&](StreamWriter& damaged) { return SUCCEEDED(button.LoadStream(damaged.stream())); };
  // Cut anywhere, inside a name, a value, the font or the picture.
  for (size_t length = 0; length < bytes.size(); ++length) {
    StreamWriter cut;
    cut.Bytes(bytes.data(), static_cast<ULONG>(length));
    EXPECT_FALSE(loads(cut)) << "cut after " << length << " of " << bytes.size() << " bytes";
  }
  StreamWriter foreign, otherLayout, nameTooLong, textTooLong, lengthPastTheEnd, noSize;
  foreign.Value(DWORD{0x12345678}).Value(DWORD{1}).End();
  EXPECT_FALSE(loads(foreign));
  otherLayout.Header(0x00010001).End();
  EXPECT_FALSE(loads(otherLayout));
  nameTooLong.Header().Name(std::wstring(65, L'N')).TextValue(L"x").End();
  EXPECT_FALSE(loads(nameTooLong));
  textTooLong.Header().Name(L"Caption").TextValue(std::wstring((1 << 20) + 1, L'T')).End();
  EXPECT_FALSE(loads(textTooLong));
  lengthPastTheEnd.Header().Name(L"Caption").Value(VARTYPE{VT_BSTR}).Value(ULONG{0x7FFFFFF0}).Value(L'x');
  EXPECT_FALSE(loads(lengthPastTheEnd));
  noSize.Header().Name(L"Caption").Value(VARTYPE{VT_ARRAY | VT_I4}).Value(DWORD{1}).End();
  EXPECT_FALSE(loads(noSize));
  EXPECT_EQ(button.Caption(), L"as it was");

  StreamWriter intact;
  intact.Bytes(bytes.data(), static_cast<ULONG>(bytes.size()));
  EXPECT_TRUE(loads(intact));
  EXPECT_EQ(button.Caption(), L"&Round trip");
}

// ---- What the container decides ----

// Pixels of the focus rectangle's top edge (3 pixels inside the face) that are not white.
int FocusInk(Button& button) {
  RedrawWindow(button.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return FocusRectangleInk(button.face, RGB(255, 255, 255));
}

TEST_F(ZolBtnsProps, TheContainersTabStopDecidesTheFocusRectangle) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Site noTab, tab, plain;
    noTab.window = tab.window = plain.window = Host();
    noTab.extended.tabStop = false;
    tab.place = RECT{10, 80, 130, 120};
    plain.place = RECT{10, 150, 130, 190};
    plain.controlSite = false;
    Button without(*clsid), with(*clsid), windowStyle(*clsid);
    without.PlaceIn(noTab);
    with.PlaceIn(tab);
    windowStyle.PlaceIn(plain);
    for (Button* button : {&without, &with, &windowStyle}) {
      PlainFace(*button);
      button->Put(L"Caption", Text(L""));
    }
    // The container's False wins over the window's WS_TABSTOP, its True over a cleared style.
    ASSERT_NE(GetWindowLongW(without.window, GWL_STYLE) & WS_TABSTOP, 0);
    SetWindowLongW(with.window, GWL_STYLE, GetWindowLongW(with.window, GWL_STYLE) & ~WS_TABSTOP);
    SetFocus(without.window);
    EXPECT_EQ(FocusInk(without), 0);
    EXPECT_EQ(without.Call(L"BtnDown"), S_OK);
    EXPECT_EQ(FocusInk(without), 0);
    without.Call(L"BtnUp");
    SetFocus(with.window);
    EXPECT_GT(FocusInk(with), 5);
    // A container without an extended control: the window style decides.
    SetFocus(windowStyle.window);
    EXPECT_GT(FocusInk(windowStyle), 5);
    SetFocus(without.window);
    SetWindowLongW(windowStyle.window, GWL_STYLE, GetWindowLongW(windowStyle.window, GWL_STYLE) & ~WS_TABSTOP);
    SetFocus(windowStyle.window);
    EXPECT_EQ(FocusInk(windowStyle), 0);
  }
}

TEST_F(ZolBtnsProps, SpaceUpClicksAButtonShownPressedByBtnDown) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Site site;
    site.window = Host();
    Button button(*clsid);
    button.PlaceIn(site);
    SetFocus(button.window);
    ASSERT_EQ(button.Call(L"BtnDown"), S_OK);
    real_input::Key(VK_SPACE, false);
    EXPECT_TRUE(PumpUntil([&] { return button.sink.clicks == 1; }));
    // Released: the next Space is a press and release of its own.
    real_input::Key(VK_SPACE, true);
    real_input::Key(VK_SPACE, false);
    EXPECT_TRUE(PumpUntil([&] { return button.sink.clicks == 2; }));
  }
}

TEST_F(ZolBtnsProps, AClickOnADisabledButtonTakesNoFocus) {
  for (const CLSID* clsid : kClasses) {
    SCOPED_TRACE(ClassName(*clsid));
    Site first, second;
    first.window = second.window = Host();
    second.place = RECT{10, 80, 130, 120};
    Button enabled(*clsid), disabled(*clsid);
    enabled.PlaceIn(first);
    disabled.PlaceIn(second);
    disabled.Put(L"Enabled", Bool(false));
    SetFocus(enabled.window);
    real_input::ClickAt(disabled.face, 20, 10);
    EXPECT_EQ(GetFocus(), enabled.window);
    // The same click on the enabled one does take it: the input arrived.
    disabled.Put(L"Enabled", Bool(true));
    real_input::ClickAt(disabled.face, 20, 10);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == disabled.window; }));
    EXPECT_EQ(disabled.sink.clicks, 1);
  }
}

// ---- Access letters ----

TEST_F(ZolBtnsProps, TheCaptionsAccessLetterIsTheContainersAccelerator) {
  Button button(CLSID_zolButton);
  IOleControl* control = button.As<IOleControl>(IID_IOleControl);
  ASSERT_NE(control, nullptr);
  const auto acceleratorKey = [&](const wchar_t* caption) -> int {
    button.Put(L"Caption", Text(caption));
    CONTROLINFO info{};
    info.cb = sizeof info;
    EXPECT_EQ(control->GetControlInfo(&info), S_OK);
    if (!info.hAccel || info.cAccel == 0) return 0;
    std::vector<ACCEL> keys(info.cAccel);
    CopyAcceleratorTableW(info.hAccel, keys.data(), info.cAccel);
    return keys[0].key;
  };
  EXPECT_EQ(acceleratorKey(L"&Exit"), 'E');
  EXPECT_EQ(acceleratorKey(L"Save && E&xit"), 'X');  // "&&" shows "&"
  EXPECT_EQ(acceleratorKey(L"Fish && Chips"), 0);
  EXPECT_EQ(acceleratorKey(L"Trailing&"), 0);
  button.Put(L"Caption", Text(L"&Exit"));
  MSG message{};
  EXPECT_EQ(control->OnMnemonic(&message), S_OK);
  EXPECT_EQ(button.sink.clicks, 1);
  button.Put(L"Enabled", Bool(false));
  control->OnMnemonic(&message);
  EXPECT_EQ(button.sink.clicks, 1);
  control->Release();
}

// A dialog box with a standard "&Other" button, for the dialog manager's keyboard handling.
struct Dialog {
  static constexpr int kOther = 20;
  HWND window = nullptr;
  HWND other = nullptr;
  HWND host = nullptr;  // Wine's ATL host of the zolButton
  static int otherClicks;

  static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == kOther && HIWORD(wParam) == BN_CLICKED) ++otherClicks;
    return message == WM_INITDIALOG;
  }
  Dialog() {
    otherClicks = 0;
    alignas(DWORD) WORD memory[32] = {};
    auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(memory);
    dialogTemplate->style = WS_POPUP | WS_VISIBLE | DS_MODALFRAME;
    dialogTemplate->cx = 200;
    dialogTemplate->cy = 100;
    window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, nullptr, Proc, 0);
    other = CreateWindowExW(0, L"BUTTON", L"&Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 60, 80, 24,
                            window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kOther)), nullptr, nullptr);
  }
  ~Dialog() {
    if (window) DestroyWindow(window);
  }
};
int Dialog::otherClicks = 0;

TEST_F(ZolBtnsProps, InADialogAltAndTheAccessLetterClicksAndPlainLettersPassAFocusedButton) {
  const AxGetControl getControl = StartAtlHost();
  ASSERT_NE(getControl, nullptr);
  Dialog dialog;
  ASSERT_NE(dialog.window, nullptr);
  HWND host = CreateWindowExW(0, L"AtlAxWin", ZOLBTNS_PROGID_ZOLBUTTON, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100,
                              30, dialog.window, nullptr, nullptr, nullptr);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(getControl(host, &unknown), S_OK);
  Sink sink(DIID__zolButtonEvents);
  const DWORD cookie = Advise(unknown, DIID__zolButtonEvents, static_cast<IDispatch*>(&sink));
  ASSERT_NE(cookie, 0u);
  ASSERT_EQ(PutText(unknown, L"Caption", L"&Exit"), S_OK);
  IOleWindow* oleWindow = nullptr;
  HWND button = nullptr;
  unknown->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow));
  ASSERT_NE(oleWindow, nullptr);
  oleWindow->GetWindow(&button);
  oleWindow->Release();
  ASSERT_NE(button, nullptr);
  real_input::Activate(dialog.window);

  // A push button's answer to the dialog manager, default or not.
  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);

  SetFocus(dialog.other);
  SendKeys({{VK_MENU, true}, {'E', true}, {'E', false}, {VK_MENU, false}});
  EXPECT_TRUE(PumpUntil([&] { return sink.clicks == 1; }, dialog.window)) << "Alt+E did not click";

  // With the focus on the zolButton, a plain letter is another control's access letter.
  SetFocus(button);
  SendKeys({{'O', true}, {'O', false}});
  EXPECT_TRUE(PumpUntil([&] { return Dialog::otherClicks == 1; }, dialog.window)) << "O did not reach the dialog";
  EXPECT_EQ(sink.clicks, 1);

  // Disabled, the letter clicks nothing; Alt+O after it shows the keys were handled.
  ASSERT_EQ(PutProperty(unknown, L"Enabled", Bool(false)), S_OK);
  SetFocus(dialog.other);
  SendKeys({{VK_MENU, true}, {'E', true}, {'E', false}, {'O', true}, {'O', false}, {VK_MENU, false}});
  EXPECT_TRUE(PumpUntil([&] { return Dialog::otherClicks == 2; }, dialog.window));
  EXPECT_EQ(sink.clicks, 1);

  EXPECT_EQ(Unadvise(unknown, DIID__zolButtonEvents, cookie), S_OK);
  unknown->Release();
}

}  // namespace
