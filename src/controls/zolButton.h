// zolButton: a raised button with a drop shadow that sinks when pressed.
#pragma once

#include "ButtonControl.h"

namespace zolbtns {

class ZolButton final : public ButtonControl, public IZolButton {
 public:
  ZolButton();

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

  // IZolButton, in member order.
  HRESULT STDMETHODCALLTYPE Refresh() override;
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override { return GetColor(backColor_, value); }
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override { return PutBackColor(kZolButtonBackColor, value); }
  HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override { return GetColor(foreColor_, value); }
  HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override { return PutForeColor(kZolButtonForeColor, value); }
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override { return GetBoolean(enabled_, value); }
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override { return PutEnabled(kZolButtonEnabled, value); }
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override { return GetFont(value); }
  HRESULT STDMETHODCALLTYPE put_Font(IFontDisp* value) override { return PutFont(kZolButtonFont, value); }
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override { return PutFont(kZolButtonFont, value); }
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override { return GetCaption(value); }
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override { return PutCaption(kZolButtonCaption, value); }
  HRESULT STDMETHODCALLTYPE get_Picture(IPictureDisp** value) override { return GetPicture(picture_, value); }
  HRESULT STDMETHODCALLTYPE put_Picture(IPictureDisp* value) override {
    return PutPicture(kZolButtonPicture, value, &picture_);
  }
  HRESULT STDMETHODCALLTYPE putref_Picture(IPictureDisp* value) override { return put_Picture(value); }
  HRESULT STDMETHODCALLTYPE get_UseShadow(VARIANT_BOOL* value) override { return GetBoolean(useShadow_, value); }
  HRESULT STDMETHODCALLTYPE put_UseShadow(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE BtnDown() override;
  HRESULT STDMETHODCALLTYPE BtnUp() override;
  HRESULT STDMETHODCALLTYPE get_ShadowColor(OLE_COLOR* value) override { return GetColor(shadowColor_, value); }
  HRESULT STDMETHODCALLTYPE put_ShadowColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_MousePointer(short* value) override;
  HRESULT STDMETHODCALLTYPE put_MousePointer(short value) override {
    return PutMousePointer(kZolButtonMousePointer, value);
  }
  HRESULT STDMETHODCALLTYPE get_MouseIcon(IPictureDisp** value) override { return GetPicture(mouseIcon_, value); }
  HRESULT STDMETHODCALLTYPE put_MouseIcon(IPictureDisp* value) override {
    return PutPicture(kZolButtonMouseIcon, value, &mouseIcon_);
  }
  HRESULT STDMETHODCALLTYPE putref_MouseIcon(IPictureDisp* value) override { return put_MouseIcon(value); }
  HRESULT STDMETHODCALLTYPE get_BorderColor(OLE_COLOR* value) override { return GetColor(borderColor_, value); }
  HRESULT STDMETHODCALLTYPE put_BorderColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_UseBorder(VARIANT_BOOL* value) override { return GetBoolean(useBorder_, value); }
  HRESULT STDMETHODCALLTYPE put_UseBorder(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_FocusColor(OLE_COLOR* value) override { return GetColor(focusColor_, value); }
  HRESULT STDMETHODCALLTYPE put_FocusColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_hWnd(LONG* value) override { return GetWindowHandle(value); }
  HRESULT STDMETHODCALLTYPE get_FillerBackground(OLE_COLOR* value) override {
    return GetColor(fillerBackground_, value);
  }
  HRESULT STDMETHODCALLTYPE put_FillerBackground(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE DisableButton() override { return S_OK; }  // does nothing, by design
  HRESULT STDMETHODCALLTYPE RGBToHex(OLE_COLOR* color, BSTR* text) override;

 protected:
  IDispatch* Dual() override { return static_cast<IZolButton*>(this); }
  void ResetToNewlyPlaced() override;
  void ReadProperties(PropertyReader& reader) override;
  void WriteProperties(PropertyWriter& writer) override;
  RECT FaceRect(SIZE inner) const override;
  void PaintSurface(HDC dc, const RECT& client) override;
  void PaintFaceParts(HDC dc, const RECT& face) override;
  void ShowPressed() override;
  void ShowReleased() override;
  void GotFocus() override;
  void LostFocus() override;

 private:
  bool useShadow_ = true;
  OLE_COLOR shadowColor_ = 0;
  OLE_COLOR borderColor_ = 0;
  bool useBorder_ = true;
  OLE_COLOR fillerBackground_ = 0;
};

}  // namespace zolbtns
