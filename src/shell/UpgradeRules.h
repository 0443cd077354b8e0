// The rules of the live upgrade notifier that need no window: how the
// running version compares with the posted one, the texts the member is
// shown, and the WinINet error texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/MakerSite.h"

namespace glimra {

enum class UpgradeOutcome { PostedNewer, UpToDate, RunningNewer };

// Compares two major.minor.revision texts part by part as 16-bit integers
// (1.10.0 is newer than 1.9.5). The revision is everything after the second
// "."; white space around a part, line breaks included, is allowed, and so
// is a UTF-8 byte-order mark before the posted text. Nothing when `posted`
// is no version: no "." at all, a single ".", a part that is no number or
// out of range. A running version like that raises the run-time error.
std::optional<UpgradeOutcome> CompareVersions(std::string_view running, std::string_view posted);

// The text after a UTF-8 byte-order mark, which editors put before a saved document.
std::string_view WithoutByteOrderMark(std::string_view text);

// The message frmUpdate shows, and UpgradeAvailable (1 only for a newer posted revision).
std::string UpgradeMessage(UpgradeOutcome outcome);
std::int16_t UpgradeAvailableFor(UpgradeOutcome outcome);

// A version document that is none: the site's data could not be read.
std::string CriticalErrorMessage(const MakerSite& site);

// A failed fetch, with the fetch's error text.
std::string CheckFailedMessage(const std::string& lastError);

// The text for a WinINet error number; "Error details not available." for
// numbers outside the table.
std::string WinInetErrorText(long code);

}  // namespace glimra
