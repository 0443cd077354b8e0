#include "OleControl.h"

#include <vector>

#include "AnsiText.h"

namespace zolbtns {
namespace {

LONG g_serverReferences = 0;
HINSTANCE g_instance = nullptr;
ITypeLib* g_types = nullptr;

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
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

std::string ModulePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(g_instance, path, MAX_PATH);
  return length < MAX_PATH ? std::string(path, length) : std::string();
}

ITypeLib* LibraryTypes() {
  if (!g_types) {
    const std::string path = ModulePath();
    if (path.empty() || FAILED(LoadTypeLibEx(ToWide(path).c_str(), REGKIND_NONE, &g_types))) return nullptr;
  }
  g_types->AddRef();
  return g_types;
}

void ReleaseLibraryTypes() {
  if (g_types) g_types->Release();
  g_types = nullptr;
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
  ReleaseSite();
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

HRESULT OleControl::InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                 UINT* argError) {
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

HRESULT OleControl::Close(DWORD) {
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
    default: return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
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
    HWND parent = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(inPlaceSite_->GetWindow(&parent)) ||
        FAILED(inPlaceSite_->GetWindowContext(&frame, &document, &position, &clip, &frameInfo)))
      return E_FAIL;
    if (frame) frame->Release();
    if (document) document->Release();
    // The size comes from the in-place rectangle, never from SetExtent.
    if (!CreateControlWindow(parent, position)) return E_OUTOFMEMORY;
    extent_ = PixelsToHimetric(position.right - position.left, position.bottom - position.top);
  }
  ShowWindow(ControlWindow(), SW_SHOWNA);
  if (uiActivate) {
    ActivateOnFocus();
    if (GetFocus() != ControlWindow()) SetFocus(ControlWindow());
  }
  return S_OK;
}

void OleControl::ActivateOnFocus() {
  if (uiActive_ || !inPlaceSite_) return;
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
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
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
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
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT OleControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT OleControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (HWND window = ControlWindow())
    MoveWindow(window, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
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

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
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
  DrawContent(dc, place);
  return S_OK;
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
