// dwspy36.dll: reads a module path out of another process and copies raw
// memory. Exported C functions (LoadLibrary + GetProcAddress):
//   dwXGetModuleFileName(processId, moduleName, buffer, bufferSize)
//       the full path of the module whose file name is `moduleName` (any
//       case, e.g. "WAOL.EXE") as loaded in process `processId`; returns the
//       path's length (a result >= bufferSize means the buffer was too small
//       and holds a cut path), 0 when the process or module is not found.
//   dwCopyData(source, destination, byteCount)
//       copies the bytes (the ranges may overlap); FALSE for a null address.
//   dwGetStringFromLPSTR(address, buffer, bufferSize)
//       copies the NUL-ended ANSI string at `address` (cut to bufferSize - 1)
//       and returns its full length; 0 for a null address.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

__declspec(dllexport) DWORD WINAPI
    dwXGetModuleFileName(DWORD processId, LPCSTR moduleName, LPSTR buffer, DWORD bufferSize);
__declspec(dllexport) BOOL WINAPI dwCopyData(const void* source, void* destination, DWORD byteCount);
__declspec(dllexport) DWORD WINAPI dwGetStringFromLPSTR(LPCSTR address, LPSTR buffer, DWORD bufferSize);

#ifdef __cplusplus
}
#endif
