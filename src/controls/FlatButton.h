// FlatButton: a flat button with a highlight frame that flashes ClickColor
// while pressed, and carries a Value flag for its container.
#pragma once

#include "ButtonControl.h"

namespace zolbtns {

class FlatButton : public ButtonControl {
 public:
  FlatButton();

 protected:
  HRESULT Get(DISPID id, VARIANT* result) override;
  HRESULT Put(DISPID id, const VARIANT& value) override;
  HRESULT Call(DISPID id, DISPPARAMS* params, VARIANT* result) override;
  void ResetToNewlyPlaced() override;
  void ReadProperties(PropertyReader& reader) override;
  void WriteProperties(PropertyWriter& writer) override;
  void Layout() override;
  void PaintFaceParts(HDC dc, const RECT& face) override;
  void BtnDown() override;
  void BtnUp() override;
  void GotFocus() override;
  void LostFocus() override;

 private:
  bool DrawFocus();
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
