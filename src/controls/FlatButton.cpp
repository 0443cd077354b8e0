#include "FlatButton.h"

namespace zolbtns {
namespace {

const Member kMembers[] = {
    {L"Refresh", kFlatButtonRefresh, MemberKind::kMethod},
    {L"BackColor", kFlatButtonBackColor, MemberKind::kProperty},
    {L"ForeColor", kFlatButtonForeColor, MemberKind::kProperty},
    {L"Enabled", kFlatButtonEnabled, MemberKind::kProperty},
    {L"Font", kFlatButtonFont, MemberKind::kProperty},
    {L"Caption", kFlatButtonCaption, MemberKind::kProperty},
    {L"Picture", kFlatButtonPicture, MemberKind::kProperty},
    {L"BtnDown", kFlatButtonBtnDown, MemberKind::kMethod},
    {L"BtnUp", kFlatButtonBtnUp, MemberKind::kMethod},
    {L"MouseIcon", kFlatButtonMouseIcon, MemberKind::kProperty},
    {L"FocusColor", kFlatButtonFocusColor, MemberKind::kProperty},
    {L"hWnd", kFlatButtonHWnd, MemberKind::kReadOnly},
    {L"Highlight", kFlatButtonHighlight, MemberKind::kProperty},
    {L"MousePointer", kFlatButtonMousePointer, MemberKind::kProperty},
    {L"ClickColor", kFlatButtonClickColor, MemberKind::kProperty},
    {L"DrawFocus", kFlatButtonDrawFocus, MemberKind::kMethod},
    {L"NoFocusRect", kFlatButtonNoFocusRect, MemberKind::kProperty},
    {L"UseClickFlash", kFlatButtonUseClickFlash, MemberKind::kProperty},
    {L"Value", kFlatButtonValue, MemberKind::kProperty},
};

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
  MoveToEx(dc, Pixels(x1), Pixels(y1), nullptr);
  LineTo(dc, Pixels(x2), Pixels(y2));
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

FlatButton::FlatButton() : ButtonControl(CLSID_FlatButton, kMembers, sizeof kMembers / sizeof kMembers[0]) {
  pictureOffsetTop_ = kPictureOffset;
  ResetToNewlyPlaced();
}

void FlatButton::ResetToNewlyPlaced() {
  ReleaseObjects();
  backColor_ = kDefaultBackColor;
  foreColor_ = kDefaultForeColor;
  enabled_ = true;
  caption_ = kNewCaption;
  focusColor_ = 0;
  highlight_ = kDefaultHighlight;
  mousePointer_ = 0;
  clickColor_ = 0;
  noFocusRect_ = false;
  useClickFlash_ = true;
  value_ = false;
  faceInverted_ = false;
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

HRESULT FlatButton::Get(DISPID id, VARIANT* result) {
  const HRESULT shared = GetShared(id, result);
  if (shared != DISP_E_MEMBERNOTFOUND) return shared;
  switch (id) {
    case kFlatButtonMouseIcon: return GetPicture(mouseIcon_, result);
    case kFlatButtonFocusColor: ReturnColor(focusColor_, result); return S_OK;
    case kFlatButtonHWnd:
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(surface_));
      return S_OK;
    case kFlatButtonHighlight: ReturnColor(highlight_, result); return S_OK;
    case kFlatButtonMousePointer:
      result->vt = VT_I4;
      result->lVal = mousePointer_;
      return S_OK;
    case kFlatButtonClickColor: ReturnColor(clickColor_, result); return S_OK;
    case kFlatButtonNoFocusRect: ReturnBoolean(noFocusRect_, result); return S_OK;
    case kFlatButtonUseClickFlash: ReturnBoolean(useClickFlash_, result); return S_OK;
    case kFlatButtonValue: ReturnBoolean(value_, result); return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT FlatButton::Put(DISPID id, const VARIANT& value) {
  OLE_COLOR color = 0;
  bool flag = false;
  LONG number = 0;
  std::wstring text;
  const HRESULT shared = PutShared(id, value);
  if (shared != DISP_E_MEMBERNOTFOUND) return shared;
  switch (id) {
    case kFlatButtonMouseIcon: return PutPicture(value, &mouseIcon_);
    case kFlatButtonHighlight:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      highlight_ = color;
      RepaintFace();
      return S_OK;
    case kFlatButtonMousePointer:
      if (FAILED(ToNumber(value, &number))) return DISP_E_TYPEMISMATCH;
      SetMousePointer(number);
      return S_OK;
    // These only store the value.
    case kFlatButtonFocusColor:
    case kFlatButtonClickColor:
      if (FAILED(ToColor(value, &color))) return DISP_E_TYPEMISMATCH;
      (id == kFlatButtonFocusColor ? focusColor_ : clickColor_) = color;
      return S_OK;
    case kFlatButtonNoFocusRect:
    case kFlatButtonUseClickFlash:
    case kFlatButtonValue:
      if (FAILED(ToBoolean(value, &flag))) return DISP_E_TYPEMISMATCH;
      (id == kFlatButtonNoFocusRect ? noFocusRect_ : id == kFlatButtonUseClickFlash ? useClickFlash_ : value_) = flag;
      return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT FlatButton::Call(DISPID id, DISPPARAMS* params, VARIANT*) {
  if (params && params->cArgs) return DISP_E_BADPARAMCOUNT;
  switch (id) {
    case kFlatButtonRefresh: RefreshAll(); return S_OK;
    case kFlatButtonBtnDown: BtnDown(); return S_OK;
    case kFlatButtonBtnUp: BtnUp(); return S_OK;
    case kFlatButtonDrawFocus: DrawFocus(); return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

void FlatButton::Layout() {
  SIZE inner = InnerSize();
  MoveFace(0, 0, inner.cx, inner.cy);
}

void FlatButton::PaintFaceParts(HDC dc, const RECT& face) {
  const LONG w = Twips(face.right), h = Twips(face.bottom);
  const COLORREF highlight = ResolveColor(highlight_);
  const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
  Line(dc, highlight, 0, 0, w - 20, 0);
  Line(dc, highlight, 0, 0, 0, h - 20);
  Line(dc, windowText, w - 10, 0, w - 10, h);
  Line(dc, windowText, 0, h - 10, w - 10, h - 10);
  DrawPicture(dc, kPictureOffset);
  DrawCaption(dc, 0, 0);
}

// Inverts the focus rectangle on the face when the button may show one.
bool FlatButton::DrawFocus() {
  if (!enabled_ || !TabStop()) return false;
  InvertFocusRect();
  return true;
}

// A new face colour wipes the inverted rectangle; draw it again where focus shows.
void FlatButton::RedrawFocusIfCleared() {
  if (!noFocusRect_ && focusShown_ && !faceInverted_) DrawFocus();
}

void FlatButton::BtnDown() {
  if (!noFocusRect_ && !focusShown_ && DrawFocus()) focusShown_ = true;
  if (useClickFlash_) {
    if (!flashing_) savedBackColor_ = backColor_;  // a second press keeps the first colour
    flashing_ = true;
    SetBackColor(clickColor_);
    RedrawFocusIfCleared();
  }
  RefreshAll();
  pressed_ = true;
}

void FlatButton::BtnUp() {
  if (flashing_) {
    SetBackColor(savedBackColor_);
    flashing_ = false;
  }
  RedrawFocusIfCleared();
  RefreshAll();
  pressed_ = false;
}

void FlatButton::GotFocus() {
  if (!noFocusRect_ && !focusShown_ && DrawFocus()) focusShown_ = true;
}

void FlatButton::LostFocus() {
  if (!noFocusRect_ && enabled_ && focusShown_) {
    InvertFocusRect();
    focusShown_ = false;
  }
}

}  // namespace zolbtns
