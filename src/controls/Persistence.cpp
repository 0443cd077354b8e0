#include "Persistence.h"

namespace zolbtns {
namespace {

constexpr DWORD kStreamMagic = 0x426C6F5A;  // "ZolB"
// The low word counts revisions that only add names or value types; the high
// word changes with the layout of an entry (name, type, data), which this
// reader must know to find the next entry.
constexpr DWORD kStreamVersion = 1;
constexpr DWORD kLayoutMask = 0xFFFF0000;
constexpr ULONG kLongestName = 64;
constexpr ULONG kLongestText = 1 << 20;

HRESULT WriteBytes(IStream* stream, const void* data, ULONG size) {
  ULONG written = 0;
  HRESULT hr = stream->Write(data, size, &written);
  return FAILED(hr) ? hr : written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadBytes(IStream* stream, void* data, ULONG size) {
  ULONG read = 0;
  HRESULT hr = stream->Read(data, size, &read);
  return FAILED(hr) ? hr : read == size ? S_OK : E_UNEXPECTED;
}

template <class T>
HRESULT WriteValue(IStream* stream, const T& value) {
  return WriteBytes(stream, &value, sizeof value);
}

template <class T>
HRESULT ReadValue(IStream* stream, T* value) {
  return ReadBytes(stream, value, sizeof *value);
}

HRESULT WriteText(IStream* stream, const wchar_t* text, ULONG length) {
  HRESULT hr = WriteValue(stream, length);
  return SUCCEEDED(hr) ? WriteBytes(stream, text, length * sizeof(wchar_t)) : hr;
}

// Bytes from the stream's position to its end, or ~0 when the stream cannot tell.
ULONGLONG BytesLeft(IStream* stream) {
  const LARGE_INTEGER none{};
  ULARGE_INTEGER at{};
  STATSTG stat{};
  if (FAILED(stream->Seek(none, STREAM_SEEK_CUR, &at)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return ~0ULL;
  return stat.cbSize.QuadPart > at.QuadPart ? stat.cbSize.QuadPart - at.QuadPart : 0;
}

HRESULT ReadText(IStream* stream, ULONG longest, std::wstring* text) {
  ULONG length = 0;
  HRESULT hr = ReadValue(stream, &length);
  if (FAILED(hr)) return hr;
  // A corrupt length must not make us allocate what the stream cannot hold.
  if (length > longest || length * sizeof(wchar_t) > BytesLeft(stream)) return E_UNEXPECTED;
  text->assign(length, L'\0');
  return length ? ReadBytes(stream, text->data(), length * sizeof(wchar_t)) : S_OK;
}

HRESULT WriteVariant(IStream* stream, const VARIANT& value) {
  HRESULT hr = WriteValue(stream, value.vt);
  if (FAILED(hr)) return hr;
  switch (value.vt) {
    case VT_I2:
    case VT_BOOL: return WriteValue(stream, value.iVal);
    case VT_I4:
    case VT_UI4: return WriteValue(stream, value.lVal);
    case VT_BSTR: return WriteText(stream, value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IPersistStream* persist = nullptr;
      if (!value.punkVal ||
          FAILED(value.punkVal->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))))
        return E_INVALIDARG;
      hr = OleSaveToStream(persist, stream);
      persist->Release();
      return hr;
    }
    default: return DISP_E_BADVARTYPE;
  }
}

// The size of a value whose type alone fixes it, as a later revision may
// write; 0 for the types of no fixed size.
ULONG FixedSize(VARTYPE type) {
  switch (type) {
    case VT_EMPTY:
    case VT_NULL: return 0;
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR: return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_I8:
    case VT_UI8: return 8;
    default: return 0;
  }
}

bool HasFixedSize(VARTYPE type) { return type == VT_EMPTY || type == VT_NULL || FixedSize(type) != 0; }

// A property object of the two kinds the controls keep. The stream names the
// class; creating whatever class it names would let saved data load any
// registered server into the container, so any other class is refused.
HRESULT CreatePropertyObject(const CLSID& clsid, IPersistStream** persist) {
  *persist = nullptr;
  if (IsEqualCLSID(clsid, CLSID_StdFont)) {
    wchar_t face[] = L"MS Sans Serif";
    FONTDESC description{sizeof(FONTDESC), face, {}, FW_NORMAL, ANSI_CHARSET, FALSE, FALSE, FALSE};
    description.cySize.int64 = 8 * 10000;
    return OleCreateFontIndirect(&description, IID_IPersistStream, reinterpret_cast<void**>(persist));
  }
  // An uninitialized picture takes its kind and data from the stream.
  if (IsEqualCLSID(clsid, CLSID_StdPicture))
    return OleCreatePictureIndirect(nullptr, IID_IPersistStream, TRUE, reinterpret_cast<void**>(persist));
  return E_ACCESSDENIED;
}

HRESULT ReadObject(IStream* stream, const IID& iid, IUnknown** object) {
  *object = nullptr;
  CLSID clsid{};
  HRESULT hr = ReadValue(stream, &clsid);  // as WriteClassStm stored it
  IPersistStream* persist = nullptr;
  if (SUCCEEDED(hr)) hr = CreatePropertyObject(clsid, &persist);
  if (FAILED(hr)) return hr;
  hr = persist->Load(stream);
  if (SUCCEEDED(hr)) hr = persist->QueryInterface(iid, reinterpret_cast<void**>(object));
  persist->Release();
  return hr;
}

HRESULT ReadVariant(IStream* stream, VARIANT* value) {
  VariantInit(value);
  VARTYPE type = VT_EMPTY;
  HRESULT hr = ReadValue(stream, &type);
  if (FAILED(hr)) return hr;
  switch (type) {
    case VT_BSTR: {
      std::wstring text;
      hr = ReadText(stream, kLongestText, &text);
      if (SUCCEEDED(hr)) value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      hr = ReadObject(stream, type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &value->punkVal);
      break;
    default:
      // Without its size the next entry cannot be found: the data is not ours.
      if (!HasFixedSize(type)) return DISP_E_BADVARTYPE;
      hr = FixedSize(type) ? ReadBytes(stream, &value->llVal, FixedSize(type)) : S_OK;
  }
  if (SUCCEEDED(hr)) value->vt = type;
  return hr;
}

}  // namespace

// ---- Conversions ----

HRESULT ToColor(const VARIANT& value, OLE_COLOR* color) {
  VARIANT converted;
  VariantInit(&converted);
  // Colours come as Long; system colours above 0x7FFFFFFF may come unsigned or as Double.
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) {
    *color = static_cast<OLE_COLOR>(converted.lVal);
    return S_OK;
  }
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_UI4))) {
    *color = converted.ulVal;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToBoolean(const VARIANT& value, bool* flag) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BOOL))) return DISP_E_TYPEMISMATCH;
  *flag = converted.boolVal != VARIANT_FALSE;
  return S_OK;
}

HRESULT ToNumber(const VARIANT& value, LONG* number) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) return DISP_E_TYPEMISMATCH;
  *number = converted.lVal;
  return S_OK;
}

HRESULT ToText(const VARIANT& value, std::wstring* text) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
  text->assign(converted.bstrVal ? converted.bstrVal : L"", SysStringLen(converted.bstrVal));
  VariantClear(&converted);
  return S_OK;
}

// ---- Reading and writing by name ----

bool PropertyReader::Read(const wchar_t* name, VARIANT* value) {
  VariantInit(value);
  // An empty value, as a later revision may store, is no value.
  if (bag_ && SUCCEEDED(bag_->Read(name, value, nullptr)) && value->vt != VT_EMPTY) return true;
  VariantClear(value);
  return false;
}

template <class T, class Convert>
T PropertyReader::Converted(const wchar_t* name, const T& fallback, Convert convert) {
  VARIANT value;
  T result = fallback;
  if (Read(name, &value) && FAILED(convert(value, &result))) result = fallback;
  VariantClear(&value);
  return result;
}

OLE_COLOR PropertyReader::Color(const wchar_t* name, OLE_COLOR fallback) { return Converted(name, fallback, ToColor); }
bool PropertyReader::Boolean(const wchar_t* name, bool fallback) { return Converted(name, fallback, ToBoolean); }
LONG PropertyReader::Number(const wchar_t* name, LONG fallback) { return Converted(name, fallback, ToNumber); }
std::wstring PropertyReader::Text(const wchar_t* name, const std::wstring& fallback) {
  return Converted(name, fallback, ToText);
}

void PropertyWriter::Write(const wchar_t* name, VARIANT& value) {
  HRESULT hr = bag_->Write(name, &value);
  if (FAILED(hr) && SUCCEEDED(result_)) result_ = hr;
  VariantClear(&value);
}

void PropertyWriter::Color(const wchar_t* name, OLE_COLOR value, OLE_COLOR fallback) {
  if (value == fallback) return;
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = static_cast<LONG>(value);
  Write(name, v);
}

void PropertyWriter::Boolean(const wchar_t* name, bool value, bool fallback) {
  if (value == fallback) return;
  VARIANT v;
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  Write(name, v);
}

void PropertyWriter::Number(const wchar_t* name, LONG value, LONG fallback) {
  if (value == fallback) return;
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  Write(name, v);
}

void PropertyWriter::Text(const wchar_t* name, const std::wstring& value, const std::wstring& fallback) {
  if (value == fallback) return;
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  Write(name, v);
}

void PropertyWriter::Object(const wchar_t* name, IUnknown* value) {
  if (!value) return;
  VARIANT v;
  v.vt = VT_UNKNOWN;
  v.punkVal = value;
  value->AddRef();
  Write(name, v);
}

// ---- MemoryBag ----

MemoryBag::~MemoryBag() {
  for (auto& entry : values_) VariantClear(&entry.second);
}

HRESULT MemoryBag::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyBag)) return E_NOINTERFACE;
  *object = static_cast<IPropertyBag*>(this);
  return S_OK;
}

HRESULT MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  for (const auto& entry : values_) {
    if (_wcsicmp(entry.first.c_str(), name) != 0) continue;
    VARIANT* stored = const_cast<VARIANT*>(&entry.second);
    if (value->vt == VT_EMPTY) return VariantCopy(value, stored);
    return VariantChangeType(value, stored, 0, value->vt);
  }
  return E_INVALIDARG;
}

HRESULT MemoryBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopy(&copy, value);
  if (FAILED(hr)) return hr;
  for (auto& entry : values_) {
    if (_wcsicmp(entry.first.c_str(), name) != 0) continue;
    VariantClear(&entry.second);
    entry.second = copy;
    return S_OK;
  }
  values_.emplace_back(name, copy);
  return S_OK;
}

HRESULT MemoryBag::SaveTo(IStream* stream) const {
  HRESULT hr = WriteValue(stream, kStreamMagic);
  if (SUCCEEDED(hr)) hr = WriteValue(stream, kStreamVersion);
  for (const auto& [name, value] : values_) {
    if (SUCCEEDED(hr)) hr = WriteText(stream, name.c_str(), static_cast<ULONG>(name.size()));
    if (SUCCEEDED(hr)) hr = WriteVariant(stream, value);
  }
  return SUCCEEDED(hr) ? WriteText(stream, L"", 0) : hr;
}

HRESULT MemoryBag::LoadFrom(IStream* stream) {
  DWORD magic = 0, version = 0;
  HRESULT hr = ReadValue(stream, &magic);
  if (SUCCEEDED(hr)) hr = ReadValue(stream, &version);
  if (FAILED(hr)) return hr;
  if (magic != kStreamMagic || (version & kLayoutMask) != (kStreamVersion & kLayoutMask) || version == 0)
    return E_UNEXPECTED;
  for (;;) {
    std::wstring name;
    hr = ReadText(stream, kLongestName, &name);
    if (FAILED(hr) || name.empty()) return hr;
    VARIANT value;
    hr = ReadVariant(stream, &value);
    if (FAILED(hr)) return hr;
    values_.emplace_back(std::move(name), value);
  }
}

}  // namespace zolbtns
