// The in-process server: class objects, self-registration and unloading.
#include "ZolBtns.h"

#include <string>
#include <utility>

#include "AnsiText.h"
#include "FlatButton.h"
#include "zolButton.h"

namespace zolbtns {
namespace {

// Resource numbers of the toolbox pictures (zolbtns.rc).
constexpr int kZolButtonToolboxBitmap = 1;
constexpr int kFlatButtonToolboxBitmap = 2;

struct ControlClass {
  const CLSID* clsid;
  const char* progId;
  const char* name;
  int toolboxBitmap;
  OleControl* (*create)();
};

const ControlClass kClasses[] = {
    {&CLSID_zolButton, ZOLBTNS_PROGID_ZOLBUTTON_A, "zolButton", kZolButtonToolboxBitmap,
     [] { return static_cast<OleControl*>(new ZolButton); }},
    {&CLSID_FlatButton, ZOLBTNS_PROGID_FLATBUTTON_A, "FlatButton", kFlatButtonToolboxBitmap,
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

std::string GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  const int length = StringFromGUID2(guid, text, 40);  // counting the terminating null
  return length > 0 ? ToAnsi(text, static_cast<size_t>(length - 1)) : std::string();
}

LONG SetValue(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return status;
}

// Writes the keys of one class below `root` (HKEY_CLASSES_ROOT, or the user's Software\Classes).
LONG RegisterClassKeys(HKEY root, const std::string& prefix, const ControlClass& kind, const std::string& path) {
  const std::string clsid = prefix + "CLSID\\" + GuidText(*kind.clsid);
  const std::string progId = prefix + kind.progId;
  const std::pair<std::string, std::pair<const char*, std::string>> values[] = {
      {progId, {nullptr, kind.name}},
      {progId + "\\CLSID", {nullptr, GuidText(*kind.clsid)}},
      {clsid, {nullptr, kind.name}},
      {clsid + "\\ProgID", {nullptr, kind.progId}},
      {clsid + "\\InprocServer32", {nullptr, path}},
      {clsid + "\\InprocServer32", {"ThreadingModel", "Apartment"}},
      {clsid + "\\Control", {nullptr, ""}},
      {clsid + "\\ToolboxBitmap32", {nullptr, path + ", " + std::to_string(kind.toolboxBitmap)}},
      {clsid + "\\MiscStatus", {nullptr, "0"}},
      {clsid + "\\MiscStatus\\1", {nullptr, std::to_string(kMiscStatus)}},
      {clsid + "\\TypeLib", {nullptr, GuidText(LIBID_ZolBttn)}},
      {clsid + "\\Version", {nullptr, "1.0"}},
  };
  for (const auto& [key, value] : values) {
    const LONG status = SetValue(root, key, value.first, value.second);
    if (status != ERROR_SUCCESS) return status;
  }
  return ERROR_SUCCESS;
}

// Deletes a key with everything below it. Windows NT's RegDeleteKey refuses a
// key that has subkeys, and RegDeleteTree came only with Vista.
LONG DeleteKeyTree(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
  if (status != ERROR_SUCCESS) return status;
  char name[MAX_PATH];
  for (;;) {
    DWORD length = MAX_PATH;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (DeleteKeyTree(key, name) != ERROR_SUCCESS) break;  // would be found first again
  }
  RegCloseKey(key);
  return RegDeleteKeyA(root, path.c_str());
}

void DeleteClassKeys(HKEY root, const std::string& prefix, const ControlClass& kind) {
  DeleteKeyTree(root, prefix + "CLSID\\" + GuidText(*kind.clsid));
  DeleteKeyTree(root, prefix + kind.progId);
}

HRESULT RegisterTypes(const std::string& path) {
  std::wstring widePath = ToWide(path);  // OLE takes it wide on every Windows
  ITypeLib* types = nullptr;
  HRESULT hr = LoadTypeLibEx(widePath.c_str(), REGKIND_NONE, &types);
  if (FAILED(hr)) return hr;
  hr = RegisterTypeLib(types, widePath.data(), nullptr);
  types->Release();
  return hr;
}

// The type library was registered for the library's own width (widl --win32 or --win64).
#ifdef _WIN64
constexpr SYSKIND kTypesSystem = SYS_WIN64;
#else
constexpr SYSKIND kTypesSystem = SYS_WIN32;
#endif

// The first OLE Automation library of Windows 95 has no UnRegisterTypeLib:
// imported, it would keep the whole control from loading. Without it the type
// library stays registered, which harms nothing once the classes are gone.
void UnregisterTypes() {
  using UnregisterTypeLibrary = HRESULT(STDAPICALLTYPE*)(REFGUID, WORD, WORD, LCID, SYSKIND);
  HMODULE automation = GetModuleHandleA("oleaut32.dll");
  const auto unregister = reinterpret_cast<UnregisterTypeLibrary>(
      reinterpret_cast<void*>(automation ? GetProcAddress(automation, "UnRegisterTypeLib") : nullptr));
  if (unregister) unregister(LIBID_ZolBttn, 1, 0, LOCALE_NEUTRAL, kTypesSystem);
}

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
  const std::string path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  if (FAILED(RegisterTypes(path))) return SELFREG_E_TYPELIB;
  for (const ControlClass& kind : kClasses) {
    LONG status = RegisterClassKeys(HKEY_CLASSES_ROOT, "", kind, path);
    if (status == ERROR_ACCESS_DENIED) status = RegisterClassKeys(HKEY_CURRENT_USER, "Software\\Classes\\", kind, path);
    if (status != ERROR_SUCCESS) return SELFREG_E_CLASS;
  }
  return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (const ControlClass& kind : kClasses) {
    DeleteClassKeys(HKEY_CLASSES_ROOT, "", kind);
    DeleteClassKeys(HKEY_CURRENT_USER, "Software\\Classes\\", kind);
  }
  UnregisterTypes();
  return S_OK;
}
