// zolButton: a raised button with a drop shadow that sinks when pressed.
#pragma once

#include "ButtonControl.h"

namespace zolbtns {

class ZolButton : public ButtonControl {
 public:
  ZolButton();

 protected:
  HRESULT Get(DISPID id, VARIANT* result) override;
  HRESULT Put(DISPID id, const VARIANT& value) override;
  HRESULT Call(DISPID id, DISPPARAMS* params, VARIANT* result) override;
  void ResetToNewlyPlaced() override;
  void ReadProperties(PropertyReader& reader) override;
  void WriteProperties(PropertyWriter& writer) override;
  void Layout() override;
  void PaintSurface(HDC dc, const RECT& client) override;
  void PaintFaceParts(HDC dc, const RECT& face) override;
  void BtnDown() override;
  void BtnUp() override;
  void GotFocus() override;
  void LostFocus() override;

 private:
  void PlaceFace(LONG offset);
  void RepaintSurface();

  bool useShadow_ = true;
  OLE_COLOR shadowColor_ = 0;
  OLE_COLOR borderColor_ = 0;
  bool useBorder_ = true;
  OLE_COLOR fillerBackground_ = 0;
};

}  // namespace zolbtns
