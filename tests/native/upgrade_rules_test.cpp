#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "runtime/RuntimeError.h"
#include "settings/MakerSite.h"
#include "shell/UpgradeRules.h"

namespace glimra {
namespace {

long ErrorNumberOf(std::string_view running, std::string_view posted) {
  try {
    CompareVersions(running, posted);
  } catch (const RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

TEST(UpgradeRules, VersionsComparePartByPartAsIntegers) {
  EXPECT_EQ(CompareVersions("1.1.9", "1.2.0"), UpgradeOutcome::PostedNewer);
  EXPECT_EQ(CompareVersions("1.1.9", "1.1.9"), UpgradeOutcome::UpToDate);
  EXPECT_EQ(CompareVersions("1.1.9", "1.1.8"), UpgradeOutcome::RunningNewer);
  EXPECT_EQ(CompareVersions("1.1.9", "0.9.9"), UpgradeOutcome::RunningNewer);
  EXPECT_EQ(CompareVersions("1.1.9", "2.0.0"), UpgradeOutcome::PostedNewer);
  // Not text order: 10 is more than 9.
  EXPECT_EQ(CompareVersions("1.9.5", "1.10.0"), UpgradeOutcome::PostedNewer);
  EXPECT_EQ(CompareVersions("1.1.10", "1.1.9"), UpgradeOutcome::RunningNewer);
  // A document saved with line breaks or blanks around it reads the same.
  EXPECT_EQ(CompareVersions("1.1.9", "1.2.0\r\n"), UpgradeOutcome::PostedNewer);
  EXPECT_EQ(CompareVersions("1.1.9", " 1.1.9\n\n"), UpgradeOutcome::UpToDate);
}

TEST(UpgradeRules, DocumentsThatAreNoVersionAreNothingToCompare) {
  const char* notVersions[] = {"120",
                               "",
                               "1.2",
                               "1.x.0",
                               "1.1.99999",
                               "\xEF\xBB\xBF",
                               "<html><head><title>Moved</title></head><body>See www.maker.test.</body></html>"};
  for (const char* posted : notVersions) {
    EXPECT_EQ(CompareVersions("1.1.9", posted), std::nullopt) << posted;
    EXPECT_EQ(ErrorNumberOf("1.1.9", posted), 0) << posted << ": the server's text raises no error of Glimra's";
  }
  // Our own version is ours to get right.
  EXPECT_EQ(ErrorNumberOf("1.1", "1.2.0"), kErrInvalidCall);
}

TEST(UpgradeRules, AByteOrderMarkBeforeTheVersionIsSkipped) {
  EXPECT_EQ(CompareVersions("1.1.9",
                            "\xEF\xBB\xBF"
                            "1.2.0\r\n"),
            UpgradeOutcome::PostedNewer);
  EXPECT_EQ(CompareVersions("1.1.9",
                            "\xEF\xBB\xBF"
                            "1.1.9"),
            UpgradeOutcome::UpToDate);
  EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB\xBF"
                                 "1.2.0"),
            "1.2.0");
  // Only a whole mark at the very start.
  EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB"
                                 "1.2.0"),
            "\xEF\xBB"
            "1.2.0");
  EXPECT_EQ(WithoutByteOrderMark(" \xEF\xBB\xBF"), " \xEF\xBB\xBF");
}

TEST(UpgradeRules, OnlyANewerPostedRevisionOffersTheDownload) {
  EXPECT_EQ(UpgradeAvailableFor(UpgradeOutcome::PostedNewer), 1);
  EXPECT_EQ(UpgradeAvailableFor(UpgradeOutcome::UpToDate), 0);
  EXPECT_EQ(UpgradeAvailableFor(UpgradeOutcome::RunningNewer), 0);
  EXPECT_NE(UpgradeMessage(UpgradeOutcome::PostedNewer).find("Do you wish to go to the Glimra download page now?"),
            std::string::npos);
  EXPECT_NE(UpgradeMessage(UpgradeOutcome::UpToDate).find("No upgrade is required"), std::string::npos);
  EXPECT_NE(UpgradeMessage(UpgradeOutcome::RunningNewer).find("Beta tester!  :)"), std::string::npos);
}

TEST(UpgradeRules, MessagesNameTheSiteAndTheError) {
  const MakerSite site = MakerSiteFor("www.maker.test");
  const std::string critical = CriticalErrorMessage(site);
  EXPECT_NE(critical.find("~B~CRcritical error~B~CN"), std::string::npos);
  EXPECT_NE(critical.find("~Bwww.maker.test~B"), std::string::npos);
  EXPECT_NE(critical.find("~B~CBglimra@maker.test~B~CN"), std::string::npos);
  EXPECT_EQ(CheckFailedMessage(WinInetErrorText(12029)),
            "~BLive Upgrade Notify Error~B: ~N ~NThe attempt to connect to the server failed.");
  EXPECT_EQ(CheckFailedMessage(""), "~BLive Upgrade Notify Error~B: ~N ~N");
}

TEST(UpgradeRules, WinInetErrorTextsKeepTheirTrailingBlanks) {
  EXPECT_EQ(WinInetErrorText(12001), "No more handles could be generated at this time");
  EXPECT_EQ(WinInetErrorText(12002), "The request has timed out.");
  EXPECT_EQ(WinInetErrorText(12007), "The server name could not be resolved.");
  EXPECT_EQ(WinInetErrorText(12011), "The request option can not be set, only queried. ");
  EXPECT_EQ(WinInetErrorText(12023), "Direct network access cannot be made at this time. ");
  EXPECT_EQ(WinInetErrorText(12036), "The request failed because the handle already exists.");
  // Numbers between and beyond the table.
  for (long code : {0L, 12000L, 12032L, 12035L, 12037L, 2L})
    EXPECT_EQ(WinInetErrorText(code), "Error details not available.") << code;
}

// The whole table, each text exactly as the member reads it.
TEST(UpgradeRules, EveryWinInetErrorText) {
  const std::pair<long, std::string> table[] = {
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
  for (const auto& [code, text] : table) EXPECT_EQ(WinInetErrorText(code), text) << code;
  for (long code = 11990; code <= 12050; ++code) {
    const bool listed =
        std::any_of(std::begin(table), std::end(table), [code](const auto& row) { return row.first == code; });
    if (!listed) {
      EXPECT_EQ(WinInetErrorText(code), "Error details not available.") << code;
    }
  }
}

TEST(UpgradeRules, OutcomeMessagesInFull) {
  EXPECT_EQ(UpgradeMessage(UpgradeOutcome::PostedNewer),
            "Glimra Live Upgrade Notifier has determined that there is a new revision of Glimra.  Do you wish to go to "
            "the Glimra download page now?");
  EXPECT_EQ(
      UpgradeMessage(UpgradeOutcome::UpToDate),
      "Glimra Live Upgrade Notifier has determined that you already have the latest version of Glimra available.  "
      "No upgrade is required at this time.");
  EXPECT_EQ(UpgradeMessage(UpgradeOutcome::RunningNewer),
            "Glimra Live Upgrade Notifier has determined that your revision of Glimra is newer then the revision "
            "posted. So you must be a Beta tester!  :)");
  EXPECT_EQ(CriticalErrorMessage(MakerSiteFor("www.maker.test")),
            "Glimra Live Upgrade Notifier ran into a ~B~CRcritical error~B~CN while retrieving data from the "
            "~Bwww.maker.test~B web site.~N ~NPlease e-mail ~B~CBglimra@maker.test~B~CN for assistance.");
}

// Editors and servers put line breaks and blanks before and after the text.
TEST(UpgradeRules, LineBreaksAndBlanksAroundTheVersionDocument) {
  for (const char* posted : {"\r\n1.2.0", "\n\n1.2.0", "  1.2.0", "\t1.2.0", "\r\n 1.2.0 \r\n", "1.2.0 ", "1.2.0\n",
                             "1.2.0\r\n\r\n", "1.2.0\t \r\n", " \r\n\t1.2.0\r\n \t"})
    EXPECT_EQ(CompareVersions("1.1.9", posted), UpgradeOutcome::PostedNewer) << testing::PrintToString(posted);
  for (const char* posted : {"\r\n1.1.8", "1.1.8 \r\n"})
    EXPECT_EQ(CompareVersions("1.1.9", posted), UpgradeOutcome::RunningNewer) << testing::PrintToString(posted);
  for (const char* posted : {"\n1.1.9", "1.1.9\r\n", " \r\n1.1.9\r\n "})
    EXPECT_EQ(CompareVersions("1.1.9", posted), UpgradeOutcome::UpToDate) << testing::PrintToString(posted);
}

TEST(MakerSite, OneHostForEveryAddress) {
  const MakerSite site = MakerSiteFor("  127.0.0.1:8080 ");
  EXPECT_EQ(site.host, "127.0.0.1:8080");
  EXPECT_EQ(site.WebSite(), "http://127.0.0.1:8080");
  EXPECT_EQ(site.VersionDocument(), "http://127.0.0.1:8080/glimraver32");
  EXPECT_EQ(site.DownloadPage(), "http://127.0.0.1:8080/glimra/update.html");
  EXPECT_EQ(site.SupportPage(), "http://127.0.0.1:8080/glimra/support.html");
  EXPECT_EQ(site.ContactAddress(), "glimra@127.0.0.1");
  EXPECT_EQ(MakerSiteFor("www.zol.test").ContactAddress(), "glimra@zol.test");
}

TEST(MakerSite, UnusableHostsGiveTheReservedDefault) {
  for (const char* stored : {"", " ", "evil.test -sx", "a.test\" /x", "a.test/path", "host\tname", "-", ".", ":80",
                             "www.", "a:b:c", "x:99999", "x:0", "x:", "a..b", "-a.test", "a-.test", "x:8o"})
    EXPECT_EQ(MakerSiteFor(stored).host, kDefaultWebServer) << stored;
  EXPECT_EQ(MakerSiteFor(std::string(64, 'a') + ".test").host, kDefaultWebServer) << "a part longer than 63";
  for (const char* stored : {"localhost", "x:1", "x:65535", "10.0.0.2:8080", "my-maker.test", "WWW.Maker.Test"})
    EXPECT_EQ(MakerSiteFor(stored).host, stored);
  const MakerSite fromStore = ReadMakerSite([](const std::string& subkey, const std::string& name) -> std::string {
    return subkey.empty() && name == "Web Server" ? "maker.test" : "";
  });
  EXPECT_EQ(fromStore.host, "maker.test");
  EXPECT_EQ(ReadMakerSite([](const std::string&, const std::string&) { return std::string(); }).host,
            "www.zolsoftware.example");
}

}  // namespace
}  // namespace glimra
