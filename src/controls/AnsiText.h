// Text between OLE, which is Unicode on every Windows, and the window,
// registry and GDI functions, which the library calls in their ANSI forms
// because Windows 95/98 only stub the Unicode ones. Text crosses here once,
// in the system's ANSI code page; what that code page lacks shows as its
// default character.
#pragma once

#include <windows.h>

#include <string>

namespace zolbtns {

std::string ToAnsi(const wchar_t* text, size_t length);
std::wstring ToWide(const char* text, size_t length);

inline std::string ToAnsi(const std::wstring& text) { return ToAnsi(text.data(), text.size()); }
inline std::wstring ToWide(const std::string& text) { return ToWide(text.data(), text.size()); }

}  // namespace zolbtns
