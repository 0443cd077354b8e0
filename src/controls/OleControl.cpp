#include "OleControl.h"

#include <vector>

#include "AnsiText.h"

namespace zolbtns {
namespace {

LONG g_serverReferences = 0;
HINSTANCE g_instance = nullptr;
ITypeLib* g_types = nullptr;
// Guards g_types: controls may be made on several apartment threads at once.
// A critical section, as Windows 95 has no InterlockedCompareExchange.
CRITICAL_SECTION g_typesLock;

SIZEL PixelsToHimetric(LONG width, LONG height) {
  HDC screen = GetDC(nullptr);
  SIZEL size{MulDiv(width, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
             MulDiv(height, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
  ReleaseDC(nullptr, screen);
  return size;
}

// The base type of a parameter's type: through pointers and aliases.
VARTYPE BaseType(ITypeInfo* info, const TYPEDESC& type) {
  if (type.vt == VT_PTR) return BaseType(info, *type.lptdesc);
  if (type.vt != VT_USERDEFINED) return type.vt;
  ITypeInfo* alias = nullptr;
  VARTYPE base = VT_USERDEFINED;
  if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, &alias))) {
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(alias->GetTypeAttr(&attributes))) {
      if (attributes->typekind == TKIND_ALIAS) base = BaseType(alias, attributes->tdescAlias);
      alias->ReleaseTypeAttr(attributes);
    }
    alias->Release();
  }
  return base;
}

// Late binding passes colours as Long, and system colours (0x800000nn) are
// negative Longs, which the type library's coercion to the unsigned
// OLE_COLOR refuses: such arguments are taken bit for bit.
void TakeLongsAsColours(ITypeInfo* info, DISPID id, WORD flags, std::vector<VARIANT>& arguments,
                        const DISPPARAMS& params) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  const WORD functions = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  for (UINT f = 0; f < functions; ++f) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(f, &function))) continue;
    if (function->memid == id && (function->invkind & flags)) {
      const UINT count = static_cast<UINT>(function->cParams);
      for (UINT i = 0; i < arguments.size(); ++i) {
        UINT position = params.cArgs - 1 - i;  // arguments come last first
        if (i < params.cNamedArgs)
          position = params.rgdispidNamedArgs[i] == DISPID_PROPERTYPUT ? count - 1
                                                                       : static_cast<UINT>(params.rgdispidNamedArgs[i]);
        if (position >= count) continue;
        VARIANT& argument = arguments[i];
        if ((argument.vt & ~VT_BYREF) == VT_I4 && BaseType(info, function->lprgelemdescParam[position].tdesc) == VT_UI4)
          argument.vt = static_cast<VARTYPE>((argument.vt & VT_BYREF) | VT_UI4);
      }
      info->ReleaseFuncDesc(function);
      return;
    }
    info->ReleaseFuncDesc(function);
  }
}

}  // namespace

void AddServerReference() { InterlockedIncrement(&g_serverReferences); }
void ReleaseServerReference() { InterlockedDecrement(&g_serverReferences); }
LONG ServerReferences() { return g_serverReferences; }
HINSTANCE ModuleInstance() { return g_instance; }

void StartModule(HINSTANCE instance) {
  g_instance = instance;
  InitializeCriticalSection(&g_typesLock);
}

void EndModule() { DeleteCriticalSection(&g_typesLock); }

std::string ModulePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(g_instance, path, MAX_PATH);
  return length < MAX_PATH ? std::string(path, length) : std::string();
}

ITypeLib* LibraryTypes() {
  EnterCriticalSection(&g_typesLock);
  if (!g_types) {
    const std::string path = ModulePath();
    if (path.empty() || FAILED(LoadTypeLibEx(ToWide(path).c_str(), REGKIND_NONE, &g_types))) g_types = nullptr;
  }
  ITypeLib* types = g_types;
  if (types) types->AddRef();
  LeaveCriticalSection(&g_typesLock);
  return types;
}

void ReleaseLibraryTypes() {
  EnterCriticalSection(&g_typesLock);
  ITypeLib* types = g_types;
  g_types = nullptr;
  LeaveCriticalSection(&g_typesLock);
  if (types) types->Release();
}

// ---- Life ----

OleControl::OleControl(const CLSID& clsid, const IID& dual, const IID& events)
    : clsid_(clsid),
      dualIid_(dual),
      eventsIid_(events),
      events_(this, events, &IID_IDispatch),
      propertyNotify_(this, IID_IPropertyNotifySink, nullptr) {
  AddServerReference();
  if (ITypeLib* types = LibraryTypes()) {
    if (SUCCEEDED(types->GetTypeInfoOfGuid(dual, &dispatchInfo_))) {
      // A dual interface's type information is its dispatch half; calls go through the vtable half.
      HREFTYPE vtableHalf = 0;
      if (FAILED(dispatchInfo_->GetRefTypeOfImplType(-1, &vtableHalf)) ||
          FAILED(dispatchInfo_->GetRefTypeInfo(vtableHalf, &interfaceInfo_))) {
        interfaceInfo_ = dispatchInfo_;
        interfaceInfo_->AddRef();
      }
    }
    types->Release();
  }
}

OleControl::~OleControl() {
  events_.UnadviseAll();
  propertyNotify_.UnadviseAll();
  ReleaseWindowContext();
  ReleaseSite();
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  for (IUnknown* object :
       std::initializer_list<IUnknown*>{adviseHolder_, viewSink_, ambientFont_, interfaceInfo_, dispatchInfo_})
    if (object) object->Release();
  ReleaseServerReference();
}

HRESULT OleControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
    *object = static_cast<IOleObject*>(this);
  else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, dualIid_))
    *object = Dual();
  else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
    *object = static_cast<IOleInPlaceObject*>(this);
  else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  else if (IsEqualIID(iid, IID_IOleControl))
    *object = static_cast<IOleControl*>(this);
  else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2))
    *object = static_cast<IViewObject2*>(this);
  else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
    *object = static_cast<IPersistStreamInit*>(this);
  else if (IsEqualIID(iid, IID_IPersistPropertyBag))
    *object = static_cast<IPersistPropertyBag*>(this);
  else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
    *object = static_cast<IProvideClassInfo2*>(this);
  else if (IsEqualIID(iid, IID_IConnectionPointContainer))
    *object = static_cast<IConnectionPointContainer*>(this);
  else if (IsEqualIID(iid, IID_IQuickActivate))
    *object = static_cast<IQuickActivate*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG OleControl::AddRef() { return InterlockedIncrement(&references_); }

ULONG OleControl::Release() {
  const ULONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

// ---- IDispatch from the type information ----

HRESULT OleControl::TypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = dispatchInfo_ ? 1 : 0;
  return S_OK;
}

HRESULT OleControl::TypeInfo(UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!dispatchInfo_) return E_UNEXPECTED;
  *info = dispatchInfo_;
  dispatchInfo_->AddRef();
  return S_OK;
}

HRESULT OleControl::IdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  if (!interfaceInfo_) return E_UNEXPECTED;
  return DispGetIDsOfNames(interfaceInfo_, names, count, ids);
}

HRESULT OleControl::InvokeMember(REFIID iid, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!interfaceInfo_) return E_UNEXPECTED;
  DISPPARAMS adjusted = params ? *params : DISPPARAMS{nullptr, nullptr, 0, 0};
  std::vector<VARIANT> arguments;
  if (params && params->cArgs) {
    arguments.assign(params->rgvarg, params->rgvarg + params->cArgs);  // shallow: only the types change
    TakeLongsAsColours(interfaceInfo_, id, flags, arguments, *params);
    adjusted.rgvarg = arguments.data();
  }
  // Keep the control alive while its own code runs (a Click handler may close the form).
  AddRef();
  const HRESULT hr = interfaceInfo_->Invoke(Dual(), id, flags, &adjusted, result, exception, argError);
  Release();
  return hr;
}

// ---- Site and activation ----

void OleControl::ReleaseSite() {
  if (inPlaceSite_) inPlaceSite_->Release();
  inPlaceSite_ = nullptr;
  if (site_) site_->Release();
  site_ = nullptr;
}

HRESULT OleControl::SetClientSite(IOleClientSite* site) {
  if (site) site->AddRef();
  ReleaseSite();
  site_ = site;
  ReadAmbientFont();
  AmbientChanged();
  return S_OK;
}

HRESULT OleControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_;
  if (site_) site_->AddRef();
  return S_OK;
}

HRESULT OleControl::Close(DWORD saveOption) {
  // A control asks nobody: prompting to save means saving.
  const bool save = saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE;
  if (save && dirty_ && site_) {
    const HRESULT hr = site_->SaveObject();
    if (FAILED(hr)) return hr;
    if (adviseHolder_) adviseHolder_->SendOnSave();
  }
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

HRESULT OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) {
  if (!site_ && activeSite) SetClientSite(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE: return ActivateInPlace(false);
    case OLEIVERB_UIACTIVATE: return ActivateInPlace(true);
    case OLEIVERB_HIDE:
      if (HWND window = ControlWindow()) ShowWindow(window, SW_HIDE);
      return S_OK;
    default: {
      if (verb < 0) return E_NOTIMPL;
      // A verb the control does not know runs the primary one.
      const HRESULT hr = ActivateInPlace(false);
      return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
    }
  }
}

HRESULT OleControl::ActivateInPlace(bool uiActivate) {
  if (!site_) return E_UNEXPECTED;
  if (!inPlaceSite_ && FAILED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite_))))
    return E_NOINTERFACE;
  if (!inPlaceActive_) {
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceActive_ = true;
    inPlaceSite_->OnInPlaceActivate();
  }
  if (!ControlWindow()) {
    const HRESULT hr = CreateWindowInPlace();
    if (FAILED(hr)) {
      // Nothing is in place: the container may try again later.
      inPlaceActive_ = false;
      ReleaseWindowContext();
      inPlaceSite_->OnInPlaceDeactivate();
      return hr;
    }
  }
  ShowWindow(ControlWindow(), SW_SHOWNA);
  if (uiActivate) {
    UIActivate();
    if (GetFocus() != ControlWindow()) SetFocus(ControlWindow());
  }
  return S_OK;
}

HRESULT OleControl::CreateWindowInPlace() {
  HWND parent = nullptr;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  ReleaseWindowContext();
  if (FAILED(inPlaceSite_->GetWindow(&parent)) ||
      FAILED(inPlaceSite_->GetWindowContext(&frame_, &document_, &position, &clip, &frameInfo)))
    return E_FAIL;
  // The size comes from the in-place rectangle, never from SetExtent.
  if (!CreateControlWindow(parent, position)) return E_OUTOFMEMORY;
  SetObjectRects(&position, &clip);
  return S_OK;
}

void OleControl::ReleaseWindowContext() {
  if (frame_) frame_->Release();
  frame_ = nullptr;
  if (document_) document_->Release();
  document_ = nullptr;
}

// The frame and the document show the active object's tools; they learn of
// it (or of none) from SetActiveObject.
void OleControl::SetActiveObjects(IOleInPlaceActiveObject* active) {
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (document_) document_->SetActiveObject(active, nullptr);
}

void OleControl::UIActivate() {
  if (uiActive_ || !inPlaceSite_) return;
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  SetActiveObjects(static_cast<IOleInPlaceActiveObject*>(this));
}

void OleControl::TellControlSiteOfFocus(bool focused) const {
  IOleControlSite* controlSite = nullptr;
  if (!site_ || FAILED(site_->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&controlSite)))) return;
  controlSite->OnFocus(focused ? TRUE : FALSE);
  controlSite->Release();
}

void OleControl::ActivateOnFocus() {
  UIActivate();
  TellControlSiteOfFocus(true);
}

void OleControl::FocusLeft() { TellControlSiteOfFocus(false); }

std::optional<bool> OleControl::ContainerTabStop() const {
  IOleControlSite* controlSite = nullptr;
  if (!site_ || FAILED(site_->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&controlSite))))
    return std::nullopt;
  IDispatch* extended = nullptr;
  const HRESULT got = controlSite->GetExtendedControl(&extended);
  controlSite->Release();
  if (FAILED(got) || !extended) return std::nullopt;
  std::optional<bool> tabStop;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"TabStop")};
  DISPID id = DISPID_UNKNOWN;
  if (SUCCEEDED(extended->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (SUCCEEDED(extended->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                   nullptr)) &&
        SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BOOL)))
      tabStop = value.boolVal != VARIANT_FALSE;
    VariantClear(&value);
  }
  extended->Release();
  return tabStop;
}

HRESULT OleControl::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(clsid_, verbs); }

HRESULT OleControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT OleControl::GetUserType(DWORD form, LPOLESTR* name) { return OleRegGetUserType(clsid_, form, name); }

HRESULT OleControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;  // remembered for GetExtent; the window keeps its in-place rectangle
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT OleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(&adviseHolder_))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, cookie);
}

HRESULT OleControl::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT OleControl::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : E_FAIL;  // no advise yet: nothing to enumerate
}

HRESULT OleControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT OleControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = ControlWindow();
  return *window ? S_OK : E_FAIL;
}

HRESULT OleControl::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  inPlaceActive_ = false;
  if (HWND window = ControlWindow()) DestroyWindow(window);
  ReleaseWindowContext();
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT OleControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  SetActiveObjects(nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT OleControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (!position) return E_POINTER;
  extent_ = PixelsToHimetric(position->right - position->left, position->bottom - position->top);
  if (HWND window = ControlWindow()) {
    MoveWindow(window, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
    ClipWindow(*position, clip ? *clip : *position);
  }
  return S_OK;
}

// The container shows the control only within `clip` (a scrolled form, a
// frame cutting it off): the window region keeps its painting there.
void OleControl::ClipWindow(const RECT& position, const RECT& clip) {
  RECT visible{};
  IntersectRect(&visible, &position, &clip);
  // Some containers pass no clip at all (an empty rectangle): nothing to cut.
  if (IsRectEmpty(&clip) || EqualRect(&visible, &position)) {
    SetWindowRgn(ControlWindow(), nullptr, TRUE);
    return;
  }
  OffsetRect(&visible, -position.left, -position.top);
  // The window owns the region from here on.
  SetWindowRgn(ControlWindow(), CreateRectRgn(visible.left, visible.top, visible.right, visible.bottom), TRUE);
}

// ---- Ambient properties ----

void OleControl::TakeAmbientFont(IUnknown* font) {
  if (ambientFont_) ambientFont_->Release();
  ambientFont_ = nullptr;
  if (font) font->QueryInterface(IID_IFont, reinterpret_cast<void**>(&ambientFont_));
}

void OleControl::ReadAmbientFont() {
  IDispatch* ambients = nullptr;
  if (!site_ || FAILED(site_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambients)))) {
    TakeAmbientFont(nullptr);
    return;
  }
  VARIANT font;
  VariantInit(&font);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  const HRESULT hr = ambients->Invoke(DISPID_AMBIENT_FONT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                      &font, nullptr, nullptr);
  TakeAmbientFont(SUCCEEDED(hr) && (font.vt == VT_DISPATCH || font.vt == VT_UNKNOWN) ? font.punkVal : nullptr);
  VariantClear(&font);
  ambients->Release();
}

// The access letter works as for a dialog's button: with Alt, and alone
// where the focused control takes no characters.
HACCEL OleControl::BuildAccelerators(char letter) {
  const SHORT scan = VkKeyScanA(letter);
  if (scan == -1) return nullptr;
  const WORD key = static_cast<WORD>(scan & 0xFF);
  ACCEL keys[] = {{FVIRTKEY | FALT, key, 1}, {FVIRTKEY, key, 1}};
  return CreateAcceleratorTableA(keys, 2);
}

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  // The table handed out before stays valid until the container asks again.
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  reportedLetter_ = AccessLetter();
  accelerators_ = reportedLetter_ ? BuildAccelerators(*reportedLetter_) : nullptr;
  info->cb = sizeof *info;
  info->hAccel = accelerators_;
  info->cAccel = accelerators_ ? 2 : 0;
  info->dwFlags = 0;  // Enter and Escape stay the container's (default and cancel buttons)
  return S_OK;
}

HRESULT OleControl::OnMnemonic(MSG*) {
  if (!AccessLetter()) return S_FALSE;
  ClickFromMnemonic();
  return S_OK;
}

// A new caption may bring a new access letter: the container asks for the table again.
void OleControl::NoteControlInfoChange() {
  if (AccessLetter() == reportedLetter_) return;
  reportedLetter_ = AccessLetter();
  IOleControlSite* controlSite = nullptr;
  if (!site_ || FAILED(site_->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&controlSite)))) return;
  controlSite->OnControlInfoChanged();
  controlSite->Release();
}

HRESULT OleControl::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN) {
    ReadAmbientFont();
    AmbientChanged();
  }
  return S_OK;
}

HRESULT OleControl::FreezeEvents(BOOL freeze) {
  frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0);
  return S_OK;
}

// ---- Drawing ----

HRESULT OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                         BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc) return E_INVALIDARG;
  RECT place{};
  if (bounds) {
    place = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
  } else if (HWND window = ControlWindow()) {
    GetClientRect(window, &place);
  } else {
    return E_INVALIDARG;
  }
  const DWORD kind = GetObjectType(dc);
  const bool metafile = kind == OBJ_METADC || kind == OBJ_ENHMETADC;
  if (metafile || GetMapMode(dc) != MM_TEXT)
    DrawScaled(dc, place);
  else
    DrawContent(dc, place);
  return S_OK;
}

// The control's size in pixels: its window's, else its extent's on the screen.
SIZE OleControl::ContentPixels() const {
  RECT client{0, 0, 0, 0};
  if (HWND window = ControlWindow()) GetClientRect(window, &client);
  if (client.right > 0 && client.bottom > 0) return SIZE{client.right, client.bottom};
  HDC screen = GetDC(nullptr);
  const SIZE size{MulDiv(extent_.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540),
                  MulDiv(extent_.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540)};
  ReleaseDC(nullptr, screen);
  return size;
}

// The control paints in pixels. Where `dc` counts in other units (a mapping
// mode, a metafile of a printed or embedded form), it paints into a bitmap
// of the pixels the bounds cover and stretches that onto the bounds, which
// metafiles record as one picture.
void OleControl::DrawScaled(HDC dc, const RECT& bounds) {
  SIZE pixels = ContentPixels();
  const DWORD kind = GetObjectType(dc);
  if (kind != OBJ_METADC && kind != OBJ_ENHMETADC) {
    POINT corners[2] = {{bounds.left, bounds.top}, {bounds.right, bounds.bottom}};
    LPtoDP(dc, corners, 2);
    pixels = SIZE{corners[1].x > corners[0].x ? corners[1].x - corners[0].x : corners[0].x - corners[1].x,
                  corners[1].y > corners[0].y ? corners[1].y - corners[0].y : corners[0].y - corners[1].y};
  }
  if (pixels.cx <= 0 || pixels.cy <= 0) return;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, pixels.cx, pixels.cy);
  ReleaseDC(nullptr, screen);
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    DrawContent(memory, RECT{0, 0, pixels.cx, pixels.cy});
    StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, memory, 0, 0,
               pixels.cx, pixels.cy, SRCCOPY);
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
}

HRESULT OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  if (sink) sink->AddRef();
  if (viewSink_) viewSink_->Release();
  viewSink_ = sink;
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

HRESULT OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_;
    if (viewSink_) viewSink_->AddRef();
  }
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

void OleControl::ViewChanged() {
  if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

// ---- Persistence ----

HRESULT OleControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT OleControl::InitNew() {
  ResetToNewlyPlaced();
  dirty_ = false;
  return S_OK;
}

HRESULT OleControl::Load(IPropertyBag* bag, IErrorLog*) {
  if (!bag) return E_POINTER;
  PropertyReader reader(bag);
  ReadProperties(reader);
  dirty_ = false;
  return S_OK;
}

HRESULT OleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  PropertyWriter writer(bag);
  WriteProperties(writer);
  if (SUCCEEDED(writer.result()) && clearDirty) dirty_ = false;
  return writer.result();
}

HRESULT OleControl::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  MemoryBag bag;
  const HRESULT hr = bag.LoadFrom(stream);
  if (FAILED(hr)) return hr;
  return Load(&bag, nullptr);
}

HRESULT OleControl::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  MemoryBag bag;
  HRESULT hr = Save(&bag, FALSE, FALSE);
  if (SUCCEEDED(hr)) hr = bag.SaveTo(stream);
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

HRESULT OleControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  IStream* measure = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &measure))) return E_OUTOFMEMORY;
  const bool wasDirty = dirty_;
  HRESULT hr = Save(measure, FALSE);
  dirty_ = wasDirty;
  STATSTG stat{};
  if (SUCCEEDED(hr)) hr = measure->Stat(&stat, STATFLAG_NONAME);
  if (SUCCEEDED(hr)) *size = stat.cbSize;
  measure->Release();
  return hr;
}

HRESULT OleControl::PropertyChanged(DISPID id) {
  dirty_ = true;
  NoteControlInfoChange();
  ForEachSink<IPropertyNotifySink>(propertyNotify_, [id](IPropertyNotifySink* sink) { sink->OnChanged(id); });
  ViewChanged();
  return S_OK;
}

// ---- Class information and events ----

HRESULT OleControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ITypeLib* types = LibraryTypes();
  if (!types) return E_UNEXPECTED;
  const HRESULT hr = types->GetTypeInfoOfGuid(clsid_, info);
  types->Release();
  return hr;
}

HRESULT OleControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = eventsIid_;
  return S_OK;
}

HRESULT OleControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return MakeConnectionPointEnumerator({&events_, &propertyNotify_}, points);
}

HRESULT OleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (IsEqualIID(iid, eventsIid_))
    *point = &events_;
  else if (IsEqualIID(iid, IID_IPropertyNotifySink))
    *point = &propertyNotify_;
  else
    return CONNECT_E_NOCONNECTION;
  (*point)->AddRef();
  return S_OK;
}

void OleControl::FireEvent(DISPID id) {
  if (frozen_) return;
  AddRef();  // a handler may let the control go
  ForEachSink<IDispatch>(events_, [id](IDispatch* sink) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
  });
  Release();
}

// ---- Quick activation ----

HRESULT OleControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
  SetClientSite(container->pClientSite);
  if (container->pFont) {
    TakeAmbientFont(container->pFont);
    AmbientChanged();
  }
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  if (container->pUnkEventSink) events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink)
    propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = VIEWSTATUS_OPAQUE;
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

HRESULT OleControl::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }

HRESULT OleControl::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

}  // namespace zolbtns
