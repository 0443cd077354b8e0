// The in-process server: class objects, self-registration and unloading.
#include "ZolBtns.h"

#include <string>
#include <utility>

#include "FlatButton.h"
#include "zolButton.h"

namespace zolbtns {
namespace {

// Resource numbers of the toolbox pictures (zolbtns.rc).
constexpr int kZolButtonToolboxBitmap = 1;
constexpr int kFlatButtonToolboxBitmap = 2;

struct ControlClass {
  const CLSID* clsid;
  const wchar_t* progId;
  const wchar_t* name;
  int toolboxBitmap;
  OleControl* (*create)();
};

const ControlClass kClasses[] = {
    {&CLSID_zolButton, ZOLBTNS_PROGID_ZOLBUTTON, L"zolButton", kZolButtonToolboxBitmap,
     [] { return static_cast<OleControl*>(new ZolButton); }},
    {&CLSID_FlatButton, ZOLBTNS_PROGID_FLATBUTTON, L"FlatButton", kFlatButtonToolboxBitmap,
     [] { return static_cast<OleControl*>(new FlatButton); }},
};

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const ControlClass& kind) : kind_(kind) { AddServerReference(); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    OleControl* control = kind_.create();
    const HRESULT hr = control->QueryInterface(iid, object);
    control->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? AddServerReference() : ReleaseServerReference();
    return S_OK;
  }

 private:
  ~ClassFactory() { ReleaseServerReference(); }
  const ControlClass& kind_;
  LONG references_ = 1;
};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

LONG SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status;
}

// Writes the keys of one class below `root` (HKEY_CLASSES_ROOT, or the user's Software\Classes).
LONG RegisterClassKeys(HKEY root, const std::wstring& prefix, const ControlClass& kind, const std::wstring& path) {
  const std::wstring clsid = prefix + L"CLSID\\" + GuidText(*kind.clsid);
  const std::wstring progId = prefix + kind.progId;
  const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
      {progId, {nullptr, kind.name}},
      {progId + L"\\CLSID", {nullptr, GuidText(*kind.clsid)}},
      {clsid, {nullptr, kind.name}},
      {clsid + L"\\ProgID", {nullptr, kind.progId}},
      {clsid + L"\\InprocServer32", {nullptr, path}},
      {clsid + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
      {clsid + L"\\Control", {nullptr, L""}},
      {clsid + L"\\ToolboxBitmap32", {nullptr, path + L", " + std::to_wstring(kind.toolboxBitmap)}},
      {clsid + L"\\MiscStatus", {nullptr, L"0"}},
      {clsid + L"\\MiscStatus\\1", {nullptr, std::to_wstring(kMiscStatus)}},
      {clsid + L"\\TypeLib", {nullptr, GuidText(LIBID_ZolBttn)}},
      {clsid + L"\\Version", {nullptr, L"1.0"}},
  };
  for (const auto& [key, value] : values) {
    const LONG status = SetValue(root, key, value.first, value.second);
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

void DeleteClassKeys(HKEY root, const std::wstring& prefix, const ControlClass& kind) {
  RegDeleteTreeW(root, (prefix + L"CLSID\\" + GuidText(*kind.clsid)).c_str());
  RegDeleteTreeW(root, (prefix + kind.progId).c_str());
}

HRESULT RegisterTypes(wchar_t* path) {
  ITypeLib* types = nullptr;
  HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &types);
  if (FAILED(hr)) return hr;
  hr = RegisterTypeLib(types, const_cast<wchar_t*>(path), nullptr);
  types->Release();
  return hr;
}

void UnregisterTypes() { UnRegisterTypeLib(LIBID_ZolBttn, 1, 0, LOCALE_NEUTRAL, SYS_WIN64); }

}  // namespace
}  // namespace zolbtns

using namespace zolbtns;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A class left behind would point at code no longer loaded.
    UnregisterWindowClasses();
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const ControlClass& kind : kClasses) {
    if (!IsEqualCLSID(clsid, *kind.clsid)) continue;
    ClassFactory* factory = new ClassFactory(kind);
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (ServerReferences() != 0) return S_FALSE;
  ReleaseLibraryTypes();
  return S_OK;
}

// Registers machine-wide when allowed, else for the current user.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH] = {};
  if (!GetModuleFileNameW(ModuleInstance(), path, MAX_PATH)) return HRESULT_FROM_WIN32(GetLastError());
  if (FAILED(RegisterTypes(path))) return SELFREG_E_TYPELIB;
  for (const ControlClass& kind : kClasses) {
    LONG status = RegisterClassKeys(HKEY_CLASSES_ROOT, L"", kind, path);
    if (status == ERROR_ACCESS_DENIED)
      status = RegisterClassKeys(HKEY_CURRENT_USER, L"Software\\Classes\\", kind, path);
    if (status != ERROR_SUCCESS) return SELFREG_E_CLASS;
  }
  return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (const ControlClass& kind : kClasses) {
    DeleteClassKeys(HKEY_CLASSES_ROOT, L"", kind);
    DeleteClassKeys(HKEY_CURRENT_USER, L"Software\\Classes\\", kind);
  }
  UnregisterTypes();
  return S_OK;
}
