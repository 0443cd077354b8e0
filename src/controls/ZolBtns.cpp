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

// Deletes a key with everything below it; a key already gone is no failure.
// Windows NT's RegDeleteKey refuses a key that has subkeys, and RegDeleteTree
// came only with Vista.
LONG DeleteKeyTree(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (opened != ERROR_SUCCESS) return opened;
  char name[MAX_PATH];
  LONG status = ERROR_SUCCESS;
  for (;;) {
    DWORD length = MAX_PATH;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    status = DeleteKeyTree(key, name);
    if (status != ERROR_SUCCESS) break;  // it would be found first again
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? RegDeleteKeyA(root, path.c_str()) : status;
}

LONG DeleteClassKeys(HKEY root, const std::string& prefix, const ControlClass& kind) {
  const LONG status = DeleteKeyTree(root, prefix + "CLSID\\" + GuidText(*kind.clsid));
  const LONG progId = DeleteKeyTree(root, prefix + kind.progId);
  return status != ERROR_SUCCESS ? status : progId;
}

// Where the classes are registered: machine-wide, or for the current user
// where the machine's classes cannot be written (Windows NT without the
// administrator's rights).
struct ClassesRoot {
  HKEY root;
  const char* prefix;
};
const ClassesRoot kMachineClasses{HKEY_CLASSES_ROOT, ""};
const ClassesRoot kUserClasses{HKEY_CURRENT_USER, "Software\\Classes\\"};

LONG RegisterAllClasses(const ClassesRoot& where, const std::string& path) {
  for (const ControlClass& kind : kClasses) {
    const LONG status = RegisterClassKeys(where.root, where.prefix, kind, path);
    if (status != ERROR_SUCCESS) {
      for (const ControlClass& written : kClasses) DeleteClassKeys(where.root, where.prefix, written);
      return status;
    }
  }
  return ERROR_SUCCESS;
}

using RegisterTypeLibrary = HRESULT(STDAPICALLTYPE*)(ITypeLib*, LPOLESTR, LPOLESTR);

// The type library in the machine's classes, or the user's: Windows Vista's
// RegisterTypeLibForUser, looked up so that older Windows still load the control.
HRESULT RegisterTypes(const std::string& path, bool forUser) {
  RegisterTypeLibrary registerTypes = RegisterTypeLib;
  if (forUser) {
    HMODULE automation = GetModuleHandleA("oleaut32.dll");
    registerTypes = reinterpret_cast<RegisterTypeLibrary>(
        reinterpret_cast<void*>(automation ? GetProcAddress(automation, "RegisterTypeLibForUser") : nullptr));
    if (!registerTypes) return E_NOTIMPL;
  }
  std::wstring widePath = ToWide(path);  // OLE takes it wide on every Windows
  ITypeLib* types = nullptr;
  HRESULT hr = LoadTypeLibEx(widePath.c_str(), REGKIND_NONE, &types);
  if (FAILED(hr)) return hr;
  hr = registerTypes(types, widePath.data(), nullptr);
  types->Release();
  return hr;
}

// The type library was registered for the library's own width (widl --win32 or --win64).
#ifdef _WIN64
constexpr SYSKIND kTypesSystem = SYS_WIN64;
constexpr char kTypesPlatform[] = "win64";
#else
constexpr SYSKIND kTypesSystem = SYS_WIN32;
constexpr char kTypesPlatform[] = "win32";
#endif

bool TypesRegistered() {
  const std::string entry = "TypeLib\\" + GuidText(LIBID_ZolBttn) + "\\1.0\\0\\" + kTypesPlatform;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, entry.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The first OLE Automation library of Windows 95 has no UnRegisterTypeLib:
// imported, it would keep the whole control from loading. Without it the type
// library stays registered, which harms nothing once the classes are gone.
// A type library not registered (any more) is no failure.
HRESULT UnregisterTypes() {
  using UnregisterTypeLibrary = HRESULT(STDAPICALLTYPE*)(REFGUID, WORD, WORD, LCID, SYSKIND);
  HMODULE automation = GetModuleHandleA("oleaut32.dll");
  const auto unregister = reinterpret_cast<UnregisterTypeLibrary>(
      reinterpret_cast<void*>(automation ? GetProcAddress(automation, "UnRegisterTypeLib") : nullptr));
  if (!unregister || !TypesRegistered()) return S_OK;
  return unregister(LIBID_ZolBttn, 1, 0, LOCALE_NEUTRAL, kTypesSystem);
}

}  // namespace
}  // namespace zolbtns

using namespace zolbtns;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    StartModule(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    // A class left behind would point at code no longer loaded.
    UnregisterWindowClasses();
    EndModule();
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

// Registers machine-wide when the machine's classes can be written, else for
// the current user. The classes come first, as they decide where: the type
// library goes with them. Per user it is a convenience only (the controls
// read their type information from their own file), so Windows without
// per-user type libraries still registers.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  const std::string path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  if (RegisterAllClasses(kMachineClasses, path) == ERROR_SUCCESS)
    return SUCCEEDED(RegisterTypes(path, false)) ? S_OK : SELFREG_E_TYPELIB;
  if (RegisterAllClasses(kUserClasses, path) != ERROR_SUCCESS) return SELFREG_E_CLASS;
  RegisterTypes(path, true);
  return S_OK;
}

// Takes the classes away wherever they were registered; fails when a key
// that is there cannot be deleted.
extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  bool classesGone = true;
  for (const ControlClass& kind : kClasses)
    for (const ClassesRoot& where : {kMachineClasses, kUserClasses})
      classesGone = DeleteClassKeys(where.root, where.prefix, kind) == ERROR_SUCCESS && classesGone;
  const HRESULT types = UnregisterTypes();
  if (!classesGone) return SELFREG_E_CLASS;
  return SUCCEEDED(types) ? S_OK : SELFREG_E_TYPELIB;
}
