#include "shell/UpgradeRules.h"

#include <array>
#include <utility>

#include "runtime/Conversions.h"
#include "runtime/RuntimeError.h"

namespace glimra {

namespace {

struct VersionParts {
  std::int16_t major, minor, revision;
};

std::int16_t PartValue(std::string_view part) {
  const std::size_t first = part.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return CInt(part);
  return CInt(part.substr(first, part.find_last_not_of(" \t\r\n") - first + 1));
}

// major, then minor and revision from the rest after the first ".".
VersionParts SplitVersion(std::string_view text) {
  const std::size_t first = text.find('.');
  if (first == std::string_view::npos) RaiseError(kErrInvalidCall);
  const std::string_view rest = text.substr(first + 1);
  const std::size_t second = rest.find('.');
  if (second == std::string_view::npos) RaiseError(kErrInvalidCall);
  return {PartValue(text.substr(0, first)), PartValue(rest.substr(0, second)), PartValue(rest.substr(second + 1))};
}

// The posted parts; nothing for a document that is no version (a page of
// HTML, a version with a part missing or out of range): whatever the server
// sends is the server's fault, never a run-time error of Glimra's.
std::optional<VersionParts> PostedParts(std::string_view posted) {
  posted = WithoutByteOrderMark(posted);
  if (posted.find('.') == std::string_view::npos) return std::nullopt;
  try {
    return SplitVersion(posted);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  return text.substr(0, kUtf8Mark.size()) == kUtf8Mark ? text.substr(kUtf8Mark.size()) : text;
}

std::optional<UpgradeOutcome> CompareVersions(std::string_view running, std::string_view posted) {
  const VersionParts mine = SplitVersion(running);
  const std::optional<VersionParts> postedParts = PostedParts(posted);
  if (!postedParts) return std::nullopt;
  const VersionParts& theirs = *postedParts;
  const std::array<std::pair<std::int16_t, std::int16_t>, 3> parts = {
      {{theirs.major, mine.major}, {theirs.minor, mine.minor}, {theirs.revision, mine.revision}}};
  for (const auto& [post, run] : parts) {
    if (post > run) return UpgradeOutcome::PostedNewer;
    if (post < run) return UpgradeOutcome::RunningNewer;
  }
  return UpgradeOutcome::UpToDate;
}

std::string UpgradeMessage(UpgradeOutcome outcome) {
  switch (outcome) {
    case UpgradeOutcome::PostedNewer:
      return "Glimra Live Upgrade Notifier has determined that there is a new revision of Glimra.  Do you wish to go "
             "to the Glimra download page now?";
    case UpgradeOutcome::UpToDate:
      return "Glimra Live Upgrade Notifier has determined that you already have the latest version of Glimra "
             "available.  No upgrade is required at this time.";
    case UpgradeOutcome::RunningNewer:
      return "Glimra Live Upgrade Notifier has determined that your revision of Glimra is newer then the revision "
             "posted. So you must be a Beta tester!  :)";
  }
  return "";
}

std::int16_t UpgradeAvailableFor(UpgradeOutcome outcome) { return outcome == UpgradeOutcome::PostedNewer ? 1 : 0; }

std::string CriticalErrorMessage(const MakerSite& site) {
  return "Glimra Live Upgrade Notifier ran into a ~B~CRcritical error~B~CN while retrieving data from the ~B" +
         site.host + "~B web site.~N ~NPlease e-mail ~B~CB" + site.ContactAddress() + "~B~CN for assistance.";
}

std::string CheckFailedMessage(const std::string& lastError) {
  return "~BLive Upgrade Notify Error~B: ~N ~N" + lastError;
}

std::string WinInetErrorText(long code) {
  static const std::pair<long, const char*> kTexts[] = {
      {12001, "No more handles could be generated at this time"},
      {12002, "The request has timed out."},
      {12003, "An extended error was returned from the server."},
      {12004, "An internal error has occurred."},
      {12005, "The URL is invalid."},
      {12006, "The URL scheme could not be recognized, or is not supported."},
      {12007, "The server name could not be resolved."},
      {12008, "The requested protocol could not be located."},
      {12009, "A request to InternetQueryOption or InternetSetOption specified an invalid option value."},
      {12010,
       "The length of an option supplied to InternetQueryOption or InternetSetOption is incorrect for the type of "
       "option specified."},
      {12011, "The request option can not be set, only queried. "},
      {12012, "The Win32 Internet support is being shutdown or unloaded."},
      {12013,
       "The request to connect and login to an FTP server could not be completed because the supplied user name is "
       "incorrect."},
      {12014,
       "The request to connect and login to an FTP server could not be completed because the supplied password is "
       "incorrect. "},
      {12015, "The request to connect to and login to an FTP server failed."},
      {12016, "The requested operation is invalid. "},
      {12017,
       "The operation was canceled, usually because the handle on which the request was operating was closed before "
       "the operation completed."},
      {12018, "The type of handle supplied is incorrect for this operation."},
      {12019,
       "The requested operation can not be carried out because the handle supplied is not in the correct state."},
      {12020, "The request can not be made via a proxy."},
      {12021, "A required registry value could not be located. "},
      {12022, "A required registry value was located but is an incorrect type or has an invalid value."},
      {12023, "Direct network access cannot be made at this time. "},
      {12024, "An asynchronous request could not be made because a zero context value was supplied."},
      {12025, "An asynchronous request could not be made because a callback function has not been set."},
      {12026, "The required operation could not be completed because one or more requests are pending."},
      {12027, "The format of the request is invalid."},
      {12028, "The requested item could not be located."},
      {12029, "The attempt to connect to the server failed."},
      {12030, "The connection with the server has been terminated."},
      {12031, "The connection with the server has been reset."},
      {12036, "The request failed because the handle already exists."},
  };
  for (const auto& [number, text] : kTexts)
    if (number == code) return text;
  return "Error details not available.";
}

}  // namespace glimra
