#include "zolButton.h"

namespace zolbtns {
namespace {

// Defaults, used both when loading and when deciding what to save, so that
// every saved button reads back exactly as it was.
constexpr OLE_COLOR kDefaultBackColor = 0x8000000D;
constexpr OLE_COLOR kDefaultForeColor = 0x80000012;
constexpr OLE_COLOR kDefaultShadowColor = 0x80000010;
constexpr OLE_COLOR kDefaultBorderColor = 0;
constexpr OLE_COLOR kDefaultFocusColor = 0x8000000F;
constexpr OLE_COLOR kDefaultFillerBackground = 0;
const wchar_t kDefaultCaption[] = L"zolButton";
const wchar_t kNewCaption[] = L"ZolBtns";

// The shadow's offset from the face, and how far a press moves the face: two
// twips further, so the sunken face covers the shadow.
constexpr LONG kShadowOffset = 23;
constexpr LONG kPressOffset = 25;
constexpr LONG kCaptionOffset = -10;
constexpr LONG kPictureOffset = -3;

void Fill(HDC dc, const RECT& rect, OLE_COLOR color) {
  HBRUSH brush = CreateSolidBrush(ResolveColor(color));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

ZolButton::ZolButton() : ButtonControl(CLSID_zolButton, IID_IZolButton, DIID__zolButtonEvents, kZolButtonFont) {
  pictureOffsetTop_ = kPictureOffset;
  ResetToNewlyPlaced();
}

void ZolButton::ResetToNewlyPlaced() {
  ReleaseObjects();
  backColor_ = kDefaultBackColor;
  foreColor_ = kDefaultForeColor;
  enabled_ = true;
  useShadow_ = true;
  shadowColor_ = kDefaultShadowColor;
  mousePointer_ = 0;
  borderColor_ = kDefaultBorderColor;
  useBorder_ = true;
  focusColor_ = 0;
  fillerBackground_ = kDefaultFillerBackground;
  faceInverted_ = false;
  SetCaption(kNewCaption);
  Layout();
  RefreshAll();
}

void ZolButton::ReadProperties(PropertyReader& reader) {
  SetBackColor(reader.Color(L"BackColor", kDefaultBackColor));
  foreColor_ = reader.Color(L"ForeColor", kDefaultForeColor);
  SetEnabled(reader.Boolean(L"Enabled", true));
  ReadCommonFont(reader);
  SetCaption(reader.Text(L"Caption", kDefaultCaption));
  if (picture_) picture_->Release();
  picture_ = reader.Object<IPicture>(L"Picture");
  useShadow_ = reader.Boolean(L"UseShadow", true);
  shadowColor_ = reader.Color(L"ShadowColor", kDefaultShadowColor);
  mousePointer_ = reader.Number(L"MousePointer", 0);
  if (mouseIcon_) mouseIcon_->Release();
  mouseIcon_ = reader.Object<IPicture>(L"MouseIcon");
  borderColor_ = reader.Color(L"BorderColor", kDefaultBorderColor);
  useBorder_ = reader.Boolean(L"UseBorder", true);
  focusColor_ = reader.Color(L"FocusColor", kDefaultFocusColor);
  fillerBackground_ = reader.Color(L"FillerBackground", kDefaultFillerBackground);
  Layout();
  RefreshAll();
}

void ZolButton::WriteProperties(PropertyWriter& writer) {
  writer.Color(L"BackColor", backColor_, kDefaultBackColor);
  writer.Color(L"ForeColor", foreColor_, kDefaultForeColor);
  writer.Boolean(L"Enabled", enabled_, true);
  WriteCommonFont(writer);
  writer.Text(L"Caption", caption_, kDefaultCaption);
  writer.Object(L"Picture", picture_);
  writer.Boolean(L"UseShadow", useShadow_, true);
  writer.Color(L"ShadowColor", shadowColor_, kDefaultShadowColor);
  writer.Number(L"MousePointer", mousePointer_, 0);
  writer.Object(L"MouseIcon", mouseIcon_);
  writer.Color(L"BorderColor", borderColor_, kDefaultBorderColor);
  writer.Boolean(L"UseBorder", useBorder_, true);
  writer.Color(L"FocusColor", focusColor_, kDefaultFocusColor);
  writer.Color(L"FillerBackground", fillerBackground_, kDefaultFillerBackground);
}

// ---- Members ----

HRESULT ZolButton::Refresh() {
  RefreshAll();
  return S_OK;
}

HRESULT ZolButton::put_UseShadow(VARIANT_BOOL value) {
  useShadow_ = value != VARIANT_FALSE;
  RepaintSurface();
  return PropertyChanged(kZolButtonUseShadow);
}

HRESULT ZolButton::BtnDown() {
  ShowPressed();
  return S_OK;
}

HRESULT ZolButton::BtnUp() {
  ShowReleased();
  return S_OK;
}

HRESULT ZolButton::put_ShadowColor(OLE_COLOR value) {
  shadowColor_ = value;
  RepaintSurface();
  return PropertyChanged(kZolButtonShadowColor);
}

HRESULT ZolButton::get_MousePointer(short* value) {
  if (!value) return E_POINTER;
  *value = static_cast<short>(mousePointer_);
  return S_OK;
}

HRESULT ZolButton::put_BorderColor(OLE_COLOR value) {
  borderColor_ = value;
  RepaintFace();
  return PropertyChanged(kZolButtonBorderColor);
}

HRESULT ZolButton::put_UseBorder(VARIANT_BOOL value) {
  useBorder_ = value != VARIANT_FALSE;
  RepaintFace();
  return PropertyChanged(kZolButtonUseBorder);
}

HRESULT ZolButton::put_FocusColor(OLE_COLOR value) {
  focusColor_ = value;
  return PropertyChanged(kZolButtonFocusColor);
}

HRESULT ZolButton::put_FillerBackground(OLE_COLOR value) {
  fillerBackground_ = value;
  RepaintSurface();
  return PropertyChanged(kZolButtonFillerBackground);
}

// Takes a colour and answers an empty text, whatever the colour.
HRESULT ZolButton::RGBToHex(OLE_COLOR*, BSTR* text) {
  if (!text) return E_POINTER;
  *text = SysAllocString(L"");
  return S_OK;
}

// ---- Looks ----

RECT ZolButton::FaceRect(SIZE inner) const {
  const int left = pressed_ ? PixelsX(kPressOffset) : 0, top = pressed_ ? PixelsY(kPressOffset) : 0;
  return RECT{left, top, left + inner.cx - PixelsX(kShadowOffset), top + inner.cy - PixelsY(kShadowOffset)};
}

void ZolButton::PaintSurface(HDC dc, const RECT& client) {
  Fill(dc, client, fillerBackground_);
  if (useShadow_) {
    // Only the strips right of and below the face show; the corners keep the filler.
    RECT shadow{PixelsX(kShadowOffset), PixelsY(kShadowOffset), client.right, client.bottom};
    Fill(dc, shadow, shadowColor_);
  }
}

void ZolButton::PaintFaceParts(HDC dc, const RECT& face) {
  DrawPicture(dc, face, kPictureOffset);
  if (useBorder_) {
    HPEN pen = CreatePen(PS_SOLID, 1, ResolveColor(borderColor_));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, face.left, face.top, face.right, face.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  DrawCaption(dc, face, kCaptionOffset, kCaptionOffset);
}

void ZolButton::ShowPressed() {
  pressed_ = true;
  Layout();
}

void ZolButton::ShowReleased() {
  pressed_ = false;
  Layout();
}

void ZolButton::GotFocus() {
  if (enabled_ && TabStop() && !focusShown_) {
    InvertFocusRect();
    focusShown_ = true;
  }
}

void ZolButton::LostFocus() {
  if (enabled_ && focusShown_) {
    InvertFocusRect();
    focusShown_ = false;
  }
}

}  // namespace zolbtns
