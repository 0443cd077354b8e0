// What the ZolBtns test programs do as a container of the buttons: COM
// objects of the test's own lifetime (a property bag, a sink for events and
// change notifications, a site), one-line VARIANTs, late binding by name
// that fails the test on a refused read, and the registry as regsvr32
// leaves it. One copy, so that every program checks the control the same way.
#pragma once

#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/ZolBtns.h"

// A COM object of the test's own lifetime: references are not counted, and
// `*object` is cleared on a refused interface, as callers may rely on.
#define STATIC_UNKNOWN(Self, ...)                                                \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { \
    *object = nullptr;                                                           \
    for (const IID* known : {&IID_IUnknown, __VA_ARGS__})                        \
      if (IsEqualIID(iid, *known)) *object = static_cast<Self*>(this);           \
    return *object ? S_OK : E_NOINTERFACE;                                       \
  }                                                                              \
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }                        \
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

namespace wine_test {

inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

inline std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// `object`'s interface `iid` as a new reference, or nullptr.
template <class T>
T* As(IUnknown* object, const IID& iid) {
  T* result = nullptr;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(&result));
  return result;
}

// ---- VARIANTs as a container passes them ----

inline VARIANT Long(LONG number) {
  VARIANT value;
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}
inline VARIANT Bool(bool flag) {
  VARIANT value;
  value.vt = VT_BOOL;
  value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}
inline VARIANT Text(const wchar_t* text) {  // the caller frees it
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  return value;
}
inline VARIANT Object(IDispatch* object) {  // takes over the reference
  VARIANT value;
  value.vt = VT_DISPATCH;
  value.pdispVal = object;
  return value;
}

// A picture of a `size` x `size` bitmap of one colour (`bgra` as the DIB holds it).
inline IPictureDisp* NewBitmapPicture(int size, DWORD bgra) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  EXPECT_NE(bitmap, nullptr);
  for (int i = 0; bitmap && i < size * size; ++i) static_cast<DWORD*>(bits)[i] = bgra;
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  IPictureDisp* picture = nullptr;
  EXPECT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture)), S_OK);
  return picture;
}

// ---- Late binding, by name through IDispatch ----

inline HRESULT MemberId(IUnknown* control, const wchar_t* name, DISPID* id) {
  *id = DISPID_UNKNOWN;
  IDispatch* dispatch = As<IDispatch>(control, IID_IDispatch);
  if (!dispatch) return E_NOINTERFACE;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, id);
  dispatch->Release();
  return hr;
}

// Sets a property; objects go by reference with DISPATCH_PROPERTYPUTREF.
inline HRESULT PutProperty(IUnknown* control, DISPID id, VARIANT value, WORD how = DISPATCH_PROPERTYPUT) {
  IDispatch* dispatch = As<IDispatch>(control, IID_IDispatch);
  if (!dispatch) return E_NOINTERFACE;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, 0, how, &params, nullptr, nullptr, nullptr);
  dispatch->Release();
  return hr;
}
// ... by name; a name the control does not know answers its GetIDsOfNames error.
inline HRESULT PutProperty(IUnknown* control, const wchar_t* name, VARIANT value, WORD how = DISPATCH_PROPERTYPUT) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = MemberId(control, name, &id);
  return FAILED(hr) ? hr : PutProperty(control, id, value, how);
}
inline HRESULT PutColor(IUnknown* control, const wchar_t* name, DWORD color) {  // OLE_COLOR, passed as a Long
  return PutProperty(control, name, Long(static_cast<LONG>(color)));
}
inline HRESULT PutText(IUnknown* control, const wchar_t* name, const wchar_t* text) {
  VARIANT value = Text(text);
  const HRESULT hr = PutProperty(control, name, value);
  VariantClear(&value);
  return hr;
}

// A property's value, failing the test when the control refuses it or
// answers in another type than `type` (then the value is empty). Visual
// Basic reads with DISPATCH_PROPERTYGET | DISPATCH_METHOD as `how`.
inline VARIANT GetProperty(IUnknown* control, const wchar_t* name, VARTYPE type, WORD how = DISPATCH_PROPERTYGET) {
  VARIANT result;
  VariantInit(&result);
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = MemberId(control, name, &id);
  if (SUCCEEDED(hr)) {
    IDispatch* dispatch = As<IDispatch>(control, IID_IDispatch);
    DISPPARAMS none{};
    hr = dispatch->Invoke(id, IID_NULL, 0, how, &none, &result, nullptr, nullptr);
    dispatch->Release();
  }
  EXPECT_EQ(hr, S_OK) << "reading " << Narrow(name);
  EXPECT_EQ(result.vt, type) << "reading " << Narrow(name);
  if (FAILED(hr) || result.vt != type) VariantClear(&result);
  return result;
}
inline DWORD ColorProperty(IUnknown* control, const wchar_t* name, WORD how = DISPATCH_PROPERTYGET) {
  return GetProperty(control, name, VT_UI4, how).ulVal;  // OLE_COLOR
}
inline bool BoolProperty(IUnknown* control, const wchar_t* name, WORD how = DISPATCH_PROPERTYGET) {
  return GetProperty(control, name, VT_BOOL, how).boolVal != VARIANT_FALSE;
}
inline std::wstring TextProperty(IUnknown* control, const wchar_t* name, WORD how = DISPATCH_PROPERTYGET) {
  VARIANT value = GetProperty(control, name, VT_BSTR, how);
  std::wstring text = value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
  VariantClear(&value);
  return text;
}
// An object property's interface `iid` as a new reference, or nullptr.
template <class T>
T* ObjectProperty(IUnknown* control, const wchar_t* name, const IID& iid, WORD how = DISPATCH_PROPERTYGET) {
  VARIANT value = GetProperty(control, name, VT_DISPATCH, how);
  T* result = nullptr;
  if (value.vt == VT_DISPATCH && value.pdispVal) value.pdispVal->QueryInterface(iid, reinterpret_cast<void**>(&result));
  VariantClear(&value);
  return result;
}

inline HRESULT CallMethod(IUnknown* control, DISPID id, VARIANT* argument = nullptr, VARIANT* result = nullptr) {
  IDispatch* dispatch = As<IDispatch>(control, IID_IDispatch);
  if (!dispatch) return E_NOINTERFACE;
  DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
  dispatch->Release();
  return hr;
}
inline HRESULT CallMethod(IUnknown* control, const wchar_t* name, VARIANT* argument = nullptr,
                          VARIANT* result = nullptr) {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = MemberId(control, name, &id);
  return FAILED(hr) ? hr : CallMethod(control, id, argument, result);
}

// ---- Connection points ----

// Advises `listener` at the control's connection point for `iid`; 0 when refused.
inline DWORD Advise(IUnknown* control, const IID& iid, IUnknown* listener) {
  IConnectionPointContainer* points = As<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
  IConnectionPoint* point = nullptr;
  DWORD cookie = 0;
  if (points && SUCCEEDED(points->FindConnectionPoint(iid, &point))) {
    if (FAILED(point->Advise(listener, &cookie))) cookie = 0;
    point->Release();
  }
  if (points) points->Release();
  return cookie;
}

inline HRESULT Unadvise(IUnknown* control, const IID& iid, DWORD cookie) {
  IConnectionPointContainer* points = As<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
  IConnectionPoint* point = nullptr;
  HRESULT hr = points ? points->FindConnectionPoint(iid, &point) : E_NOINTERFACE;
  if (SUCCEEDED(hr)) {
    hr = point->Unadvise(cookie);
    point->Release();
  }
  if (points) points->Release();
  return hr;
}

// Hears a control's events (advised for its event interface `events`), its
// property change notifications and its view's advises.
class Sink final : public IDispatch, public IPropertyNotifySink, public IAdviseSink {
 public:
  explicit Sink(const IID& events) : events_(events) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_))
      *object = static_cast<IDispatch*>(this);
    else if (IsEqualIID(iid, IID_IPropertyNotifySink))
      *object = static_cast<IPropertyNotifySink*>(this);
    else if (IsEqualIID(iid, IID_IAdviseSink))
      *object = static_cast<IAdviseSink*>(this);
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IDispatch: the events
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    events.push_back(id);
    if (id == kZolEventClick) {
      ++clicks;
      if (onClick) onClick();
    }
    return S_OK;
  }
  // IPropertyNotifySink
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
  // IAdviseSink
  void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
  void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
  void STDMETHODCALLTYPE OnSave() override {}
  void STDMETHODCALLTYPE OnClose() override {}

  std::vector<DISPID> events;     // every event, in order
  int clicks = 0;                 // Click events
  std::vector<DISPID> changed;    // OnChanged notifications, in order
  std::function<void()> onClick;  // also told of each Click, for an order across sinks

 private:
  IID events_;
};

// A property bag over a map, as a container's saved form would be; names
// are compared exactly as written.
class MapBag final : public IPropertyBag {
 public:
  ~MapBag() {
    for (auto& entry : values) VariantClear(&entry.second);
  }
  STATIC_UNKNOWN(IPropertyBag, &IID_IPropertyBag)
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

// ---- A container site of our own ----

// The extended control a container wraps around each control: its TabStop,
// counting how often the control asks.
class ExtendedControl final : public IDispatch {
 public:
  STATIC_UNKNOWN(IDispatch, &IID_IDispatch)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1 || lstrcmpiW(names[0], L"TabStop") != 0) return DISP_E_UNKNOWNNAME;
    *ids = kTabStopId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id != kTabStopId || !(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    ++tabStopReads;
    *result = Bool(tabStop);
    return S_OK;
  }
  static constexpr DISPID kTabStopId = 0x60020001;
  bool tabStop = true;
  int tabStopReads = 0;
};

// A site that places a control in place on `window` at `place`, offers the
// extended control above while `controlSite`, and otherwise answers as a
// container with nothing to add. A test's site overrides what it records.
class QuietSite : public IOleClientSite, public IOleInPlaceSite, public IOleControlSite {
 public:
  virtual ~QuietSite() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
      *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleControlSite) && controlSite)
      *object = static_cast<IOleControlSite*>(this);
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* result) override {
    *result = window;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clipOut, LPOLEINPLACEFRAMEINFO info) override {
    *frame = Frame();
    *document = Document();
    *position = place;
    *clipOut = IsRectEmpty(&clip) ? place : clip;
    info->fMDIApp = FALSE;
    info->hwndFrame = window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** result) override {
    *result = &extended;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

  HWND window = nullptr;
  RECT place{10, 10, 130, 50};
  RECT clip{};  // the part of `place` in view; empty for all of it
  bool controlSite = true;
  ExtendedControl extended;

 protected:
  // The frame and document window handed out with the window context; none here.
  virtual IOleInPlaceFrame* Frame() { return nullptr; }
  virtual IOleInPlaceUIWindow* Document() { return nullptr; }
};

// ---- Windows and pixels ----

// A window class with a white background and no behaviour of its own, for
// the test windows the controls are placed on.
inline void RegisterPlainWindowClass(const wchar_t* name) {
  WNDCLASSW plain{};
  plain.lpfnWndProc = DefWindowProcW;
  plain.hInstance = GetModuleHandleW(nullptr);
  plain.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  plain.lpszClassName = name;
  RegisterClassW(&plain);
}

// Wine's ATL control host: AtlAxWinInit registers the "AtlAxWin" window
// class; AtlAxGetControl, returned here, hands out the control a host window
// made. nullptr when atl.dll offers neither.
using AxGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
inline AxGetControl StartAtlHost() {
  using AxWinInit = BOOL(WINAPI*)();
  HMODULE atl = LoadLibraryW(L"atl.dll");
  if (!atl) return nullptr;
  auto init = reinterpret_cast<AxWinInit>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto getControl = reinterpret_cast<AxGetControl>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  return init && getControl && init() ? getControl : nullptr;
}

// Pixels of the focus rectangle's top edge (3 pixels inside the face) that
// differ from `background`, as the face shows now: the caller decides what
// is repainted first.
inline int FocusRectangleInk(HWND face, COLORREF background) {
  HDC dc = GetDC(face);
  int ink = 0;
  for (int x = 4; x < 40; ++x) ink += GetPixel(dc, x, 3) != background;
  ReleaseDC(face, dc);
  return ink;
}

// ---- The registry as regsvr32 leaves it ----

// A key below `root` in a registry view (0, KEY_WOW64_32KEY or KEY_WOW64_64KEY).
inline bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}
inline bool KeyExists(const std::wstring& path, REGSAM view = 0) { return KeyExists(HKEY_CLASSES_ROOT, path, view); }

// A key's value (its default one unless `name`) as text; "" when the key or value is not there.
inline std::wstring KeyValue(HKEY root, const std::wstring& path, const wchar_t* name = nullptr, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return L"";
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? value : L"";
}
inline std::wstring KeyValue(const std::wstring& path, REGSAM view = 0) {
  return KeyValue(HKEY_CLASSES_ROOT, path, nullptr, view);
}

// Runs the regsvr32 at `program` silently; its exit code, or 0xFFFFFFFF when
// it did not start or end within `patienceMs` (then it is ended).
inline DWORD RunRegsvr32(const std::wstring& program, const std::wstring& arguments, DWORD patienceMs) {
  std::wstring commandLine = L"\"" + program + L"\" /s " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 0xFFFFFFFF;
  CloseHandle(process.hThread);
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(process.hProcess, patienceMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace wine_test
