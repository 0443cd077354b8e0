// What the zolButton and the FlatButton share: the COM object (IDispatch by
// name, property-bag persistence, the hosting interface), the control's two
// windows (its surface and the face `lblButton`), caption and picture drawing,
// and the mouse and keyboard rules that turn input into presses and Clicks.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "ZolBtns.h"

namespace zolbtns {

constexpr LONG kTwipsPerPixel = 15;
inline int Pixels(LONG twips) { return MulDiv(twips, 1, kTwipsPerPixel); }
inline LONG Twips(int pixels) { return pixels * kTwipsPerPixel; }

// An OLE_COLOR as a GDI colour; system colours are looked up now.
COLORREF ResolveColor(OLE_COLOR color);

// Counts of live objects and server locks, for DllCanUnloadNow.
void AddServerReference();
void ReleaseServerReference();
LONG ServerReferences();
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
void UnregisterWindowClasses();

enum class MemberKind { kMethod, kProperty, kReadOnly };
struct Member {
  const wchar_t* name;
  DISPID id;
  MemberKind kind;
};

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
  bool Read(const wchar_t* name, VARTYPE type, VARIANT* value);
  // The stored value converted by `convert`, or `fallback` when it is missing or does not convert.
  template <class T, class Convert>
  T Converted(const wchar_t* name, const T& fallback, Convert convert);
  IPropertyBag* bag_;
};

// Writes properties that differ from their defaults.
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

// Conversions between VARIANTs and property values, as late binding passes them.
HRESULT ToColor(const VARIANT& value, OLE_COLOR* color);
HRESULT ToBoolean(const VARIANT& value, bool* flag);
HRESULT ToNumber(const VARIANT& value, LONG* number);
HRESULT ToText(const VARIANT& value, std::wstring* text);
void ReturnColor(OLE_COLOR color, VARIANT* result);
void ReturnBoolean(bool flag, VARIANT* result);
void ReturnText(const std::wstring& text, VARIANT* result);

class ButtonControl : public IDispatch, public IPersistPropertyBag, public IZolControl {
 public:
  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT* argError) override;
  // IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog*) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  // IZolControl
  HRESULT STDMETHODCALLTYPE CreateControlWindow(HWND parent, UINT id, LONG left, LONG top, LONG width, LONG height,
                                                BOOL tabStop, HWND* window) override;
  HRESULT STDMETHODCALLTYPE SetEventSink(IDispatch* sink) override;

 protected:
  ButtonControl(const CLSID& clsid, const Member* members, size_t memberCount);
  virtual ~ButtonControl();

  // The class's members, by DISPID.
  // BackColor, ForeColor, Enabled, Font, Caption and Picture: the same members
  // at the same numbers (2 to 7) in both buttons. DISP_E_MEMBERNOTFOUND for
  // any other member.
  HRESULT GetShared(DISPID id, VARIANT* result);
  HRESULT PutShared(DISPID id, const VARIANT& value);
  virtual HRESULT Get(DISPID id, VARIANT* result) = 0;
  virtual HRESULT Put(DISPID id, const VARIANT& value) = 0;
  virtual HRESULT Call(DISPID id, DISPPARAMS* params, VARIANT* result) = 0;
  // Persistence: the state of a newly placed button, and reading (with the
  // layout in its place) and writing the saved properties.
  virtual void ResetToNewlyPlaced() = 0;
  virtual void ReadProperties(PropertyReader& reader) = 0;
  virtual void WriteProperties(PropertyWriter& writer) = 0;
  // Places the face in the control's surface.
  virtual void Layout() = 0;
  virtual void PaintSurface(HDC dc, const RECT& client);
  // Draws the class's parts on the face after its background.
  virtual void PaintFaceParts(HDC dc, const RECT& face) = 0;
  // The press and release steps shared by mouse, keyboard and BtnDown/BtnUp.
  virtual void BtnDown() = 0;
  virtual void BtnUp() = 0;
  virtual void GotFocus() = 0;
  virtual void LostFocus() = 0;

  // Shared properties.
  void SetBackColor(OLE_COLOR color);  // a new face colour clears what was drawn on the face
  void SetEnabled(bool enabled);
  HRESULT PutFont(const VARIANT& value);
  HRESULT GetFont(VARIANT* result);
  HRESULT PutPicture(const VARIANT& value, IPicture** slot);
  HRESULT GetPicture(IPicture* picture, VARIANT* result);
  void SetCaption(const std::wstring& caption);
  void SetMousePointer(LONG pointer);
  void ReadCommonFont(PropertyReader& reader);
  void WriteCommonFont(PropertyWriter& writer);
  void ReleaseObjects();

  // Toggles the focus rectangle on the face (an inverting drawing) and repaints it.
  void InvertFocusRect();
  bool TabStop() const;
  void RepaintFace();
  void RefreshAll();
  void MoveFace(LONG left, LONG top, LONG width, LONG height);  // twips, in the surface
  SIZE InnerSize() const;                                       // twips
  SIZE FaceSize() const;                                        // twips
  // Caption and picture, centred on the face with the class's offsets (twips).
  void DrawCaption(HDC dc, LONG offsetLeft, LONG offsetTop);
  void DrawPicture(HDC dc, LONG offsetTop);
  RECT PictureRect(LONG offsetTop) const;  // pixels, face coordinates

  OLE_COLOR backColor_ = 0;
  OLE_COLOR foreColor_ = 0;
  OLE_COLOR focusColor_ = 0;
  std::wstring caption_;
  IFont* font_ = nullptr;  // nullptr: the container's ambient font
  IPicture* picture_ = nullptr;
  IPicture* mouseIcon_ = nullptr;
  LONG mousePointer_ = 0;
  bool enabled_ = true;
  bool pressed_ = false;
  bool cancelled_ = false;
  bool focusShown_ = false;
  bool faceInverted_ = false;  // what the focus-rectangle inversions on the face add up to
  LONG pictureOffsetTop_ = 0;  // for hit-testing presses on the picture

  HWND surface_ = nullptr;
  HWND face_ = nullptr;

 private:
  static LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterClasses();
  LRESULT OnSurface(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFace(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintFace(HDC dc);
  void OnMouseDown(POINT point);
  void OnMouseMove(POINT point, WPARAM keys);
  void OnMouseUp();
  void OnKey(WPARAM key, bool down);
  bool OutsideFace(POINT point) const;
  bool SetPointer();
  HFONT CaptionFont() const;
  HFONT AmbientFont() const;
  void RaiseClick();

  LONG references_ = 1;
  CLSID clsid_;
  const Member* members_;
  size_t memberCount_;
  IDispatch* sink_ = nullptr;
  UINT id_ = 0;
  bool mouseHeld_ = false;
  bool spaceHeld_ = false;
  bool pressOnPicture_ = false;
};

template <class T>
T* PropertyReader::Object(const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  T* object = nullptr;
  if (Read(name, VT_EMPTY, &value) && (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
    value.punkVal->QueryInterface(__uuidof(T), reinterpret_cast<void**>(&object));
  VariantClear(&value);
  return object;
}

}  // namespace zolbtns
