// What the stand-in client is told to be: version, edition, sign-on state,
// screen names and start-up behaviour. Read from waol.ini beside the program
// ([Client] section), each key overridable on the command line as /Key=Value.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace waol {

enum class Edition { US, UK, Canada, Australia };

struct ClientConfig {
  std::string folder;  // the program's folder, no trailing backslash
  int version = 4;
  int minor = 0;
  Edition edition = Edition::US;
  bool signedOn = true;
  std::vector<std::string> screenNames{"Tester"};  // as listed on the sign-on window
  int current = 0;                                 // index into screenNames
  std::string moduleName;                          // run under this file name (the 16-bit case)
  int menuDelayMs = 0;                             // pause before each menu bar pop-up is added
  int menuCount = 5;                               // top-level pop-ups, 5 to 8
  int mailDelayMs = 0;                             // pause before the Write icon's mail window appears
  std::vector<std::string> chatRooms;              // rooms open at start, the last one in front
  bool goodbye = false;                            // signed off: the sign-off window, not Sign On
  int onlineAnswer = 0;                            // what AOLIsOnline answers while signed on (never 1)
  std::string logPath;
  std::string keyword;  // -s<word> on the command line
  std::map<std::string, std::string> overrides;

  std::string CurrentName() const;
};

// Reads the folder's waol.ini and then the command line.
ClientConfig LoadConfig(const std::string& commandLine);

std::string ProgramFolder();
std::string Lower(std::string text);
std::string Trim(const std::string& text);
std::vector<std::string> Split(const std::string& text, char separator);
const char* EditionName(Edition edition);

}  // namespace waol
