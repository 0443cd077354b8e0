#include "zolButton.h"

#include <climits>

namespace zolbtns {
namespace {

const Member kMembers[] = {
    {L"Refresh", kZolButtonRefresh, MemberKind::kMethod},
    {L"BackColor", kZolButtonBackColor, MemberKind::kProperty},
    {L"ForeColor", kZolButtonForeColor, MemberKind::kProperty},
    {L"Enabled", kZolButtonEnabled, MemberKind::kProperty},
    {L"Font", kZolButtonFont, MemberKind::kProperty},
    {L"Caption", kZolButtonCaption, MemberKind::kProperty},
    {L"Picture", kZolButtonPicture, MemberKind::kProperty},
    {L"UseShadow", kZolButtonUseShadow, MemberKind::kProperty},
    {L"BtnDown", kZolButtonBtnDown, MemberKind::kMethod},
    {L"BtnUp", kZolButtonBtnUp, MemberKind::kMethod},
    {L"ShadowColor", kZolButtonShadowColor, MemberKind::kProperty},
    {L"MousePointer", kZolButtonMousePointer, MemberKind::kProperty},
    {L"MouseIcon", kZolButtonMouseIcon, MemberKind::kProperty},
    {L"BorderColor", kZolButtonBorderColor, MemberKind::kProperty},
    {L"UseBorder", kZolButtonUseBorder, MemberKind::kProperty},
    {L"FocusColor", kZolButtonFocusColor, MemberKind::kProperty},
    {L"hWnd", kZolButtonHWnd, MemberKind::kReadOnly},
    {L"FillerBackground", kZolButtonFillerBackground, MemberKind::kProperty},
    {L"DisableButton", kZolButtonDisableButton, MemberKind::kMethod},
    {L"RGBToHex", kZolButtonRGBToHex, MemberKind::kMethod},
};

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

ZolButton::ZolButton() : ButtonControl(CLSID_ZolButton, kMembers, sizeof kMembers / sizeof kMembers[0]) {
  pictureOffsetTop_ = kPictureOffset;
  ResetToNewlyPlaced();
}

void ZolButton::ResetToNewlyPlaced() {
  ReleaseObjects();
  backColor_ = kDefaultBackColor;
  foreColor_ = kDefaultForeColor;
  enabled_ = true;
  caption_ = kNewCaption;
  useShadow_ = true;
  shadowColor_ = kDefaultShadowColor;
  mousePointer_ = 0;
  borderColor_ = kDefaultBorderColor;
  useBorder_ = true;
  focusColor_ = 0;
  fillerBackground_ = kDefaultFillerBackground;
  faceInverted_ = false;
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

HRESULT ZolButton::Get(DISPID id, VARIANT* result) {
  const HRESULT shared = GetShared(id, result);
  if (shared != DISP_E_MEMBERNOTFOUND) return shared;
  switch (id) {
    case kZolButtonUseShadow: ReturnBoolean(useShadow_, result); return S_OK;
    case kZolButtonShadowColor: ReturnColor(shadowColor_, result); return S_OK;
    case kZolButtonMousePointer:
      result->vt = VT_I2;
      result->iVal = static_cast<SHORT>(mousePointer_);
      return S_OK;
    case kZolButtonMouseIcon: return GetPicture(mouseIcon_, result);
    case kZolButtonBorderColor: ReturnColor(borderColor_, result); return S_OK;
    case kZolButtonUseBorder: ReturnBoolean(useBorder_, result); return S_OK;
    case kZolButtonFocusColor: ReturnColor(focusColor_, result); return S_OK;
    case kZolButtonHWnd:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(surface_));
      return S_OK;
    case kZolButtonFillerBackground: ReturnColor(fillerBackground_, result); return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT ZolButton::Put(DISPID id, const VARIANT& value) {
  OLE_COLOR color = 0;
  bool flag = false;
  LONG number = 0;
  std::wstring text;
  const HRESULT shared = PutShared(id, value);
  if (shared != DISP_E_MEMBERNOTFOUND) return shared;
  switch (id) {
    case kZolButtonUseShadow:
      if (FAILED(ToBoolean(value, &flag))) return DISP_E_TYPEMISMATCH;
      useShadow_ = flag;
      RepaintSurface();
      return S_OK;
    case kZolButtonShadowColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      shadowColor_ = color;
      RepaintSurface();
      return S_OK;
    case kZolButtonMousePointer:
      if (FAILED(ToNumber(value, &number)) || number < SHRT_MIN || number > SHRT_MAX) return DISP_E_TYPEMISMATCH;
      SetMousePointer(number);
      return S_OK;
    case kZolButtonMouseIcon: return PutPicture(value, &mouseIcon_);
    case kZolButtonBorderColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      borderColor_ = color;
      RepaintFace();
      return S_OK;
    case kZolButtonUseBorder:
      if (FAILED(ToBoolean(value, &flag))) return DISP_E_TYPEMISMATCH;
      useBorder_ = flag;
      RepaintFace();
      return S_OK;
    case kZolButtonFocusColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      focusColor_ = color;
      return S_OK;
    case kZolButtonFillerBackground:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      fillerBackground_ = color;
      RepaintSurface();
      return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT ZolButton::Call(DISPID id, DISPPARAMS* params, VARIANT* result) {
  const UINT arguments = params ? params->cArgs : 0;
  if (id == kZolButtonRGBToHex) {
    // Takes a colour and answers an empty text, whatever the colour.
    if (arguments > 1) return DISP_E_BADPARAMCOUNT;
    ReturnText(L"", result);
    return S_OK;
  }
  if (arguments != 0) return DISP_E_BADPARAMCOUNT;
  switch (id) {
    case kZolButtonRefresh: RefreshAll(); return S_OK;
    case kZolButtonBtnDown: BtnDown(); return S_OK;
    case kZolButtonBtnUp: BtnUp(); return S_OK;
    case kZolButtonDisableButton: return S_OK;  // does nothing, by design
  }
  return DISP_E_MEMBERNOTFOUND;
}

void ZolButton::PlaceFace(LONG offset) {
  SIZE inner = InnerSize();
  MoveFace(offset, offset, inner.cx - kShadowOffset, inner.cy - kShadowOffset);
}

void ZolButton::Layout() { PlaceFace(pressed_ ? kPressOffset : 0); }

void ZolButton::RepaintSurface() {
  if (surface_) InvalidateRect(surface_, nullptr, FALSE);
}

void ZolButton::PaintSurface(HDC dc, const RECT& client) {
  Fill(dc, client, fillerBackground_);
  if (useShadow_) {
    // Only the strips right of and below the face show; the corners keep the filler.
    RECT shadow{Pixels(kShadowOffset), Pixels(kShadowOffset), client.right, client.bottom};
    Fill(dc, shadow, shadowColor_);
  }
}

void ZolButton::PaintFaceParts(HDC dc, const RECT& face) {
  DrawPicture(dc, kPictureOffset);
  if (useBorder_) {
    HPEN pen = CreatePen(PS_SOLID, 1, ResolveColor(borderColor_));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, face.left, face.top, face.right, face.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  DrawCaption(dc, kCaptionOffset, kCaptionOffset);
}

void ZolButton::BtnDown() {
  PlaceFace(kPressOffset);
  pressed_ = true;
}

void ZolButton::BtnUp() {
  PlaceFace(0);
  pressed_ = false;
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
