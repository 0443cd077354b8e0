#include "aol/modFindChild.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "aol/LikePattern.h"
#include "runtime/ErrorReporting.h"

namespace glimra {

namespace {

constexpr char kModule[] = "modFindChild";
constexpr int kNameBuffer = 100;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string TrimBlanks(const char* text, int length) {
  std::string result(text, static_cast<std::size_t>(std::max(length, 0)));
  const auto first = result.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return result.substr(first, result.find_last_not_of(' ') - first + 1);
}

HWND FindNthChild(const char* procedure, HWND parent, int index, const std::function<bool(HWND)>& matches) {
  HWND found = nullptr;
  RunProcedure({kModule, procedure}, [&] {
    if (index < 1) return;
    int count = 0;
    HWND child = GetWindow(parent, GW_CHILD);
    while (child && count < index) {
      if (matches(child)) ++count;
      if (count < index) child = GetWindow(child, GW_HWNDNEXT);
    }
    found = count == index ? child : nullptr;
  });
  return found;
}

}  // namespace

std::string GetClass(HWND window) {
  char buffer[kNameBuffer] = {};
  return TrimBlanks(buffer, GetClassNameA(window, buffer, kNameBuffer));
}

std::string GetText(HWND window) {
  char buffer[kNameBuffer] = {};
  return TrimBlanks(buffer, GetWindowTextA(window, buffer, kNameBuffer));
}

HWND FindChildByClass(HWND parent, const std::string& className, int index) {
  const std::string wanted = Lower(className);
  return FindNthChild("FindChildByClass", parent, index, [&](HWND child) { return Lower(GetClass(child)) == wanted; });
}

HWND FindChildByTitle(HWND parent, const std::string& pattern, int index) {
  const std::string wanted = Lower(pattern) + "*";
  return FindNthChild("FindChildByTitle", parent, index,
                      [&](HWND child) { return MatchesLike(Lower(GetText(child)), wanted); });
}

}  // namespace glimra
