// The chat fader's rules: chat commands, what Enter and the Send icon do
// with a line, the overflow into the multi-line sender, the menu command
// numbers, the advertisement's bytes and the multi-line helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "chat/ChatCommands.h"
#include "chat/MultilineText.h"
#include "runtime/EventPump.h"

namespace glimra {
namespace {

TEST(ChatCommands, NormalizedCommandsPickTheirActions) {
  EXPECT_EQ(NormalizeCommand(" Top News "), "topnews");
  EXPECT_EQ(NormalizeCommand("FADE OFF"), "fadeoff");
  struct Case {
    const char* typed;
    ChatCommand command;
  } cases[] = {
      {"help", ChatCommand::Help},       {"adv", ChatCommand::Advertise},  {"Advertise", ChatCommand::Advertise},
      {"updates", ChatCommand::Updates}, {"update", ChatCommand::Updates}, {"show", ChatCommand::Show},
      {"hide", ChatCommand::Hide},       {"fade on", ChatCommand::FadeOn}, {"fadeoff", ChatCommand::FadeOff},
      {"options", ChatCommand::Options}, {"opt", ChatCommand::Options},    {"Multi Line", ChatCommand::Multiline},
      {"news", ChatCommand::Keyword},    {"showw", ChatCommand::Keyword},  {"", ChatCommand::Keyword}};
  for (const Case& c : cases) EXPECT_EQ(CommandFor(NormalizeCommand(c.typed)), c.command) << c.typed;
}

TEST(ChatCommands, EnterDecidesByTextOptionAndFader) {
  EXPECT_EQ(DecideEnter("hello", kFalse, kTrue), EnterAction::Fade);
  EXPECT_EQ(DecideEnter("hello", kFalse, kFalse), EnterAction::LeaveToAOL);
  EXPECT_EQ(DecideEnter("   ", kTrue, kTrue), EnterAction::LeaveToAOL);
  EXPECT_EQ(DecideEnter("", kTrue, kTrue), EnterAction::LeaveToAOL);
  EXPECT_EQ(DecideEnter("/fadeoff", kTrue, kTrue), EnterAction::RunCommand);
  EXPECT_EQ(DecideEnter("/Top News", kTrue, kFalse), EnterAction::RunCommand);
  // AOL's own "//" commands pass; a web address after "/" is a command.
  EXPECT_EQ(DecideEnter("//roll", kTrue, kTrue), EnterAction::LeaveToAOL);
  EXPECT_EQ(DecideEnter("/http://www.aol.com/x", kTrue, kTrue), EnterAction::RunCommand);
  // "Use Chat KW" off: a "/" line is an ordinary line.
  EXPECT_EQ(DecideEnter("/news", kFalse, kTrue), EnterAction::Fade);
  EXPECT_EQ(DecideEnter("/news", kFalse, kFalse), EnterAction::LeaveToAOL);
  // Only exactly True counts.
  EXPECT_EQ(DecideEnter("/news", 1, 1), EnterAction::LeaveToAOL);
}

TEST(ChatCommands, SendIconTreatsSlashLinesAsCommandsAlways) {
  EXPECT_EQ(DecideSendIconDown("/show", kFalse), SendIconAction::PendCommand);
  EXPECT_EQ(DecideSendIconDown("/show", kTrue), SendIconAction::PendCommand);
  EXPECT_EQ(DecideSendIconDown("//roll", kTrue), SendIconAction::LeaveToAOL);
  EXPECT_EQ(DecideSendIconDown("hi", kTrue), SendIconAction::Fade);
  EXPECT_EQ(DecideSendIconDown("hi", kFalse), SendIconAction::Nothing);
  EXPECT_EQ(DecideSendIconDown("  ", kTrue), SendIconAction::Nothing);
}

TEST(ChatCommands, FullBoxOverflowsAtCharsInLineOrEightyFive) {
  EXPECT_EQ(DecideOverflow(kTrue, kTrue, 60, 60, 'x'), OverflowAction::OpenMultiline);
  EXPECT_EQ(DecideOverflow(kTrue, kTrue, 60, 59, 'x'), OverflowAction::None);
  EXPECT_EQ(DecideOverflow(kTrue, kTrue, 60, 61, 'x'), OverflowAction::None);
  for (int key : {8, 9, 10, 13}) {
    EXPECT_EQ(DecideOverflow(kTrue, kTrue, 60, 60, key), OverflowAction::None) << key;
    EXPECT_EQ(DecideOverflow(kTrue, kFalse, 60, 85, key), OverflowAction::StopAtFullBox) << key;
  }
  EXPECT_EQ(DecideOverflow(kTrue, kFalse, 60, 85, 'x'), OverflowAction::OpenMultiline);
  EXPECT_EQ(DecideOverflow(kTrue, kFalse, 60, 60, 'x'), OverflowAction::None);
  EXPECT_EQ(DecideOverflow(kFalse, kTrue, 60, 60, 'x'), OverflowAction::None);
}

TEST(ChatCommands, MenuCommandNumbers) {
  EXPECT_EQ(MenuActionFor(16), MenuAction::Unhook);
  EXPECT_EQ(MenuActionFor(273), MenuAction::Unhook);
  EXPECT_EQ(MenuActionFor(60000), MenuAction::ShowChatTools);
  EXPECT_EQ(MenuActionFor(60001), MenuAction::ShowOptions);
  EXPECT_EQ(MenuActionFor(60002), MenuAction::Advertise);
  EXPECT_EQ(MenuActionFor(60003), MenuAction::ShowWizard);
  EXPECT_EQ(MenuActionFor(60004), MenuAction::ShowAbout);
  EXPECT_EQ(MenuActionFor(60005), MenuAction::ExitGlimra);
  EXPECT_EQ(MenuActionFor(60006), MenuAction::CheckUpdates);
  EXPECT_EQ(MenuActionFor(62000), MenuAction::HelpContents);
  EXPECT_EQ(MenuActionFor(62001), MenuAction::HelpSearch);
  EXPECT_EQ(MenuActionFor(62002), MenuAction::OnlineSupport);
  EXPECT_EQ(MenuActionFor(8207), MenuAction::None);
  EXPECT_EQ(MenuActionFor(60007), MenuAction::None);
}

TEST(ChatCommands, AdvertiseBannerBytes) {
  const std::string banner = AdvertiseBanner();
  EXPECT_EQ(banner.rfind("</B></I></U><FONT COLOR=#33e460>\x98<FONT COLOR=#66df48>\xA8", 0), 0u);
  EXPECT_NE(banner.find("<FONT COLOR=#f37200>\xB0<FONT COLOR=#f05a00>\xBA<FONT COLOR=#dc4400>^"), std::string::npos);
  EXPECT_NE(banner.find("<FONT COLOR=#000000><B>I'm using Glimra!<FONT COLOR=#200054></B>*<FONT COLOR=#40003f>~"),
            std::string::npos);
  EXPECT_NE(banner.find("<FONT COLOR=#e04800>\xBA<FONT COLOR=#f05a00>\xB0<FONT COLOR=#f47800>'"), std::string::npos);
  const std::string ending = "<FONT COLOR=#00e878>\x98<FONT COLOR=#000000>";
  EXPECT_EQ(banner.substr(banner.size() - ending.size()), ending);
  std::size_t tags = 0;
  for (std::size_t at = banner.find("<FONT COLOR=#"); at != std::string::npos;
       at = banner.find("<FONT COLOR=#", at + 1))
    ++tags;
  EXPECT_EQ(tags, 38u);  // 37 pieces and the closing black
  // Each special character is one byte.
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\x98'), 4);
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\xA8'), 8);
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\xB0'), 2);
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\xBA'), 2);

  const MakerSite site = MakerSiteFor("www.maker.test:8080");
  const auto lines = AdvertiseLines(site);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], banner);
  EXPECT_EQ(lines[1], "<I>A cool tool to spice up your AOL 4.0 chat!</I>");
  EXPECT_EQ(lines[2], " ");
  EXPECT_EQ(lines[3],
            "For more information, E-Mail <A HREF=mailto:glimra@maker.test?subject=Glimra_Info>glimra@maker.test</A>");
  EXPECT_EQ(lines[4], "Or visit the <A HREF=http://www.maker.test:8080>Zol Software</A> website!</HTML>");
}

TEST(MultilineText, LimitProgressAndBlankLines) {
  EXPECT_EQ(LineLimit(kTrue, 60), 60);
  EXPECT_EQ(LineLimit(kFalse, 60), 84);
  EXPECT_EQ(LineProgress(0, 3), 0);
  EXPECT_EQ(LineProgress(1, 3), 33);
  EXPECT_EQ(LineProgress(2, 3), 66);
  EXPECT_EQ(LineProgress(3, 3), 100);
  // No lines at all: the bar stays at 0, whatever the index.
  EXPECT_EQ(LineProgress(0, 0), 0);
  EXPECT_EQ(LineProgress(1, 0), 0);
  for (const char* blank : {"", "\r", "\n", " "}) EXPECT_EQ(ChatLineFor(blank), "\xA0") << int(blank[0]);
  EXPECT_EQ(ChatLineFor("  "), "  ");
  EXPECT_EQ(ChatLineFor("hi "), "hi ");
}

// Values the registry or a huge text can hold stay inside the types they end up in.
TEST(MultilineText, ProgressAndBurstStayInRangeAtTheirBoundaries) {
  EXPECT_EQ(LineProgress(29999999, 30000000), 99);
  EXPECT_EQ(LineProgress(2147483646, 2147483647), 99);
  EXPECT_EQ(LineProgress(21474837, 21474838), 99);

  EXPECT_EQ(BurstMilliseconds(1.5f), 1500u);
  EXPECT_EQ(BurstMilliseconds(0.25f), 250u);
  EXPECT_EQ(BurstMilliseconds(0.0f), 0u);
  EXPECT_EQ(BurstMilliseconds(-2.0f), 0u);
  EXPECT_EQ(BurstMilliseconds(std::numeric_limits<float>::quiet_NaN()), 0u);
  // Longer than any wait can last: the longest wait, never "for ever".
  for (float huge : {1e36f, 5e6f, std::numeric_limits<float>::infinity()})
    EXPECT_EQ(BurstMilliseconds(huge), kLongestBurstMs) << huge;
  EXPECT_LT(kLongestBurstMs, kWaitForever);
  EXPECT_EQ(BurstMilliseconds(4e6f), 4000000000u);
}

}  // namespace
}  // namespace glimra
