// Saved properties: reading and writing them by name through a property bag,
// and a stream format for containers that save controls into a stream.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "AutomationTypes.h"

namespace zolbtns {

// Conversions between VARIANTs and property values.
HRESULT ToColor(const VARIANT& value, OLE_COLOR* color);
HRESULT ToBoolean(const VARIANT& value, bool* flag);
HRESULT ToNumber(const VARIANT& value, LONG* number);
HRESULT ToText(const VARIANT& value, std::wstring* text);

// Reads saved properties; a missing or unreadable value gives the default.
class PropertyReader {
 public:
  explicit PropertyReader(IPropertyBag* bag) : bag_(bag) {}
  OLE_COLOR Color(const wchar_t* name, OLE_COLOR fallback);
  bool Boolean(const wchar_t* name, bool fallback);
  LONG Number(const wchar_t* name, LONG fallback);
  std::wstring Text(const wchar_t* name, const std::wstring& fallback);
  template <class T>
  T* Object(const wchar_t* name);  // new reference, or nullptr

 private:
  bool Read(const wchar_t* name, VARIANT* value);
  template <class T, class Convert>
  T Converted(const wchar_t* name, const T& fallback, Convert convert);
  IPropertyBag* bag_;
};

// Writes the properties that differ from their defaults.
class PropertyWriter {
 public:
  explicit PropertyWriter(IPropertyBag* bag) : bag_(bag) {}
  void Color(const wchar_t* name, OLE_COLOR value, OLE_COLOR fallback);
  void Boolean(const wchar_t* name, bool value, bool fallback);
  void Number(const wchar_t* name, LONG value, LONG fallback);
  void Text(const wchar_t* name, const std::wstring& value, const std::wstring& fallback);
  void Object(const wchar_t* name, IUnknown* value);  // skipped when nullptr
  HRESULT result() const { return result_; }

 private:
  void Write(const wchar_t* name, VARIANT& value);
  IPropertyBag* bag_;
  HRESULT result_ = S_OK;
};

// A property bag in memory, in the order the values were written; what a
// stream holds.
class MemoryBag final : public IPropertyBag {
 public:
  MemoryBag() = default;
  ~MemoryBag();
  MemoryBag(const MemoryBag&) = delete;
  MemoryBag& operator=(const MemoryBag&) = delete;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // lives on the stack of its user
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

  // The stream format: a header, then each value as its name, its type and
  // its data (objects through their own IPersistStream), then an empty name.
  // Loading keeps names it does not know, reads values of any type whose size
  // the type fixes, and creates only standard font and picture objects;
  // anything else fails the whole load, and no property changes.
  HRESULT SaveTo(IStream* stream) const;
  HRESULT LoadFrom(IStream* stream);

 private:
  std::vector<std::pair<std::wstring, VARIANT>> values_;
};

template <class T>
T* PropertyReader::Object(const wchar_t* name) {
  VARIANT value;
  T* object = nullptr;
  if (Read(name, &value) && (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
    value.punkVal->QueryInterface(__uuidof(T), reinterpret_cast<void**>(&object));
  VariantClear(&value);
  return object;
}

}  // namespace zolbtns
