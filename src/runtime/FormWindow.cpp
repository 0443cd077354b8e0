#include "runtime/FormWindow.h"

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <stdexcept>

#include "controls/ZolBtns.h"
#include "runtime/EventPump.h"
#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

constexpr char kFormClass[] = "GlimraForm";

int MeasureDotsPerInch(int index) {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, index) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

// Read once: the screen's resolution holds for the whole run (changing it
// takes a restart of Windows), and every twip conversion asks for it.
int ScreenDotsPerInch(int index) {
  static const int across = MeasureDotsPerInch(LOGPIXELSX);
  static const int down = MeasureDotsPerInch(LOGPIXELSY);
  return index == LOGPIXELSX ? across : down;
}

void EnsureComForThisThread() {
  static thread_local bool initialised = false;
  if (!initialised) {
    CoInitialize(nullptr);
    initialised = true;
  }
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Narrow(const wchar_t* text) {
  if (!text || !*text) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size - 1));
  return narrow;
}

DISPID DispatchId(IDispatch* dispatch, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
    throw RuntimeError(438, "Object doesn't support this property or method");
  return id;
}

void PutProperty(IDispatch* dispatch, const wchar_t* name, VARIANT& value) {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&value, &putId, 1, 1};
  if (FAILED(dispatch->Invoke(DispatchId(dispatch, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                              &parameters, nullptr, nullptr, nullptr)))
    throw RuntimeError(438, "Object doesn't support this property or method");
}

VARIANT GetProperty(IDispatch* dispatch, const wchar_t* name) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (FAILED(dispatch->Invoke(DispatchId(dispatch, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              &result, nullptr, nullptr)))
    throw RuntimeError(438, "Object doesn't support this property or method");
  return result;
}

}  // namespace

int TwipsPerPixelX() { return 1440 / ScreenDotsPerInch(LOGPIXELSX); }
int TwipsPerPixelY() { return 1440 / ScreenDotsPerInch(LOGPIXELSY); }
int TwipsToPixelsX(int twips) { return twips / TwipsPerPixelX(); }
int TwipsToPixelsY(int twips) { return twips / TwipsPerPixelY(); }
int PixelsToTwipsX(int pixels) { return pixels * TwipsPerPixelX(); }
int PixelsToTwipsY(int pixels) { return pixels * TwipsPerPixelY(); }

void RegisterWindowClass(const char* className, WNDPROC procedure, LPCSTR cursor, UINT style) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(instance, className, &windowClass)) return;
  windowClass.style = style;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, cursor);
  windowClass.lpszClassName = className;
  windowClass.lpfnWndProc = procedure;
  RegisterClassExA(&windowClass);
}

COLORREF ResolveColour(Colour colour) {
  const auto value = static_cast<std::uint32_t>(colour);
  if ((value & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(value & 0xFF));
  return value & 0xFFFFFFu;
}

// ---- ControlSite ----

// Where a hosted control sits on its form: the client site the control
// activates in place through, the ambient properties it reads, and the sink
// its events arrive at. A Click reaches the form as OnCommand(id, BN_CLICKED).
class ControlSite final : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
 public:
  ControlSite(FormWindow& form, UINT id, const RECT& place) : form_(&form), id_(id), place_(place) {}

  // Creates the control, starts it new and activates it in place on the form.
  HRESULT Embed(const CLSID& classId) {
    HRESULT hr =
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&object_));
    if (FAILED(hr)) return hr;
    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    if (misc & OLEMISC_SETCLIENTSITEFIRST) object_->SetClientSite(this);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
      persist->InitNew();
      persist->Release();
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) object_->SetClientSite(this);
    AdviseEvents();
    hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, form_->hWnd(), &place_);
    if (FAILED(hr)) return hr;
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
      inPlace->GetWindow(&window_);
      inPlace->Release();
    }
    if (!window_) return E_FAIL;
    // The control's id, as dialog functions and the form's handlers know it.
    SetWindowLongPtrA(window_, GWLP_ID, static_cast<LONG_PTR>(id_));
    return object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
  }

  // Lets the control go: no more events, its window gone, the site released.
  void Detach() {
    form_ = nullptr;
    if (events_ && eventsCookie_) events_->Unadvise(eventsCookie_);
    if (events_) events_->Release();
    events_ = nullptr;
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
      object_->Release();
    }
    object_ = nullptr;
  }

  // A new reference to the control's automation interface.
  IDispatch* TakeDispatch() {
    IDispatch* dispatch = dispatch_;
    dispatch_ = nullptr;
    return dispatch;
  }
  HWND Window() const { return window_; }

  // The form's font changed: the control reads its ambient font again.
  void AmbientFontChanged() {
    IOleControl* control = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)))) {
      control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT);
      control->Release();
    }
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
      *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IDispatch))
      *object = static_cast<IDispatch*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = form_ ? form_->hWnd() : nullptr;
    return *window ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return form_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override {
    if (!frame || !document || !position || !clip) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    *position = place_;
    *clip = place_;
    if (frameInfo) {
      frameInfo->fMDIApp = FALSE;
      frameInfo->hwndFrame = form_ ? form_->hWnd() : nullptr;
      frameInfo->haccel = nullptr;
      frameInfo->cAccelEntries = 0;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override {
    if (!position) return E_POINTER;
    place_ = *position;
    IOleInPlaceObject* inPlace = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
      inPlace->SetObjectRects(&place_, &place_);
      inPlace->Release();
    }
    return S_OK;
  }
  // IDispatch: the ambient properties the form offers its controls.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result || !form_) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
      case DISPID_AMBIENT_FONT: return AmbientFont(result);
      case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
      case DISPID_AMBIENT_BACKCOLOR:
        result->vt = VT_I4;
        result->lVal = form_->BackColor();
        return S_OK;
      case DISPID_AMBIENT_FORECOLOR:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(0x80000012);
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  // Receives the control's events.
  class EventSink final : public IDispatch {
   public:
    explicit EventSink(ControlSite& site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
      if (!object) return E_POINTER;
      *object = nullptr;
      if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return site_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return site_.Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
      if (count) *count = 0;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
      return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
      if (id == kZolEventClick) site_.Clicked();
      return S_OK;
    }

   private:
    ControlSite& site_;
  };

  ~ControlSite() = default;

  void AdviseEvents() {
    IProvideClassInfo2* info = nullptr;
    GUID eventsIid{};
    const bool known = SUCCEEDED(object_->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info))) &&
                       SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventsIid));
    if (info) info->Release();
    IConnectionPointContainer* points = nullptr;
    if (!known || FAILED(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))))
      return;
    if (SUCCEEDED(points->FindConnectionPoint(eventsIid, &events_)) &&
        FAILED(events_->Advise(&sink_, &eventsCookie_))) {
      events_->Release();
      events_ = nullptr;
    }
    points->Release();
  }

  void Clicked() {
    if (!form_) return;
    AddRef();  // the handler may unload the form and with it this site
    form_->ControlClicked(id_, window_);
    Release();
  }

  // The form's font, else the default GUI font.
  HRESULT AmbientFont(VARIANT* result) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(form_->hWnd(), WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA logFont{};
    GetObjectA(font, sizeof logFont, &logFont);
    OLECHAR faceName[LF_FACESIZE] = {};
    MultiByteToWideChar(CP_ACP, 0, logFont.lfFaceName, -1, faceName, LF_FACESIZE);
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = faceName;
    description.cySize.int64 =
        MulDiv(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight, 720000, ScreenDotsPerInch(LOGPIXELSY));
    description.sWeight = static_cast<SHORT>(logFont.lfWeight);
    description.sCharset = logFont.lfCharSet;
    description.fItalic = logFont.lfItalic != 0;
    description.fUnderline = logFont.lfUnderline != 0;
    description.fStrikethrough = logFont.lfStrikeOut != 0;
    IFontDisp* ambient = nullptr;
    const HRESULT hr = OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&ambient));
    if (FAILED(hr)) return hr;
    result->vt = VT_DISPATCH;
    result->pdispVal = ambient;
    return S_OK;
  }

  LONG references_ = 1;
  FormWindow* form_;
  UINT id_;
  RECT place_;
  IOleObject* object_ = nullptr;
  IDispatch* dispatch_ = nullptr;
  HWND window_ = nullptr;
  EventSink sink_{*this};
  IConnectionPoint* events_ = nullptr;
  DWORD eventsCookie_ = 0;
};

// ---- HostedControl ----

HostedControl::HostedControl(IDispatch* dispatch, HWND window, UINT id)
    : dispatch_(dispatch), window_(window), id_(id) {}

HostedControl::~HostedControl() {
  if (dispatch_) dispatch_->Release();
  if (site_) {
    site_->Detach();
    site_->Release();
  }
}

void HostedControl::SetLong(const wchar_t* name, long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  PutProperty(dispatch_, name, v);
}

void HostedControl::SetText(const wchar_t* name, const std::string& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(Widen(value).c_str());
  PutProperty(dispatch_, name, v);
  VariantClear(&v);
}

void HostedControl::SetBool(const wchar_t* name, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  PutProperty(dispatch_, name, v);
}

void HostedControl::SetPicture(const wchar_t* name, HBITMAP bitmap) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  IDispatch* picture = nullptr;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, reinterpret_cast<void**>(&picture)))) {
    DeleteObject(bitmap);
    RaiseError(kErrOutOfMemory);
  }
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = picture;
  PutProperty(dispatch_, name, v);
  VariantClear(&v);
}

long HostedControl::GetLong(const wchar_t* name) const {
  VARIANT v = GetProperty(dispatch_, name);
  // Colours come back unsigned; a system colour (0x800000nn) is a negative Long.
  if (v.vt == VT_UI4 || v.vt == VT_UINT) v.vt = VT_I4;
  VariantChangeType(&v, &v, 0, VT_I4);
  const long value = v.vt == VT_I4 ? v.lVal : 0;
  VariantClear(&v);
  return value;
}

std::string HostedControl::GetText(const wchar_t* name) const {
  VARIANT v = GetProperty(dispatch_, name);
  VariantChangeType(&v, &v, 0, VT_BSTR);
  std::string text = v.vt == VT_BSTR ? Narrow(v.bstrVal) : std::string();
  VariantClear(&v);
  return text;
}

bool HostedControl::GetBool(const wchar_t* name) const {
  VARIANT v = GetProperty(dispatch_, name);
  VariantChangeType(&v, &v, 0, VT_BOOL);
  const bool value = v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE;
  VariantClear(&v);
  return value;
}

void HostedControl::Call(const wchar_t* method) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (FAILED(dispatch_->Invoke(DispatchId(dispatch_, method), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                               nullptr, nullptr, nullptr)))
    throw RuntimeError(438, "Object doesn't support this property or method");
}

// ---- FormWindow ----

FormWindow::FormWindow(std::string name, int clientWidthTwips, int clientHeightTwips)
    : name_(std::move(name)), clientWidthTwips_(clientWidthTwips), clientHeightTwips_(clientHeightTwips) {}

FormWindow::~FormWindow() {
  if (IsLoaded()) Unload();
  Forms().Remove(this);
}

void FormWindow::Load() {
  if (IsLoaded()) return;
  // The procedure is replaced per window once it exists.
  RegisterWindowClass(kFormClass, DefWindowProcA, IDC_ARROW, CS_DBLCLKS);
  EnsureComForThisThread();
  RECT frame{0, 0, TwipsToPixelsX(clientWidthTwips_), TwipsToPixelsY(clientHeightTwips_)};
  AdjustWindowRectEx(&frame, WindowStyle(), FALSE, WindowExStyle());
  window_ = CreateWindowExA(WindowExStyle(), kFormClass, name_.c_str(), WindowStyle(), 0, 0, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) RaiseError(kErrOutOfMemory);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::WindowProc));
  SetBackColor(backColour_);
  Forms().Add(this);
  OnLoad();
}

void FormWindow::Show(bool modal) {
  Load();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  if (!modal) return;
  EnableOtherForms(false);
  PumpUntil([this] { return !IsLoaded() || !Visible(); });
  EnableOtherForms(true);
}

void FormWindow::Hide() {
  if (IsLoaded()) ShowWindow(window_, SW_HIDE);
}

bool FormWindow::Visible() const { return IsLoaded() && IsWindowVisible(window_); }

void FormWindow::Unload() {
  if (!IsLoaded()) {
    Forms().Remove(this);
    return;
  }
  OnUnload();
  HWND window = window_;
  window_ = nullptr;
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  controls_.clear();
  DestroyWindow(window);
  if (backBrush_) DeleteObject(backBrush_);
  backBrush_ = nullptr;
  Forms().Remove(this);
}

std::string FormWindow::Caption() const {
  char text[512] = {};
  if (IsLoaded()) GetWindowTextA(window_, text, sizeof text);
  return text;
}

void FormWindow::SetCaption(const std::string& caption) {
  if (IsLoaded()) SetWindowTextA(window_, caption.c_str());
}

void FormWindow::SetBackColor(Colour colour) {
  backColour_ = colour;
  if (!IsLoaded()) return;
  if (backBrush_) DeleteObject(backBrush_);
  backBrush_ = CreateSolidBrush(ResolveColour(colour));
  InvalidateRect(window_, nullptr, TRUE);
}

int FormWindow::Left() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return PixelsToTwipsX(r.left);
}
int FormWindow::Top() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return PixelsToTwipsY(r.top);
}
int FormWindow::Width() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return PixelsToTwipsX(r.right - r.left);
}
int FormWindow::Height() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return PixelsToTwipsY(r.bottom - r.top);
}
int FormWindow::ScaleWidth() const {
  RECT r{};
  GetClientRect(window_, &r);
  return PixelsToTwipsX(r.right);
}
int FormWindow::ScaleHeight() const {
  RECT r{};
  GetClientRect(window_, &r);
  return PixelsToTwipsY(r.bottom);
}

void FormWindow::Move(int left, int top, int width, int height) {
  MoveWindow(window_, TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width), TwipsToPixelsY(height), TRUE);
}

void FormWindow::SetHeight(int twips) { Move(Left(), Top(), Width(), twips); }

HostedControl& FormWindow::AddHosted(const wchar_t* progId, UINT id, const TwipRect& place,
                                     const std::string& caption) {
  CLSID classId;
  if (FAILED(CLSIDFromProgID(progId, &classId))) throw RuntimeError(429, "ActiveX component can't create object");
  const RECT pixels{TwipsToPixelsX(place.left), TwipsToPixelsY(place.top), TwipsToPixelsX(place.left + place.width),
                    TwipsToPixelsY(place.top + place.height)};
  auto* site = new ControlSite(*this, id, pixels);
  IDispatch* dispatch = nullptr;
  if (FAILED(site->Embed(classId)) || !(dispatch = site->TakeDispatch())) {
    site->Detach();
    site->Release();
    throw RuntimeError(429, "ActiveX component can't create object");
  }
  controls_.push_back(std::make_unique<HostedControl>(dispatch, site->Window(), id));
  controls_.back()->site_ = site;
  controls_.back()->SetText(L"Caption", caption);
  return *controls_.back();
}

HostedControl& FormWindow::AddZolButton(UINT id, const TwipRect& place, const std::string& caption) {
  return AddHosted(ZOLBTNS_PROGID_ZOLBUTTON, id, place, caption);
}

HostedControl& FormWindow::AddFlatButton(UINT id, const TwipRect& place, const std::string& caption) {
  return AddHosted(ZOLBTNS_PROGID_FLATBUTTON, id, place, caption);
}

HWND FormWindow::AddChild(const char* className, const std::string& text, DWORD style, UINT id, const TwipRect& place,
                          DWORD exStyle) {
  return CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | style, TwipsToPixelsX(place.left),
                         TwipsToPixelsY(place.top), TwipsToPixelsX(place.width), TwipsToPixelsY(place.height), window_,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

HostedControl* FormWindow::Control(UINT id) {
  for (auto& control : controls_)
    if (control->Id() == id) return control.get();
  return nullptr;
}

void FormWindow::SetEtchedEdge(bool on) {
  etchedEdge_ = on;
  if (IsLoaded()) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void FormWindow::StartTimer(UINT id, UINT milliseconds) { SetTimer(window_, id, milliseconds, nullptr); }

void FormWindow::StopTimer(UINT id) {
  if (IsLoaded()) KillTimer(window_, id);
}

void FormWindow::ControlClicked(UINT id, HWND control) { OnCommand(id, BN_CLICKED, control); }

void FormWindow::EnableOtherForms(bool enable) {
  if (!enable) {
    disabledForModal_.clear();
    for (std::size_t i = 0; i < Forms().Count(); ++i) {
      auto* form = dynamic_cast<FormWindow*>(Forms().Item(i));
      if (form && form != this && form->IsLoaded() && IsWindowEnabled(form->window_)) {
        EnableWindow(form->window_, FALSE);
        disabledForModal_.push_back(form->window_);
      }
    }
    return;
  }
  for (HWND window : disabledForModal_)
    if (IsWindow(window)) EnableWindow(window, TRUE);
  disabledForModal_.clear();
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(window, message, wp, lp);
  return form->Handle(message, wp, lp);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (OnMessage(message, wp, lp, result)) return result;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wp), &client, backBrush_);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wp), ResolveColour(backColour_));
      return reinterpret_cast<LRESULT>(backBrush_);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      OnPaint(dc);
      if (etchedEdge_) {
        // Enlarged by a pixel on every side; left and top first, then right and bottom.
        RECT edge;
        GetClientRect(window_, &edge);
        InflateRect(&edge, 1, 1);
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT | BF_TOP);
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RIGHT | BF_BOTTOM);
      }
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
    // The form's font is its controls' ambient font.
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      for (auto& control : controls_)
        if (control->site_) control->site_->AmbientFontChanged();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_TIMER: OnTimer(static_cast<UINT>(wp)); return 0;
    case WM_CLOSE:
      if (OnClose()) Unload();
      return 0;
    default: return DefWindowProcA(window_, message, wp, lp);
  }
}

}  // namespace glimra
