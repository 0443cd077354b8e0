#include "ButtonControl.h"

#include <windowsx.h>

#include "AnsiText.h"

namespace zolbtns {
namespace {

const char kSurfaceClass[] = "ZolBtnsControl";
const char kFaceClass[] = "ZolBtnsFace";

// The VB mouse pointer numbers and their system cursors (99 is MouseIcon).
LPCSTR SystemCursor(LONG pointer) {
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

int MeasureTwipsPerPixel(int index) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, index) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return 1440 / (dpi > 0 ? dpi : 96);
}

// Read once: the screen's resolution holds for the whole run (changing it
// takes a restart of Windows), and painting converts twips many times over.
int ScreenTwipsPerPixel(int index) {
  static const int across = MeasureTwipsPerPixel(LOGPIXELSX);
  static const int down = MeasureTwipsPerPixel(LOGPIXELSY);
  return index == LOGPIXELSX ? across : down;
}

// A picture's size in pixels.
SIZE PictureSize(IPicture* picture) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (!picture || FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height))) return SIZE{0, 0};
  HDC screen = GetDC(nullptr);
  SIZE size{MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540),
            MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540)};
  ReleaseDC(nullptr, screen);
  return size;
}

HFONT HandleOf(IFont* font) {
  HFONT handle = nullptr;
  return font && SUCCEEDED(font->get_hFont(&handle)) ? handle : nullptr;
}

}  // namespace

int PixelsX(LONG twips) { return MulDiv(twips, 1, ScreenTwipsPerPixel(LOGPIXELSX)); }
int PixelsY(LONG twips) { return MulDiv(twips, 1, ScreenTwipsPerPixel(LOGPIXELSY)); }
LONG TwipsX(int pixels) { return pixels * ScreenTwipsPerPixel(LOGPIXELSX); }
LONG TwipsY(int pixels) { return pixels * ScreenTwipsPerPixel(LOGPIXELSY); }

COLORREF ResolveColor(OLE_COLOR color) {
  if ((color & 0xFF000000) == 0x80000000) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

void UnregisterWindowClasses() {
  UnregisterClassA(kSurfaceClass, ModuleInstance());
  UnregisterClassA(kFaceClass, ModuleInstance());
}

std::optional<char> AccessLetterOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;  // "&&" shows a plain "&"
  }
  return std::nullopt;
}

// ---- Watching the font object ----

void FontWatch::Watch(IFont* font) {
  if (point_) {
    point_->Unadvise(cookie_);
    point_->Release();
    point_ = nullptr;
  }
  IConnectionPointContainer* points = nullptr;
  if (!font || FAILED(font->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) return;
  if (SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, &point_)) &&
      FAILED(point_->Advise(this, &cookie_))) {
    point_->Release();
    point_ = nullptr;
  }
  points->Release();
}

HRESULT FontWatch::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyNotifySink)) return E_NOINTERFACE;
  *object = static_cast<IPropertyNotifySink*>(this);
  return S_OK;
}

HRESULT FontWatch::OnChanged(DISPID) {
  owner_.FontObjectChanged();
  return S_OK;
}

// ---- The object ----

ButtonControl::ButtonControl(const CLSID& clsid, const IID& dual, const IID& events, DISPID fontId)
    : OleControl(clsid, dual, events), fontId_(fontId) {}

ButtonControl::~ButtonControl() { ReleaseObjects(); }

void ButtonControl::ReleaseObjects() {
  fontWatch_.Watch(nullptr);
  fontIsOwn_ = false;
  for (IUnknown** object : {reinterpret_cast<IUnknown**>(&font_), reinterpret_cast<IUnknown**>(&picture_),
                            reinterpret_cast<IUnknown**>(&mouseIcon_)}) {
    if (*object) (*object)->Release();
    *object = nullptr;
  }
}

void ButtonControl::AmbientChanged() {
  if (fontIsOwn_) return;
  MirrorAmbientFont();
  RefreshAll();
}

// The font object handed out before a font is set follows the container's,
// so that a change made through it starts from what the button shows.
void ButtonControl::MirrorAmbientFont() {
  IFont* ambient = AmbientFont();
  if (!font_ || !ambient) return;
  mirroringAmbient_ = true;  // these changes are the container's, not a font set on the button
  VARIANT name;              // VariantClear frees the name, as everywhere else in the library
  VariantInit(&name);
  if (SUCCEEDED(ambient->get_Name(&name.bstrVal))) {
    name.vt = VT_BSTR;
    font_->put_Name(name.bstrVal);
  }
  VariantClear(&name);
  CY size{};
  if (SUCCEEDED(ambient->get_Size(&size))) font_->put_Size(size);
  SHORT weight = 0, charset = 0;
  if (SUCCEEDED(ambient->get_Weight(&weight))) font_->put_Weight(weight);
  if (SUCCEEDED(ambient->get_Charset(&charset))) font_->put_Charset(charset);
  BOOL flag = FALSE;
  if (SUCCEEDED(ambient->get_Italic(&flag))) font_->put_Italic(flag);
  if (SUCCEEDED(ambient->get_Underline(&flag))) font_->put_Underline(flag);
  if (SUCCEEDED(ambient->get_Strikethrough(&flag))) font_->put_Strikethrough(flag);
  mirroringAmbient_ = false;
}

void ButtonControl::TakeFont(IFont* font, bool own) {
  fontWatch_.Watch(font);
  if (font_) font_->Release();
  font_ = font;
  fontIsOwn_ = own && font;
}

// `Font.Bold = True`, or a property browser's edit: from now on the font is the button's own.
void ButtonControl::FontObjectChanged() {
  if (mirroringAmbient_) return;
  fontIsOwn_ = true;
  RefreshAll();
  PropertyChanged(fontId_);
}

// ---- Shared properties ----

HRESULT ButtonControl::GetColor(OLE_COLOR field, OLE_COLOR* value) {
  if (!value) return E_POINTER;
  *value = field;
  return S_OK;
}

HRESULT ButtonControl::GetBoolean(bool field, VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ButtonControl::GetWindowHandle(LONG* value) {
  if (!value) return E_POINTER;
  *value = static_cast<LONG>(reinterpret_cast<LONG_PTR>(surface_));  // window handles fit in 32 bits
  return S_OK;
}

HRESULT ButtonControl::PutBackColor(DISPID id, OLE_COLOR color) {
  SetBackColor(color);
  return PropertyChanged(id);
}

HRESULT ButtonControl::PutForeColor(DISPID id, OLE_COLOR color) {
  foreColor_ = color;
  RepaintFace();
  return PropertyChanged(id);
}

HRESULT ButtonControl::PutEnabled(DISPID id, VARIANT_BOOL enabled) {
  SetEnabled(enabled != VARIANT_FALSE);
  return PropertyChanged(id);
}

HRESULT ButtonControl::GetFont(IFontDisp** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  // Hand out a font object even while following the container's, so that changing it sticks.
  if (!font_) TakeFont(CreateAmbientLookalike(), false);
  if (!font_) return E_FAIL;
  return font_->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(result));
}

// A new font object that looks like the ambient font (new reference, or nullptr).
IFont* ButtonControl::CreateAmbientLookalike() const {
  IFont* font = nullptr;
  if (IFont* ambient = AmbientFont()) return SUCCEEDED(ambient->Clone(&font)) ? font : nullptr;
  LOGFONTA logFont{};
  GetObjectA(CaptionFont(), sizeof logFont, &logFont);
  std::wstring faceName = ToWide(std::string(logFont.lfFaceName));
  HDC screen = GetDC(nullptr);
  const LONG pointsTimes10000 =
      MulDiv(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight, 720000, GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  FONTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = faceName.data();
  description.cySize.int64 = pointsTimes10000;
  description.sWeight = static_cast<SHORT>(logFont.lfWeight);
  description.sCharset = logFont.lfCharSet;
  description.fItalic = logFont.lfItalic != 0;
  description.fUnderline = logFont.lfUnderline != 0;
  description.fStrikethrough = logFont.lfStrikeOut != 0;
  return SUCCEEDED(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(&font))) ? font : nullptr;
}

HRESULT ButtonControl::PutFont(DISPID id, IFontDisp* value) {
  IFont* font = nullptr;
  if (value && FAILED(value->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font)))) return DISP_E_TYPEMISMATCH;
  TakeFont(font, true);  // nullptr: back to the ambient font
  RefreshAll();
  return PropertyChanged(id);
}

HRESULT ButtonControl::GetCaption(BSTR* caption) {
  if (!caption) return E_POINTER;
  *caption = SysAllocStringLen(caption_.data(), static_cast<UINT>(caption_.size()));
  return *caption ? S_OK : E_OUTOFMEMORY;
}

HRESULT ButtonControl::PutCaption(DISPID id, BSTR caption) {
  SetCaption(std::wstring(caption ? caption : L"", SysStringLen(caption)));
  return PropertyChanged(id);
}

HRESULT ButtonControl::GetPicture(IPicture* picture, IPictureDisp** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return picture ? picture->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(value)) : S_OK;
}

HRESULT ButtonControl::PutPicture(DISPID id, IPictureDisp* value, IPicture** slot) {
  IPicture* picture = nullptr;
  if (value && FAILED(value->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture))))
    return DISP_E_TYPEMISMATCH;
  if (*slot) (*slot)->Release();
  *slot = picture;
  RefreshAll();
  return PropertyChanged(id);
}

HRESULT ButtonControl::PutMousePointer(DISPID id, LONG pointer) {
  mousePointer_ = pointer;
  POINT cursor;
  if (surface_ && GetCursorPos(&cursor)) {
    HWND under = WindowFromPoint(cursor);
    if (under == surface_ || under == face_) SetPointer();
  }
  return PropertyChanged(id);
}

void ButtonControl::SetBackColor(OLE_COLOR color) {
  backColor_ = color;
  // The new colour wipes the face; a rectangle the button shows is drawn again on it.
  faceInverted_ = focusShown_;
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

void ButtonControl::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  captionText_ = ToAnsi(caption_);
  if (surface_) SetWindowTextA(surface_, captionText_.c_str());
  RepaintFace();
}

void ButtonControl::ReadCommonFont(PropertyReader& reader) {
  IFont* own = nullptr;
  if (IFont* saved = reader.Object<IFont>(L"Font")) {
    if (FAILED(saved->Clone(&own))) own = nullptr;
    saved->Release();
  }
  TakeFont(own, true);  // none saved: the ambient font
}

void ButtonControl::WriteCommonFont(PropertyWriter& writer) {
  HFONT mine = fontIsOwn_ ? HandleOf(font_) : nullptr;
  if (!mine) return;  // still the ambient font: the default
  LOGFONTA ours{}, ambient{};
  GetObjectA(mine, sizeof ours, &ours);
  GetObjectA(AmbientHFont(), sizeof ambient, &ambient);
  const bool same = ours.lfHeight == ambient.lfHeight && ours.lfWeight == ambient.lfWeight &&
                    ours.lfItalic == ambient.lfItalic && ours.lfUnderline == ambient.lfUnderline &&
                    ours.lfStrikeOut == ambient.lfStrikeOut && lstrcmpiA(ours.lfFaceName, ambient.lfFaceName) == 0;
  if (!same) writer.Object(L"Font", font_);
}

// ---- Windows ----

void ButtonControl::RegisterClasses() {
  WNDCLASSEXA surface{};
  surface.cbSize = sizeof surface;
  if (GetClassInfoExA(ModuleInstance(), kSurfaceClass, &surface)) return;
  surface.lpfnWndProc = SurfaceProc;
  surface.hInstance = ModuleInstance();
  surface.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  surface.lpszClassName = kSurfaceClass;
  RegisterClassExA(&surface);
  WNDCLASSEXA face = surface;
  face.style = CS_DBLCLKS;
  face.lpfnWndProc = FaceProc;
  face.lpszClassName = kFaceClass;
  RegisterClassExA(&face);
}

HWND ButtonControl::CreateControlWindow(HWND parent, const RECT& place) {
  if (surface_) return surface_;
  RegisterClasses();
  // From WM_NCCREATE the window keeps the control alive; WM_NCDESTROY lets go,
  // also when creation fails half-way.
  HWND surface = CreateWindowExA(0, kSurfaceClass, captionText_.c_str(), WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP,
                                 place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                                 nullptr, ModuleInstance(), this);
  if (!surface) return nullptr;
  Layout();
  return surface;
}

LRESULT CALLBACK ButtonControl::SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control = static_cast<ButtonControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    control->surface_ = window;
    control->AddRef();
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  auto* control = reinterpret_cast<ButtonControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  return control->OnSurface(message, wParam, lParam);
}

LRESULT CALLBACK ButtonControl::FaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<ButtonControl*>(GetWindowLongPtrA(GetParent(window), GWLP_USERDATA));
  if (!control || control->face_ != window) return DefWindowProcA(window, message, wParam, lParam);
  return control->OnFace(message, wParam, lParam);
}

LRESULT ButtonControl::OnSurface(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = surface_;
  switch (message) {
    case WM_CREATE:
      face_ = CreateWindowExA(0, kFaceClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, ModuleInstance(),
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
    case WM_SETFOCUS:
      ActivateOnFocus();
      GotFocus();
      return 0;
    case WM_KILLFOCUS:
      LostFocus();
      FocusLeft();
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKey(wParam, message == WM_KEYDOWN); return 0;
    // A push button's answer: a dialog then sends the access letter as
    // BM_CLICK, and letters typed while the button has the focus stay the
    // dialog's, for the access letters of other controls.
    case WM_GETDLGCODE: return DLGC_BUTTON | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: isDefault_ = (wParam & 0x0F) == BS_DEFPUSHBUTTON; return 0;
    case BM_CLICK: ClickFromMnemonic(); return 0;
    case WM_SETCURSOR:
      if (SetPointer()) return TRUE;
      break;
    case WM_NCDESTROY: {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      surface_ = nullptr;
      face_ = nullptr;
      pressed_ = mouseHeld_ = spaceHeld_ = false;
      Release();
      return DefWindowProcA(window, message, wParam, lParam);
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ButtonControl::OnFace(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(face_, &paint);
      RECT face;
      GetClientRect(face_, &face);
      PaintFace(dc, face);
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
        if (pressed_) ShowReleased();
        cancelled_ = true;
      }
      return 0;
    case WM_SETCURSOR:
      if (SetPointer()) return TRUE;
      break;
  }
  return DefWindowProcA(face_, message, wParam, lParam);
}

// ---- Painting ----

void ButtonControl::PaintSurface(HDC dc, const RECT& client) {
  HBRUSH brush = CreateSolidBrush(ResolveColor(backColor_));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
}

void ButtonControl::PaintFace(HDC dc, const RECT& face) {
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

void ButtonControl::DrawContent(HDC dc, const RECT& bounds) {
  const SIZE inner{bounds.right - bounds.left, bounds.bottom - bounds.top};
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
  IntersectClipRect(dc, 0, 0, inner.cx, inner.cy);
  PaintSurface(dc, RECT{0, 0, inner.cx, inner.cy});
  const RECT face = FaceRect(inner);
  OffsetViewportOrgEx(dc, face.left, face.top, nullptr);
  IntersectClipRect(dc, 0, 0, face.right - face.left, face.bottom - face.top);
  PaintFace(dc, RECT{0, 0, face.right - face.left, face.bottom - face.top});
  RestoreDC(dc, saved);
}

HFONT ButtonControl::CaptionFont() const {
  if (HFONT own = fontIsOwn_ ? HandleOf(font_) : nullptr) return own;
  return AmbientHFont();
}

// The container's font, else a font of the control's own.
HFONT ButtonControl::AmbientHFont() const {
  if (HFONT ambient = HandleOf(AmbientFont())) return ambient;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ButtonControl::DrawCaption(HDC dc, const RECT& face, LONG offsetLeft, LONG offsetTop) {
  HGDIOBJ old = SelectObject(dc, CaptionFont());
  RECT text{0, 0, 0, 0};
  DrawTextA(dc, captionText_.c_str(), static_cast<int>(captionText_.size()), &text, DT_CALCRECT);
  const int left = PixelsX((TwipsX(face.right - face.left) - TwipsX(text.right)) / 2 + offsetLeft);
  const int top = PixelsY((TwipsY(face.bottom - face.top) - TwipsY(text.bottom)) / 2 + offsetTop);
  OffsetRect(&text, left, top);
  SetBkMode(dc, TRANSPARENT);
  if (enabled_) {
    SetTextColor(dc, ResolveColor(foreColor_));
    DrawTextA(dc, captionText_.c_str(), static_cast<int>(captionText_.size()), &text, DT_NOCLIP);
  } else {
    // A disabled label's etched grey text.
    RECT etched = text;
    OffsetRect(&etched, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextA(dc, captionText_.c_str(), static_cast<int>(captionText_.size()), &etched, DT_NOCLIP);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextA(dc, captionText_.c_str(), static_cast<int>(captionText_.size()), &text, DT_NOCLIP);
  }
  SelectObject(dc, old);
}

RECT ButtonControl::PictureRect(const RECT& face, LONG offsetTop) const {
  const SIZE picture = PictureSize(picture_);
  const int left = (face.right - face.left - picture.cx) / 2;
  const int top = (face.bottom - face.top - picture.cy) / 2 + PixelsY(offsetTop);
  return RECT{left, top, left + picture.cx, top + picture.cy};
}

void ButtonControl::DrawPicture(HDC dc, const RECT& face, LONG offsetTop) {
  if (!picture_) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  const RECT at = PictureRect(face, offsetTop);
  picture_->Render(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, 0, height, width, -height, nullptr);
}

// ---- Geometry and repainting ----

SIZE ButtonControl::InnerSize() const {
  RECT client{0, 0, 0, 0};
  if (surface_) GetClientRect(surface_, &client);
  return SIZE{client.right, client.bottom};
}

void ButtonControl::Layout() {
  if (!face_) return;
  const RECT face = FaceRect(InnerSize());
  MoveWindow(face_, face.left, face.top, face.right > face.left ? face.right - face.left : 0,
             face.bottom > face.top ? face.bottom - face.top : 0, TRUE);
  RepaintSurface();
}

bool ButtonControl::TabStop() const {
  // Containers keep TabStop on their extended control; the window style is
  // what a container without one can clear.
  if (const std::optional<bool> container = ContainerTabStop()) return *container;
  return surface_ && (GetWindowLongA(surface_, GWL_STYLE) & WS_TABSTOP) != 0;
}

void ButtonControl::InvertFocusRect() {
  faceInverted_ = !faceInverted_;
  RepaintFace();
}

void ButtonControl::RepaintFace() {
  if (face_) InvalidateRect(face_, nullptr, FALSE);
  ViewChanged();
}

void ButtonControl::RepaintSurface() {
  if (surface_) InvalidateRect(surface_, nullptr, FALSE);
  ViewChanged();
}

void ButtonControl::RefreshAll() {
  ViewChanged();
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
  if (LPCSTR cursor = SystemCursor(mousePointer_)) {
    SetCursor(LoadCursorA(nullptr, cursor));
    return true;
  }
  return false;
}

// ---- Input ----

bool ButtonControl::OutsideFace(POINT point) const {
  RECT face{0, 0, 0, 0};
  if (face_) GetClientRect(face_, &face);
  // A press that began on the picture has its right and bottom limits 23 twips inside the face.
  const LONG insetX = pressOnPicture_ ? PixelsX(23) : 0, insetY = pressOnPicture_ ? PixelsY(23) : 0;
  return point.x < 0 || point.y < 0 || point.x >= face.right - insetX || point.y >= face.bottom - insetY;
}

void ButtonControl::OnMouseDown(POINT point) {
  if (!enabled_ || !face_) return;  // a disabled button takes not even the focus
  if (surface_ && GetFocus() != surface_) SetFocus(surface_);
  SetCapture(face_);
  mouseHeld_ = true;
  // A new press starts afresh, also the second press of a double click.
  cancelled_ = false;
  RECT face;
  GetClientRect(face_, &face);
  const RECT picture = PictureRect(face, pictureOffsetTop_);
  pressOnPicture_ = picture_ && PtInRect(&picture, point);
  if (!pressed_) ShowPressed();
}

void ButtonControl::OnMouseMove(POINT point, WPARAM keys) {
  // No hover look: only a held left button matters.
  if (!enabled_ || !mouseHeld_ || !(keys & MK_LBUTTON)) return;
  if (OutsideFace(point)) {
    if (pressed_) ShowReleased();
    cancelled_ = true;
  }
}

void ButtonControl::OnMouseUp() {
  const bool held = mouseHeld_;
  mouseHeld_ = false;
  if (GetCapture() == face_) ReleaseCapture();
  if (!enabled_ || !held) return;
  if (pressed_) ShowReleased();
  if (!cancelled_) FireEvent(kZolEventClick);
}

void ButtonControl::OnKey(WPARAM key, bool down) {
  if (key != VK_SPACE || !enabled_) return;
  if (down) {
    if (pressed_) return;  // auto-repeat, or shown pressed already
    spaceHeld_ = true;
    ShowPressed();
  } else if (EndsSpacePress()) {
    spaceHeld_ = false;
    if (pressed_) ShowReleased();
    FireEvent(kZolEventClick);
  }
}

// Space up ends a press made by Space down or shown by BtnDown, not one the mouse still holds.
bool ButtonControl::EndsSpacePress() const { return spaceHeld_ || (pressed_ && !mouseHeld_); }

void ButtonControl::ClickFromMnemonic() {
  if (!enabled_) return;
  // As Space down and up: the press, then the release that clicks.
  if (!pressed_) ShowPressed();
  ShowReleased();
  FireEvent(kZolEventClick);
}

}  // namespace zolbtns
