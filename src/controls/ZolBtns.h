// ZolBtns (zolbtns.ocx): the raised zolButton and the flat FlatButton, two
// in-process COM controls with the programmatic identifiers "ZolBttn.zolButton"
// and "ZolBttn.FlatButton" (apartment-threaded, registered by regsvr32).
//
// Hosting contract (what a container does with a control):
//  1. CoCreateInstance the class (by CLSID or CLSIDFromProgID) and ask for
//     IZolControl. Optionally IPersistPropertyBag::Load saved properties first
//     (InitNew, or creating without Load, gives a newly placed button).
//  2. IZolControl::CreateControlWindow puts the control's window on a parent
//     window at a rectangle in twips (15 twips per pixel at 96 DPI), with the
//     container's TabStop for it. The window holds its own reference to the
//     control and is destroyed with the parent; the container may release its
//     pointer at any time.
//  3. Click is sent to the parent as WM_COMMAND with MAKEWPARAM(id, BN_CLICKED)
//     and the control's window as lParam, and, when a sink is set with
//     SetEventSink, as IDispatch::Invoke(kZolEventClick) on that sink. No other
//     event is ever raised.
//  4. Properties and methods are reached late-bound by name through IDispatch
//     (GetIDsOfNames, Invoke); the DISPIDs below follow the member order.
//     Colours are OLE_COLOR values: 0x00BBGGRR, or 0x800000nn for system colour
//     nn (resolved with GetSysColor each time the button is painted).
//  5. IPersistPropertyBag::Save writes every property that differs from its
//     default under the member's name; Load reads them back in member order.
#pragma once

#include <ole2.h>
#include <windows.h>

#define ZOLBTNS_PROGID_ZOLBUTTON L"ZolBttn.zolButton"
#define ZOLBTNS_PROGID_FLATBUTTON L"ZolBttn.FlatButton"

// {E3139376-589D-4E31-BE23-FB100022CE5F}
static const CLSID CLSID_ZolButton = {0xe3139376, 0x589d, 0x4e31, {0xbe, 0x23, 0xfb, 0x10, 0x00, 0x22, 0xce, 0x5f}};
// {12B8F49B-AD62-44E0-AA52-4625A450FF61}
static const CLSID CLSID_FlatButton = {0x12b8f49b, 0xad62, 0x44e0, {0xaa, 0x52, 0x46, 0x25, 0xa4, 0x50, 0xff, 0x61}};
// {78A5B697-2C75-434B-9437-B97632F637D7}
static const IID IID_IZolControl = {0x78a5b697, 0x2c75, 0x434b, {0x94, 0x37, 0xb9, 0x76, 0x32, 0xf6, 0x37, 0xd7}};

// The hosting interface both controls implement.
struct IZolControl : public IUnknown {
  // Creates the control's window (a WS_CHILD of `parent` with control id `id`)
  // at left/top/width/height in twips; `tabStop` is the container's TabStop.
  // Fails with E_UNEXPECTED when the control already has a window.
  virtual HRESULT STDMETHODCALLTYPE CreateControlWindow(HWND parent, UINT id, LONG left, LONG top, LONG width,
                                                        LONG height, BOOL tabStop, HWND* window) = 0;
  // Receives Click as Invoke(kZolEventClick, DISPATCH_METHOD); nullptr removes it.
  virtual HRESULT STDMETHODCALLTYPE SetEventSink(IDispatch* sink) = 0;
};

// The outgoing events, in declaration order. Only Click is raised.
enum ZolEventId : DISPID {
  kZolEventClick = 1,
  kZolEventKeyDown,
  kZolEventKeyPress,
  kZolEventKeyUp,
  kZolEventMouseDown,
  kZolEventMouseMove,
  kZolEventMouseUp,
};

// zolButton members in interface order.
enum ZolButtonDispId : DISPID {
  kZolButtonRefresh = 1,
  kZolButtonBackColor,
  kZolButtonForeColor,
  kZolButtonEnabled,
  kZolButtonFont,
  kZolButtonCaption,
  kZolButtonPicture,
  kZolButtonUseShadow,
  kZolButtonBtnDown,
  kZolButtonBtnUp,
  kZolButtonShadowColor,
  kZolButtonMousePointer,
  kZolButtonMouseIcon,
  kZolButtonBorderColor,
  kZolButtonUseBorder,
  kZolButtonFocusColor,
  kZolButtonHWnd,
  kZolButtonFillerBackground,
  kZolButtonDisableButton,
  kZolButtonRGBToHex,
};

// FlatButton members in interface order.
enum FlatButtonDispId : DISPID {
  kFlatButtonRefresh = 1,
  kFlatButtonBackColor,
  kFlatButtonForeColor,
  kFlatButtonEnabled,
  kFlatButtonFont,
  kFlatButtonCaption,
  kFlatButtonPicture,
  kFlatButtonBtnDown,
  kFlatButtonBtnUp,
  kFlatButtonMouseIcon,
  kFlatButtonFocusColor,
  kFlatButtonHWnd,
  kFlatButtonHighlight,
  kFlatButtonMousePointer,
  kFlatButtonClickColor,
  kFlatButtonDrawFocus,
  kFlatButtonNoFocusRect,
  kFlatButtonUseClickFlash,
  kFlatButtonValue,
};
