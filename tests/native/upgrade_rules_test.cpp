#include <gtest/gtest.h>

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
