// FlatButton: a flat button with a highlight frame that flashes ClickColor
// while pressed, and carries a Value flag for its container.
#pragma once

#include "ButtonControl.h"

namespace zolbtns {

class FlatButton final : public ButtonControl, public IFlatButton {
 public:
  FlatButton();

  // IUnknown and IDispatch, shared with the control's other interfaces.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return OleControl::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return OleControl::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return OleControl::Release(); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return TypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override { return TypeInfo(index, info); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return IdsOfNames(names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override {
    return InvokeMember(iid, id, flags, params, result, exception, argError);
  }

  // IFlatButton, in member order.
  HRESULT STDMETHODCALLTYPE Refresh() override;
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override { return GetColor(backColor_, value); }
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override {
    return PutBackColor(kFlatButtonBackColor, value);
  }
  HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override { return GetColor(foreColor_, value); }
  HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override {
    return PutForeColor(kFlatButtonForeColor, value);
  }
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override { return GetBoolean(enabled_, value); }
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override { return PutEnabled(kFlatButtonEnabled, value); }
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override { return GetFont(value); }
  HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* value) override { return PutFont(kFlatButtonFont, value); }
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override { return PutFont(kFlatButtonFont, value); }
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override { return GetCaption(value); }
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override { return PutCaption(kFlatButtonCaption, value); }
  HRESULT STDMETHODCALLTYPE get_Picture(IPictureDisp** value) override { return GetPicture(picture_, value); }
  HRESULT STDMETHODCALLTYPE put_Picture(IPictureDisp* value) override {
    return PutPicture(kFlatButtonPicture, value, &picture_);
  }
  HRESULT STDMETHODCALLTYPE putref_Picture(IPictureDisp* value) override { return put_Picture(value); }
  HRESULT STDMETHODCALLTYPE BtnDown() override;
  HRESULT STDMETHODCALLTYPE BtnUp() override;
  HRESULT STDMETHODCALLTYPE get_MouseIcon(IPictureDisp** value) override { return GetPicture(mouseIcon_, value); }
  HRESULT STDMETHODCALLTYPE put_MouseIcon(IPictureDisp* value) override {
    return PutPicture(kFlatButtonMouseIcon, value, &mouseIcon_);
  }
  HRESULT STDMETHODCALLTYPE putref_MouseIcon(IPictureDisp* value) override { return put_MouseIcon(value); }
  HRESULT STDMETHODCALLTYPE get_FocusColor(OLE_COLOR* value) override { return GetColor(focusColor_, value); }
  HRESULT STDMETHODCALLTYPE put_FocusColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_hWnd(LONG* value) override { return GetWindowHandle(value); }
  HRESULT STDMETHODCALLTYPE get_Highlight(OLE_COLOR* value) override { return GetColor(highlight_, value); }
  HRESULT STDMETHODCALLTYPE put_Highlight(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_MousePointer(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_MousePointer(LONG value) override {
    return PutMousePointer(kFlatButtonMousePointer, value);
  }
  HRESULT STDMETHODCALLTYPE get_ClickColor(OLE_COLOR* value) override { return GetColor(clickColor_, value); }
  HRESULT STDMETHODCALLTYPE put_ClickColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE DrawFocus() override;
  HRESULT STDMETHODCALLTYPE get_NoFocusRect(VARIANT_BOOL* value) override { return GetBoolean(noFocusRect_, value); }
  HRESULT STDMETHODCALLTYPE put_NoFocusRect(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_UseClickFlash(VARIANT_BOOL* value) override {
    return GetBoolean(useClickFlash_, value);
  }
  HRESULT STDMETHODCALLTYPE put_UseClickFlash(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Value(VARIANT_BOOL* value) override { return GetBoolean(value_, value); }
  HRESULT STDMETHODCALLTYPE put_Value(VARIANT_BOOL value) override;

 protected:
  IDispatch* Dual() override { return static_cast<IFlatButton*>(this); }
  void ResetToNewlyPlaced() override;
  void ReadProperties(PropertyReader& reader) override;
  void WriteProperties(PropertyWriter& writer) override;
  RECT FaceRect(SIZE inner) const override;
  void PaintFaceParts(HDC dc, const RECT& face) override;
  void ShowPressed() override;
  void ShowReleased() override;
  void GotFocus() override;
  void LostFocus() override;

 private:
  bool ToggleFocusRect();
  void RedrawFocusIfCleared();

  OLE_COLOR highlight_ = 0;
  OLE_COLOR clickColor_ = 0;
  bool noFocusRect_ = false;
  bool useClickFlash_ = true;
  bool value_ = false;
  bool flashing_ = false;  // the face shows ClickColor; savedBackColor_ is the colour to restore
  OLE_COLOR savedBackColor_ = 0;
};

}  // namespace zolbtns
