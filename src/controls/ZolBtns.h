// ZolBtns (zolbtns.ocx): the raised zolButton and the flat FlatButton, two
// ActiveX controls with the programmatic identifiers "ZolBttn.zolButton"
// and "ZolBttn.FlatButton" (apartment-threaded, registered by regsvr32
// together with the type library "ZolBttn").
//
// Containers host them the usual way: create by programmatic identifier,
// IPersistStreamInit or IPersistPropertyBag to start new or load, a client
// site, DoVerb to activate in place (the control always has a window of its
// own, sized from the in-place rectangle), IConnectionPointContainer to
// receive Click and property change notifications. The dual interfaces
// IZolButton and IFlatButton, their member numbers and the event numbers
// come from the type library's IDL (zolbtns.idl). Colours are OLE_COLOR
// values: 0x00BBGGRR, or 0x800000nn for system colour nn (resolved each time
// the button is painted); late binding may pass them as Long.
// The container's TabStop for a control is the TabStop property of the
// extended control its site offers (IOleControlSite::GetExtendedControl);
// where there is none, the WS_TABSTOP style of the control's window, which
// the control sets and the container may clear. A caption's "&x" is the
// control's access letter (IOleControl::GetControlInfo, OnMnemonic).
#pragma once

#include "zolbtns_h.h"

#define ZOLBTNS_PROGID_ZOLBUTTON L"ZolBttn.zolButton"
#define ZOLBTNS_PROGID_FLATBUTTON L"ZolBttn.FlatButton"
// The same for the registry and window functions of Windows 95/98, which take ANSI text.
#define ZOLBTNS_PROGID_ZOLBUTTON_A "ZolBttn.zolButton"
#define ZOLBTNS_PROGID_FLATBUTTON_A "ZolBttn.FlatButton"
