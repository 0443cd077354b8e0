#include "EventLog.h"

#include <cstdio>

namespace waol {

namespace {
std::string& LogPath() {
  static std::string path;
  return path;
}
}  // namespace

void SetEventLogPath(const std::string& path) { LogPath() = path; }

std::string EscapeField(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

// Opened and closed for every line, so readers always see whole lines.
void LogEvent(std::initializer_list<std::string> fields) {
  if (LogPath().empty()) return;
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += EscapeField(field);
  }
  line += '\n';
  if (FILE* file = std::fopen(LogPath().c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
  }
}

}  // namespace waol
