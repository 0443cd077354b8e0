// The live upgrade notifier: the check window fetches the version document
// from the maker's web server, and UpgradeNotify compares it with the
// running version and shows the result in frmUpdate.
#pragma once

#include <cstdint>
#include <string>

namespace glimra {

// The raw text of the last fetch, also shown to the member.
std::string& PostedVersion();
// 1 when the posted revision is newer than the running one, else 0.
std::int16_t& UpgradeAvailable();

// Compares VersionText() with PostedVersion() and shows the outcome: the
// critical-error message for a document without ".", frmUpdate (modal)
// otherwise. Errors go to the handler ("modGlimra", "UpgradeNotify").
void UpgradeNotify();

// Loads the check window, whose loading runs the whole check, and unloads
// it; while a check runs, another call only brings its window to the top.
void RunUpgradeCheck();

}  // namespace glimra
