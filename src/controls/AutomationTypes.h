// What the generated library header expects from AutomationTypes.idl: the
// Windows headers' own declarations.
#pragma once

#include <windows.h>
// After windows.h: the COM headers that WIN32_LEAN_AND_MEAN leaves out.
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
