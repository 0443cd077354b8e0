#include "ButtonControl.h"

#include <windowsx.h>

namespace zolbtns {
namespace {

const wchar_t kSurfaceClass[] = L"ZolBtnsControl";
const wchar_t kFaceClass[] = L"ZolBtnsFace";
LONG g_serverReferences = 0;
HINSTANCE g_instance = nullptr;

// The VB mouse pointer numbers and their system cursors (99 is MouseIcon).
LPCWSTR SystemCursor(LONG pointer) {
  switch (pointer) {
    case 1: return IDC_ARROW;
    case 2: return IDC_CROSS;
    case 3: return IDC_IBEAM;
    case 4: return IDC_ICON;
    case 5: return IDC_SIZEALL;
    case 6: return IDC_SIZENESW;
    case 7: return IDC_SIZENS;
    case 8: return IDC_SIZENWSE;
    case 9: return IDC_SIZEWE;
    case 10: return IDC_UPARROW;
    case 11: return IDC_WAIT;
    case 12: return IDC_NO;
    case 13: return IDC_APPSTARTING;
    case 14: return IDC_HELP;
    case 15: return IDC_SIZEALL;
    default: return nullptr;
  }
}

SIZE HimetricToTwips(OLE_XSIZE_HIMETRIC width, OLE_YSIZE_HIMETRIC height) {
  HDC screen = GetDC(nullptr);
  SIZE size{Twips(MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540)),
            Twips(MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540))};
  ReleaseDC(nullptr, screen);
  return size;
}

SIZE PictureSize(IPicture* picture) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (!picture || FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height))) return SIZE{0, 0};
  return HimetricToTwips(width, height);
}

}  // namespace

COLORREF ResolveColor(OLE_COLOR color) {
  if ((color & 0xFF000000) == 0x80000000) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

void AddServerReference() { InterlockedIncrement(&g_serverReferences); }
void ReleaseServerReference() { InterlockedDecrement(&g_serverReferences); }
LONG ServerReferences() { return g_serverReferences; }
HINSTANCE ModuleInstance() { return g_instance; }
void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

void UnregisterWindowClasses() {
  UnregisterClassW(kSurfaceClass, g_instance);
  UnregisterClassW(kFaceClass, g_instance);
}

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

void ReturnColor(OLE_COLOR color, VARIANT* result) {
  result->vt = VT_I4;
  result->lVal = static_cast<LONG>(color);
}

void ReturnBoolean(bool flag, VARIANT* result) {
  result->vt = VT_BOOL;
  result->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnText(const std::wstring& text, VARIANT* result) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// ---- Property bags ----

bool PropertyReader::Read(const wchar_t* name, VARTYPE type, VARIANT* value) {
  VariantInit(value);
  value->vt = type;
  if (bag_ && SUCCEEDED(bag_->Read(name, value, nullptr))) return true;
  VariantClear(value);
  return false;
}

template <class T, class Convert>
T PropertyReader::Converted(const wchar_t* name, const T& fallback, Convert convert) {
  VARIANT value;
  T result = fallback;
  if (Read(name, VT_EMPTY, &value) && FAILED(convert(value, &result))) result = fallback;
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
  VariantInit(&v);
  ReturnColor(value, &v);
  Write(name, v);
}

void PropertyWriter::Boolean(const wchar_t* name, bool value, bool fallback) {
  if (value == fallback) return;
  VARIANT v;
  VariantInit(&v);
  ReturnBoolean(value, &v);
  Write(name, v);
}

void PropertyWriter::Number(const wchar_t* name, LONG value, LONG fallback) {
  if (value == fallback) return;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  Write(name, v);
}

void PropertyWriter::Text(const wchar_t* name, const std::wstring& value, const std::wstring& fallback) {
  if (value == fallback) return;
  VARIANT v;
  VariantInit(&v);
  ReturnText(value, &v);
  Write(name, v);
}

void PropertyWriter::Object(const wchar_t* name, IUnknown* value) {
  if (!value) return;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UNKNOWN;
  v.punkVal = value;
  value->AddRef();
  Write(name, v);
}

// ---- The COM object ----

ButtonControl::ButtonControl(const CLSID& clsid, const Member* members, size_t memberCount)
    : clsid_(clsid), members_(members), memberCount_(memberCount) {
  AddServerReference();
}

ButtonControl::~ButtonControl() {
  ReleaseObjects();
  if (sink_) sink_->Release();
  ReleaseServerReference();
}

void ButtonControl::ReleaseObjects() {
  for (IUnknown** object : {reinterpret_cast<IUnknown**>(&font_), reinterpret_cast<IUnknown**>(&picture_),
                            reinterpret_cast<IUnknown**>(&mouseIcon_)}) {
    if (*object) (*object)->Release();
    *object = nullptr;
  }
}

HRESULT ButtonControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
    *object = static_cast<IDispatch*>(this);
  else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistPropertyBag))
    *object = static_cast<IPersistPropertyBag*>(this);
  else if (IsEqualIID(iid, IID_IZolControl))
    *object = static_cast<IZolControl*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG ButtonControl::AddRef() { return InterlockedIncrement(&references_); }

ULONG ButtonControl::Release() {
  ULONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return left;
}

HRESULT ButtonControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ButtonControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT ButtonControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (size_t i = 0; i < memberCount_; ++i) {
    if (_wcsicmp(members_[i].name, names[0]) == 0) {
      ids[0] = members_[i].id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;  // no member has named arguments
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT ButtonControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                              UINT* argError) {
  const Member* member = nullptr;
  for (size_t i = 0; i < memberCount_; ++i)
    if (members_[i].id == id) member = &members_[i];
  if (!member) return DISP_E_MEMBERNOTFOUND;
  if (argError) *argError = 0;
  VARIANT ignored;
  VariantInit(&ignored);
  if (!result) result = &ignored;
  VariantInit(result);

  // Keep the control alive while its own code runs (a Click handler may close the form).
  AddRef();
  HRESULT hr;
  if (member->kind == MemberKind::kMethod) {
    hr = (flags & DISPATCH_METHOD) ? Call(id, params, result) : DISP_E_MEMBERNOTFOUND;
  } else if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (member->kind == MemberKind::kReadOnly) {
      hr = DISP_E_MEMBERNOTFOUND;
    } else if (!params || params->cArgs != 1) {
      hr = DISP_E_BADPARAMCOUNT;
    } else {
      VARIANT value;
      VariantInit(&value);
      hr = VariantCopyInd(&value, &params->rgvarg[0]);
      if (SUCCEEDED(hr)) hr = Put(id, value);
      VariantClear(&value);
    }
  } else if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
    hr = (params && params->cArgs) ? DISP_E_BADPARAMCOUNT : Get(id, result);
  } else {
    hr = DISP_E_MEMBERNOTFOUND;
  }
  VariantClear(&ignored);
  Release();
  return hr;
}

HRESULT ButtonControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT ButtonControl::InitNew() {
  ResetToNewlyPlaced();
  if (surface_) SetWindowTextW(surface_, caption_.c_str());
  Layout();
  RefreshAll();
  return S_OK;
}

HRESULT ButtonControl::Load(IPropertyBag* bag, IErrorLog*) {
  if (!bag) return E_POINTER;
  PropertyReader reader(bag);
  ReadProperties(reader);
  RefreshAll();
  return S_OK;
}

HRESULT ButtonControl::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (!bag) return E_POINTER;
  PropertyWriter writer(bag);
  WriteProperties(writer);
  return writer.result();
}

HRESULT ButtonControl::CreateControlWindow(HWND parent, UINT id, LONG left, LONG top, LONG width, LONG height,
                                           BOOL tabStop, HWND* window) {
  if (window) *window = nullptr;
  if (surface_) return E_UNEXPECTED;
  if (!IsWindow(parent)) return E_INVALIDARG;
  RegisterClasses();
  id_ = id;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | (tabStop ? WS_TABSTOP : 0);
  // The window keeps the control alive until it is destroyed; WM_NCDESTROY lets go.
  AddRef();
  HWND surface = CreateWindowExW(0, kSurfaceClass, caption_.c_str(), style, Pixels(left), Pixels(top), Pixels(width),
                                 Pixels(height), parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 ModuleInstance(), this);
  if (!surface) {
    Release();
    return HRESULT_FROM_WIN32(GetLastError());
  }
  Layout();
  if (window) *window = surface;
  return S_OK;
}

HRESULT ButtonControl::SetEventSink(IDispatch* sink) {
  if (sink) sink->AddRef();
  if (sink_) sink_->Release();
  sink_ = sink;
  return S_OK;
}

void ButtonControl::RaiseClick() {
  AddRef();
  HWND surface = surface_;
  if (surface)
    SendMessageW(GetParent(surface), WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(surface));
  if (IDispatch* sink = sink_) {
    sink->AddRef();
    DISPPARAMS none{};
    sink->Invoke(kZolEventClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    sink->Release();
  }
  Release();
}

// ---- Shared properties ----

void ButtonControl::SetBackColor(OLE_COLOR color) {
  backColor_ = color;
  faceInverted_ = false;
  RepaintFace();
}

void ButtonControl::SetEnabled(bool enabled) {
  if (!enabled && focusShown_) {
    InvertFocusRect();
    focusShown_ = false;
  }
  enabled_ = enabled;
  RepaintFace();
}

HRESULT ButtonControl::PutFont(const VARIANT& value) {
  IFont* font = nullptr;
  if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal) {
    if (FAILED(value.punkVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font)))) return DISP_E_TYPEMISMATCH;
  } else if (value.vt != VT_EMPTY && value.vt != VT_NULL && !(value.vt == VT_DISPATCH && !value.pdispVal)) {
    return DISP_E_TYPEMISMATCH;
  }
  if (font_) font_->Release();
  font_ = font;
  RefreshAll();
  return S_OK;
}

HRESULT ButtonControl::GetFont(VARIANT* result) {
  if (!font_) {
    // Hand out the ambient font as the control's own, so that changing it sticks.
    LOGFONTW logFont{};
    GetObjectW(CaptionFont(), sizeof logFont, &logFont);
    HDC screen = GetDC(nullptr);
    LONG pointsTimes10000 =
        MulDiv(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight, 720000, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = logFont.lfFaceName;
    description.cySize.int64 = pointsTimes10000;
    description.sWeight = static_cast<SHORT>(logFont.lfWeight);
    description.sCharset = logFont.lfCharSet;
    description.fItalic = logFont.lfItalic != 0;
    description.fUnderline = logFont.lfUnderline != 0;
    description.fStrikethrough = logFont.lfStrikeOut != 0;
    if (FAILED(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(&font_)))) font_ = nullptr;
  }
  if (!font_) return E_FAIL;
  result->vt = VT_DISPATCH;
  return font_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result->pdispVal));
}

HRESULT ButtonControl::PutPicture(const VARIANT& value, IPicture** slot) {
  IPicture* picture = nullptr;
  if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal) {
    if (FAILED(value.punkVal->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture))))
      return DISP_E_TYPEMISMATCH;
  } else if (value.vt != VT_EMPTY && value.vt != VT_NULL && value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN) {
    return DISP_E_TYPEMISMATCH;
  }
  if (*slot) (*slot)->Release();
  *slot = picture;
  RefreshAll();
  return S_OK;
}

HRESULT ButtonControl::GetPicture(IPicture* picture, VARIANT* result) {
  result->vt = VT_DISPATCH;
  result->pdispVal = nullptr;
  return picture ? picture->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result->pdispVal)) : S_OK;
}

void ButtonControl::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (surface_) SetWindowTextW(surface_, caption_.c_str());
  RepaintFace();
}

void ButtonControl::SetMousePointer(LONG pointer) {
  mousePointer_ = pointer;
  POINT cursor;
  if (surface_ && GetCursorPos(&cursor)) {
    HWND under = WindowFromPoint(cursor);
    if (under == surface_ || under == face_) SetPointer();
  }
}

void ButtonControl::ReadCommonFont(PropertyReader& reader) {
  if (font_) font_->Release();
  font_ = nullptr;
  if (IFont* saved = reader.Object<IFont>(L"Font")) {
    saved->Clone(&font_);
    saved->Release();
  }
}

void ButtonControl::WriteCommonFont(PropertyWriter& writer) {
  HFONT mine = nullptr;
  if (!font_ || FAILED(font_->get_hFont(&mine))) return;  // still the ambient font: the default
  LOGFONTW ours{}, ambient{};
  GetObjectW(mine, sizeof ours, &ours);
  GetObjectW(AmbientFont(), sizeof ambient, &ambient);
  bool same = ours.lfHeight == ambient.lfHeight && ours.lfWeight == ambient.lfWeight &&
              ours.lfItalic == ambient.lfItalic && ours.lfUnderline == ambient.lfUnderline &&
              ours.lfStrikeOut == ambient.lfStrikeOut && _wcsicmp(ours.lfFaceName, ambient.lfFaceName) == 0;
  if (!same) writer.Object(L"Font", font_);
}

// ---- Windows ----

void ButtonControl::RegisterClasses() {
  WNDCLASSEXW surface{};
  surface.cbSize = sizeof surface;
  if (GetClassInfoExW(ModuleInstance(), kSurfaceClass, &surface)) return;
  surface.lpfnWndProc = SurfaceProc;
  surface.hInstance = ModuleInstance();
  surface.hCursor = LoadCursor(nullptr, IDC_ARROW);
  surface.lpszClassName = kSurfaceClass;
  RegisterClassExW(&surface);
  WNDCLASSEXW face = surface;
  face.style = CS_DBLCLKS;
  face.lpfnWndProc = FaceProc;
  face.lpszClassName = kFaceClass;
  RegisterClassExW(&face);
}

LRESULT CALLBACK ButtonControl::SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control = static_cast<ButtonControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    control->surface_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  auto* control = reinterpret_cast<ButtonControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control) return DefWindowProcW(window, message, wParam, lParam);
  return control->OnSurface(message, wParam, lParam);
}

LRESULT CALLBACK ButtonControl::FaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<ButtonControl*>(GetWindowLongPtrW(GetParent(window), GWLP_USERDATA));
  if (!control || control->face_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return control->OnFace(message, wParam, lParam);
}

LRESULT ButtonControl::OnSurface(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = surface_;
  switch (message) {
    case WM_CREATE:
      face_ = CreateWindowExW(0, kFaceClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, ModuleInstance(),
                              nullptr);
      return face_ ? 0 : -1;
    case WM_SIZE: Layout(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      PaintSurface(dc, client);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETFOCUS: GotFocus(); return 0;
    case WM_KILLFOCUS: LostFocus(); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKey(wParam, message == WM_KEYDOWN); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS;
    case WM_SETCURSOR:
      if (SetPointer()) return TRUE;
      break;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      surface_ = nullptr;
      face_ = nullptr;
      pressed_ = mouseHeld_ = spaceHeld_ = false;
      Release();
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ButtonControl::OnFace(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(face_, &paint);
      PaintFace(dc);
      EndPaint(face_, &paint);
      return 0;
    }
    // The second press of a double click presses again like the first.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnMouseDown(point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(point, wParam); return 0;
    case WM_LBUTTONUP: OnMouseUp(); return 0;
    case WM_CAPTURECHANGED:
      // Losing the mouse to another window ends the press like leaving the face.
      if (mouseHeld_ && reinterpret_cast<HWND>(lParam) != face_) {
        mouseHeld_ = false;
        if (pressed_) BtnUp();
        cancelled_ = true;
      }
      return 0;
    case WM_SETCURSOR:
      if (SetPointer()) return TRUE;
      break;
  }
  return DefWindowProcW(face_, message, wParam, lParam);
}

void ButtonControl::PaintSurface(HDC dc, const RECT& client) {
  HBRUSH brush = CreateSolidBrush(ResolveColor(backColor_));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
}

void ButtonControl::PaintFace(HDC dc) {
  RECT face;
  GetClientRect(face_, &face);
  HBRUSH brush = CreateSolidBrush(ResolveColor(backColor_));
  FillRect(dc, &face, brush);
  DeleteObject(brush);
  if (faceInverted_) {
    RECT focus = face;
    InflateRect(&focus, -3, -3);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ResolveColor(focusColor_));
    DrawFocusRect(dc, &focus);
  }
  PaintFaceParts(dc, face);
}

// ---- Drawing helpers ----

HFONT ButtonControl::CaptionFont() const {
  HFONT font = nullptr;
  if (font_ && SUCCEEDED(font_->get_hFont(&font)) && font) return font;
  return AmbientFont();
}

// The container's font: the parent window's, else the default GUI font.
HFONT ButtonControl::AmbientFont() const {
  HFONT font = nullptr;
  if (surface_) font = reinterpret_cast<HFONT>(SendMessageW(GetParent(surface_), WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ButtonControl::DrawCaption(HDC dc, LONG offsetLeft, LONG offsetTop) {
  HGDIOBJ old = SelectObject(dc, CaptionFont());
  RECT text{0, 0, 0, 0};
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text, DT_CALCRECT);
  SIZE face = FaceSize();
  const int left = Pixels((face.cx - Twips(text.right)) / 2 + offsetLeft);
  const int top = Pixels((face.cy - Twips(text.bottom)) / 2 + offsetTop);
  OffsetRect(&text, left, top);
  SetBkMode(dc, TRANSPARENT);
  if (enabled_) {
    SetTextColor(dc, ResolveColor(foreColor_));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text, DT_NOCLIP);
  } else {
    // A disabled label's etched grey text.
    RECT etched = text;
    OffsetRect(&etched, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &etched, DT_NOCLIP);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text, DT_NOCLIP);
  }
  SelectObject(dc, old);
}

RECT ButtonControl::PictureRect(LONG offsetTop) const {
  SIZE picture = PictureSize(picture_);
  SIZE face = FaceSize();
  const int left = Pixels((face.cx - picture.cx) / 2);
  const int top = Pixels((face.cy - picture.cy) / 2 + offsetTop);
  return RECT{left, top, left + Pixels(picture.cx), top + Pixels(picture.cy)};
}

void ButtonControl::DrawPicture(HDC dc, LONG offsetTop) {
  if (!picture_) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  RECT at = PictureRect(offsetTop);
  picture_->Render(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, 0, height, width, -height, nullptr);
}

// ---- Geometry and repainting ----

SIZE ButtonControl::InnerSize() const {
  RECT client{0, 0, 0, 0};
  if (surface_) GetClientRect(surface_, &client);
  return SIZE{Twips(client.right), Twips(client.bottom)};
}

SIZE ButtonControl::FaceSize() const {
  RECT client{0, 0, 0, 0};
  if (face_) GetClientRect(face_, &client);
  return SIZE{Twips(client.right), Twips(client.bottom)};
}

void ButtonControl::MoveFace(LONG left, LONG top, LONG width, LONG height) {
  if (!face_) return;
  MoveWindow(face_, Pixels(left), Pixels(top), Pixels(width < 0 ? 0 : width), Pixels(height < 0 ? 0 : height), TRUE);
  InvalidateRect(surface_, nullptr, FALSE);
}

bool ButtonControl::TabStop() const { return surface_ && (GetWindowLongW(surface_, GWL_STYLE) & WS_TABSTOP) != 0; }

void ButtonControl::InvertFocusRect() {
  faceInverted_ = !faceInverted_;
  RepaintFace();
}

void ButtonControl::RepaintFace() {
  if (face_) InvalidateRect(face_, nullptr, FALSE);
}

void ButtonControl::RefreshAll() {
  if (!surface_) return;
  InvalidateRect(surface_, nullptr, FALSE);
  RedrawWindow(surface_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool ButtonControl::SetPointer() {
  if (mousePointer_ == 99 && mouseIcon_) {
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    mouseIcon_->get_Type(&type);
    if (type == PICTYPE_ICON && SUCCEEDED(mouseIcon_->get_Handle(&handle))) {
      SetCursor(reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(handle)));
      return true;
    }
  }
  if (LPCWSTR cursor = SystemCursor(mousePointer_)) {
    SetCursor(LoadCursorW(nullptr, cursor));
    return true;
  }
  return false;
}

// ---- Input ----

bool ButtonControl::OutsideFace(POINT point) const {
  SIZE face = FaceSize();
  // A press that began on the picture has its right and bottom limits 23 twips inside the face.
  const LONG inset = pressOnPicture_ ? 23 : 0;
  const LONG x = Twips(point.x), y = Twips(point.y);
  return x < 0 || y < 0 || x >= face.cx - inset || y >= face.cy - inset;
}

void ButtonControl::OnMouseDown(POINT point) {
  if (surface_ && GetFocus() != surface_) SetFocus(surface_);
  if (!enabled_ || !face_) return;
  SetCapture(face_);
  mouseHeld_ = true;
  // A new press starts afresh, also the second press of a double click.
  cancelled_ = false;
  RECT picture = PictureRect(pictureOffsetTop_);
  pressOnPicture_ = picture_ && PtInRect(&picture, point);
  if (!pressed_) BtnDown();
}

void ButtonControl::OnMouseMove(POINT point, WPARAM keys) {
  // No hover look: only a held left button matters.
  if (!enabled_ || !mouseHeld_ || !(keys & MK_LBUTTON)) return;
  if (OutsideFace(point)) {
    if (pressed_) BtnUp();
    cancelled_ = true;
  }
}

void ButtonControl::OnMouseUp() {
  const bool held = mouseHeld_;
  mouseHeld_ = false;
  if (GetCapture() == face_) ReleaseCapture();
  if (!enabled_ || !held) return;
  if (pressed_) BtnUp();
  if (!cancelled_) RaiseClick();
}

void ButtonControl::OnKey(WPARAM key, bool down) {
  if (key != VK_SPACE || !enabled_) return;
  if (down) {
    if (pressed_) return;  // auto-repeat
    spaceHeld_ = true;
    BtnDown();
  } else if (spaceHeld_) {
    spaceHeld_ = false;
    if (pressed_) BtnUp();
    RaiseClick();
  }
}

namespace {

// The shared members' numbers, equal in both controls' member lists.
constexpr DISPID kSharedBackColor = kZolButtonBackColor;
constexpr DISPID kSharedForeColor = kZolButtonForeColor;
constexpr DISPID kSharedEnabled = kZolButtonEnabled;
constexpr DISPID kSharedFont = kZolButtonFont;
constexpr DISPID kSharedCaption = kZolButtonCaption;
constexpr DISPID kSharedPicture = kZolButtonPicture;
static_assert(DISPID{kFlatButtonBackColor} == kSharedBackColor && DISPID{kFlatButtonForeColor} == kSharedForeColor &&
                  DISPID{kFlatButtonEnabled} == kSharedEnabled && DISPID{kFlatButtonFont} == kSharedFont &&
                  DISPID{kFlatButtonCaption} == kSharedCaption && DISPID{kFlatButtonPicture} == kSharedPicture,
              "both buttons number their shared members alike");

}  // namespace

HRESULT ButtonControl::GetShared(DISPID id, VARIANT* result) {
  switch (id) {
    case kSharedBackColor: ReturnColor(backColor_, result); return S_OK;
    case kSharedForeColor: ReturnColor(foreColor_, result); return S_OK;
    case kSharedEnabled: ReturnBoolean(enabled_, result); return S_OK;
    case kSharedFont: return GetFont(result);
    case kSharedCaption: ReturnText(caption_, result); return S_OK;
    case kSharedPicture: return GetPicture(picture_, result);
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT ButtonControl::PutShared(DISPID id, const VARIANT& value) {
  OLE_COLOR color = 0;
  bool flag = false;
  std::wstring text;
  switch (id) {
    case kSharedBackColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      SetBackColor(color);
      return S_OK;
    case kSharedForeColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      foreColor_ = color;
      RepaintFace();
      return S_OK;
    case kSharedEnabled:
      if (FAILED(ToBoolean(value, &flag))) return DISP_E_TYPEMISMATCH;
      SetEnabled(flag);
      return S_OK;
    case kSharedFont: return PutFont(value);
    case kSharedCaption:
      if (FAILED(ToText(value, &text))) return DISP_E_TYPEMISMATCH;
      SetCaption(text);
      return S_OK;
    case kSharedPicture: return PutPicture(value, &picture_);
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace zolbtns
