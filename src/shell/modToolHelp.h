// Looking through the running processes.
#pragma once

#include <string>

namespace glimra {

// True when the lower-cased executable name of a running process contains
// `fragment` (lower case); False also when no snapshot can be taken.
bool ProcessRunning(const std::string& fragment);
// Ends the program with its message when Echorra 32 is running.
void CheckForEchorra();

}  // namespace glimra
