// zolbar.ocx: the ZolBar progress bar, a child window with a caption and a
// value 0 to 100, the caption centred over the bar.
//   ZolBarCreate(parent, x, y, width, height, id)  the control's window, or NULL
// Properties are window messages:
//   caption        WM_SETTEXT / WM_GETTEXT
//   value          ZBM_SETVALUE (wParam 0..100, others are clamped) / ZBM_GETVALUE
//   colours        ZBM_SETCOLOR (wParam a ZB_ part, lParam a COLORREF, or
//                  0x800000nn for system colour nn) / ZBM_GETCOLOR (wParam a part)
// The control paints itself for WM_PAINT and into a given DC for WM_PRINTCLIENT.
// A mouse button pressed on it reaches the parent as WM_PARENTNOTIFY.
#pragma once

#include <windows.h>

#define ZBM_SETVALUE (WM_USER + 100)
#define ZBM_GETVALUE (WM_USER + 101)
#define ZBM_SETCOLOR (WM_USER + 102)
#define ZBM_GETCOLOR (WM_USER + 103)

#define ZB_BACKCOLOR 0     // the empty part of the bar
#define ZB_BARCOLOR 1      // the filled part
#define ZB_FORECOLOR 2     // the caption over the empty part
#define ZB_BARTEXTCOLOR 3  // the caption over the filled part

#ifdef __cplusplus
extern "C" {
#endif

__declspec(dllexport) HWND WINAPI ZolBarCreate(HWND parent, int x, int y, int width, int height, UINT id);

#ifdef __cplusplus
}
#endif
