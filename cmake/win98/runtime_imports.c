/* The compiler's own run-time (libgcc's thread support, MinGW's C run-time
 * emulations) calls a few Unicode functions that Windows 95/98 export only as
 * stubs that fail. Every 32-bit binary links this file: its import slots of
 * those names point at ANSI equivalents here, so the binaries import no such
 * function and the run-time's calls work on every Windows. */
#include <windows.h>

/* A wide name as ANSI; false when it does not fit. */
static BOOL AnsiName(LPCWSTR wide, char* ansi, int size) {
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, size, NULL, NULL) != 0;
}

static HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
  char ansi[MAX_PATH];
  if (name && !AnsiName(name, ansi, sizeof ansi)) {
    SetLastError(ERROR_INVALID_NAME);
    return NULL;
  }
  return CreateSemaphoreA(security, initial, maximum, name ? ansi : NULL);
}

static HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name) {
  char ansi[MAX_PATH];
  if (!name) return GetModuleHandleA(NULL);
  return AnsiName(name, ansi, sizeof ansi) ? GetModuleHandleA(ansi) : NULL;
}

static HMODULE WINAPI LoadLibraryAnsi(LPCWSTR name) {
  char ansi[MAX_PATH];
  if (!AnsiName(name, ansi, sizeof ansi)) {
    SetLastError(ERROR_INVALID_NAME);
    return NULL;
  }
  return LoadLibraryA(ansi);
}

/* The import slots, under the names the run-time's calls go through. */
void* glimra_CreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16") = (void*)CreateSemaphoreAnsi;
void* glimra_GetModuleHandleW __asm__("__imp__GetModuleHandleW@4") = (void*)GetModuleHandleAnsi;
void* glimra_LoadLibraryW __asm__("__imp__LoadLibraryW@4") = (void*)LoadLibraryAnsi;
