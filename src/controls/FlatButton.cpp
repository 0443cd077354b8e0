#include "FlatButton.h"

namespace zolbtns {
namespace {

// Defaults, used both when loading and when deciding what to save, so that
// every saved button reads back exactly as it was.
constexpr OLE_COLOR kDefaultBackColor = 0x8000000D;
constexpr OLE_COLOR kDefaultForeColor = 0x80000012;
constexpr OLE_COLOR kDefaultFocusColor = 0x8000000F;
constexpr OLE_COLOR kDefaultHighlight = 0;
constexpr OLE_COLOR kDefaultClickColor = 0;
const wchar_t kDefaultCaption[] = L"zolButton";
const wchar_t kNewCaption[] = L"FlatBtn";
constexpr LONG kPictureOffset = -3;

void Line(HDC dc, COLORREF color, LONG x1, LONG y1, LONG x2, LONG y2) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, PixelsX(x1), PixelsY(y1), nullptr);
  LineTo(dc, PixelsX(x2), PixelsY(y2));
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

FlatButton::FlatButton() : ButtonControl(CLSID_FlatButton, IID_IFlatButton, DIID__FlatButtonEvents, kFlatButtonFont) {
  pictureOffsetTop_ = kPictureOffset;
  ResetToNewlyPlaced();
}

void FlatButton::ResetToNewlyPlaced() {
  ReleaseObjects();
  backColor_ = kDefaultBackColor;
  foreColor_ = kDefaultForeColor;
  enabled_ = true;
  focusColor_ = 0;
  highlight_ = kDefaultHighlight;
  mousePointer_ = 0;
  clickColor_ = 0;
  noFocusRect_ = false;
  useClickFlash_ = true;
  value_ = false;
  faceInverted_ = false;
  SetCaption(kNewCaption);
  Layout();
  RefreshAll();
}

void FlatButton::ReadProperties(PropertyReader& reader) {
  SetBackColor(reader.Color(L"BackColor", kDefaultBackColor));
  foreColor_ = reader.Color(L"ForeColor", kDefaultForeColor);
  SetEnabled(reader.Boolean(L"Enabled", true));
  ReadCommonFont(reader);
  SetCaption(reader.Text(L"Caption", kDefaultCaption));
  if (picture_) picture_->Release();
  picture_ = reader.Object<IPicture>(L"Picture");
  if (mouseIcon_) mouseIcon_->Release();
  mouseIcon_ = reader.Object<IPicture>(L"MouseIcon");
  focusColor_ = reader.Color(L"FocusColor", kDefaultFocusColor);
  highlight_ = reader.Color(L"Highlight", kDefaultHighlight);  // one value for the top and left lines
  mousePointer_ = reader.Number(L"MousePointer", 0);
  clickColor_ = reader.Color(L"ClickColor", kDefaultClickColor);
  noFocusRect_ = reader.Boolean(L"NoFocusRect", false);
  useClickFlash_ = reader.Boolean(L"UseClickFlash", true);
  Layout();
  RefreshAll();
  value_ = reader.Boolean(L"Value", false);
}

void FlatButton::WriteProperties(PropertyWriter& writer) {
  // While a click flash shows, the colour to keep is the one it will restore.
  writer.Color(L"BackColor", flashing_ ? savedBackColor_ : backColor_, kDefaultBackColor);
  writer.Color(L"ForeColor", foreColor_, kDefaultForeColor);
  writer.Boolean(L"Enabled", enabled_, true);
  WriteCommonFont(writer);
  writer.Text(L"Caption", caption_, kDefaultCaption);
  writer.Object(L"Picture", picture_);
  writer.Object(L"MouseIcon", mouseIcon_);
  writer.Color(L"FocusColor", focusColor_, kDefaultFocusColor);
  writer.Color(L"Highlight", highlight_, kDefaultHighlight);
  writer.Number(L"MousePointer", mousePointer_, 0);
  writer.Color(L"ClickColor", clickColor_, kDefaultClickColor);
  writer.Boolean(L"NoFocusRect", noFocusRect_, false);
  writer.Boolean(L"UseClickFlash", useClickFlash_, true);
  writer.Boolean(L"Value", value_, false);
}

// ---- Members ----

HRESULT FlatButton::Refresh() {
  RefreshAll();
  return S_OK;
}

HRESULT FlatButton::BtnDown() {
  ShowPressed();
  return S_OK;
}

HRESULT FlatButton::BtnUp() {
  ShowReleased();
  return S_OK;
}

// These only store the value.
HRESULT FlatButton::put_FocusColor(OLE_COLOR value) {
  focusColor_ = value;
  return PropertyChanged(kFlatButtonFocusColor);
}

HRESULT FlatButton::put_ClickColor(OLE_COLOR value) {
  clickColor_ = value;
  return PropertyChanged(kFlatButtonClickColor);
}

HRESULT FlatButton::put_NoFocusRect(VARIANT_BOOL value) {
  noFocusRect_ = value != VARIANT_FALSE;
  return PropertyChanged(kFlatButtonNoFocusRect);
}

HRESULT FlatButton::put_UseClickFlash(VARIANT_BOOL value) {
  useClickFlash_ = value != VARIANT_FALSE;
  return PropertyChanged(kFlatButtonUseClickFlash);
}

HRESULT FlatButton::put_Value(VARIANT_BOOL value) {
  value_ = value != VARIANT_FALSE;
  return PropertyChanged(kFlatButtonValue);
}

HRESULT FlatButton::put_Highlight(OLE_COLOR value) {
  highlight_ = value;
  RepaintFace();
  return PropertyChanged(kFlatButtonHighlight);
}

HRESULT FlatButton::get_MousePointer(LONG* value) {
  if (!value) return E_POINTER;
  *value = mousePointer_;
  return S_OK;
}

HRESULT FlatButton::DrawFocus() {
  ToggleFocusRect();
  return S_OK;
}

// ---- Looks ----

RECT FlatButton::FaceRect(SIZE inner) const { return RECT{0, 0, inner.cx, inner.cy}; }

void FlatButton::PaintFaceParts(HDC dc, const RECT& face) {
  const LONG w = TwipsX(face.right - face.left), h = TwipsY(face.bottom - face.top);
  const COLORREF highlight = ResolveColor(highlight_);
  const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
  Line(dc, highlight, 0, 0, w - 20, 0);
  Line(dc, highlight, 0, 0, 0, h - 20);
  Line(dc, windowText, w - 10, 0, w - 10, h);
  Line(dc, windowText, 0, h - 10, w - 10, h - 10);
  DrawPicture(dc, face, kPictureOffset);
  DrawCaption(dc, face, 0, 0);
}

// Inverts the focus rectangle on the face when the button may show one.
bool FlatButton::ToggleFocusRect() {
  if (!enabled_ || !TabStop()) return false;
  InvertFocusRect();
  return true;
}

// A new face colour wipes the inverted rectangle; draw it again where focus shows.
void FlatButton::RedrawFocusIfCleared() {
  if (!noFocusRect_ && focusShown_ && !faceInverted_) ToggleFocusRect();
}

void FlatButton::ShowPressed() {
  if (!noFocusRect_ && !focusShown_ && ToggleFocusRect()) focusShown_ = true;
  if (useClickFlash_) {
    if (!flashing_) savedBackColor_ = backColor_;  // a second press keeps the first colour
    flashing_ = true;
    SetBackColor(clickColor_);
    RedrawFocusIfCleared();
  }
  RefreshAll();
  pressed_ = true;
}

void FlatButton::ShowReleased() {
  if (flashing_) {
    SetBackColor(savedBackColor_);
    flashing_ = false;
  }
  RedrawFocusIfCleared();
  RefreshAll();
  pressed_ = false;
}

void FlatButton::GotFocus() {
  if (!noFocusRect_ && !focusShown_ && ToggleFocusRect()) focusShown_ = true;
}

void FlatButton::LostFocus() {
  if (!noFocusRect_ && enabled_ && focusShown_) {
    InvertFocusRect();
    focusShown_ = false;
  }
}

}  // namespace zolbtns
