#include "AnsiText.h"

namespace zolbtns {

std::string ToAnsi(const wchar_t* text, size_t length) {
  if (length == 0) return {};
  const int count = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, count, ansi.data(), size, nullptr, nullptr);
  return ansi;
}

std::wstring ToWide(const char* text, size_t length) {
  if (length == 0) return {};
  const int count = static_cast<int>(length);
  const int size = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, count, wide.data(), size);
  return wide;
}

}  // namespace zolbtns
