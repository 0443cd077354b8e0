// The mail that shares fade schemes, byte for byte: subject, body for one
// scheme with its sample, several without, none at all; the sample of a
// scheme; the messages as the message box shows them; and the fade button's
// size rule for the e-mail fader.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "engine/modFade.h"
#include "mail/MailFade.h"
#include "settings/MakerSite.h"
#include "settings/SchemeMail.h"
#include "shell/MsgBoxLayout.h"

namespace glimra {
namespace {

const MakerSite kMaker = MakerSiteFor("www.maker.test");
const std::string kSite = kMaker.WebSite();
const std::string kRule =
    "</FONT><FONT  SIZE=3 PTSIZE=10><U>" + std::string(62, '_') + "</U>\r\n" + std::string(62, '\xAF') + "\r\n";
const std::string kDirections =
    "</P><P ALIGN=LEFT></FONT><FONT COLOR=#000000 SIZE=3 PTSIZE=9><B><U>Directions for installing:</FONT><FONT  SIZE=2 "
    "PTSIZE=8></B></U>\r\nYou must have Zol Software's <A HREF=" +
    kSite + "/echorra32/>Echorra 32 - 9.x</A> or <A HREF=" + kSite +
    "/glimra/>Glimra</A> program installed on your computer.\r\n\r\n<I>Detailed installation instructions are located "
    "within your Echorra 32 or Glimra Help file.</I>\r\n\r\n";

std::string Head(const std::string& intro, const std::string& sender) {
  return "<HTML><PRE></P><P ALIGN=CENTER></FONT><FONT  SIZE=2 PTSIZE=8>" + intro + "brought to you by <B>" + sender +
         " </B>using <B>Glimra - <FONT COLOR=#0000ff FONT  SIZE=2 PTSIZE=8>Rev 1.1.9\r\n</FONT><FONT COLOR=#000000 "
         "SIZE=2></B>Get your copy now at the <A HREF=" +
         kSite + ">Zol Software</A> website!\r\n</FONT><FONT COLOR=#000000 SIZE=2>" + kRule;
}

const std::string kTail =
    "<FONT COLOR=#000000>" + kRule + kDirections + "</B></I></U><FONT COLOR=#000000>\r\n\r\n</PRE></HTML>";

std::string Header(const std::string& count) {
  return "<Font Color=#000000 Size=2><B>Number of Fade Schemes in this zip file<Font Color=#0000ff Size=3><I>\r" +
         count +
         "\r</B></I><Font Color=#000000 "
         "Size=3>\x98\xA8\xA8\xA8\xA8\x98''\xB0\xBA\xBA\xB0''\x98\x98''\xB0\xBA\xBA\xB0''\x98\x98''\xB0\xBA\xBA\xB0''"
         "\x98\x98\xA8\xA8\xA8\xA8\x98\r\n\r\n<B>Fade Schemes included in this zip file</B>\r\n\r\n";
}

FadeScheme RedScheme() {
  FadeScheme scheme;
  scheme.Name = "Red";
  scheme.FadeNumber = 1;
  scheme.Colors[1] = 0x0000FF;
  scheme.Bold = scheme.Italic = scheme.ULine = kTrue;
  return scheme;
}

TEST(SchemeMail, SampleIsTheSentenceInTheSchemesColoursBoldInnermost) {
  EXPECT_EQ(MakeEMailFade(RedScheme()),
            "<U><I><B><FONT COLOR=#FF0000>This is a sample of the Red fade scheme!</B></I></U>");

  FadeScheme two;
  two.Name = "ab";
  two.FadeNumber = 2;
  two.Colors[1] = 0;
  two.Colors[2] = 0xFFFFFF;
  two.Italic = kTrue;
  two.Bold = 1;  // only exactly True counts
  const std::string sample = MakeEMailFade(two);
  EXPECT_EQ(sample.substr(0, 3), "<I>");
  EXPECT_EQ(sample.substr(sample.size() - 4), "</I>");
  EXPECT_EQ(sample.find("<B>"), std::string::npos);
  EXPECT_NE(sample.find("<FONT COLOR=#FBFBFB>!"), std::string::npos);  // the last character ends on white

  for (int number : {0, 7, -1}) {
    FadeScheme odd = RedScheme();
    odd.FadeNumber = static_cast<std::int16_t>(number);
    EXPECT_EQ(MakeEMailFade(odd), "") << number;
  }
}

// The shipped six-colour scheme read from its key: 44 characters in five
// runs of 9, 9, 9, 9 and 8, each ending on the next colour.
TEST(SchemeMail, ASixColourSchemesSampleRunsThroughAllSixColours) {
  const std::map<std::string, std::string> key = {{"Fade Number", "6"}, {"One", "255"},    {"Two", "39423"},
                                                  {"Three", "65535"},   {"Four", "49152"}, {"Five", "16736256"},
                                                  {"Six", "12583072"},  {"Wavy", "False"}, {"Bold", "False"},
                                                  {"Italic", "False"},  {"ULine", "False"}};
  FadeScheme scheme;
  scheme.Name = "Rainbow";
  ReadFadeScheme(
      [&key](const std::string& subkey, const std::string& valueName) {
        const auto found = key.find(valueName);
        return subkey == "Schemes\\Rainbow" && found != key.end() ? found->second : std::string();
      },
      "Rainbow", scheme);
  const std::string sample = MakeEMailFade(scheme);
  EXPECT_EQ(sample.rfind("<FONT COLOR=#FF1100>T", 0), 0u) << sample;
  for (const char* tagged :
       {"<FONT COLOR=#FF9900>a", "<FONT COLOR=#FFB000>s", "<FONT COLOR=#FFFF00>o", "<FONT COLOR=#E3F800>f",
        "<FONT COLOR=#00C000>i", "<FONT COLOR=#00B51C>n", "<FONT COLOR=#0060FF>e", "<FONT COLOR=#2848EF>s"})
    EXPECT_NE(sample.find(tagged), std::string::npos) << tagged;
  EXPECT_EQ(sample.substr(sample.size() - 21), "<FONT COLOR=#A000C0>!");
  EXPECT_EQ(std::count(sample.begin(), sample.end(), '<'), 36);  // one tag per non-blank character

  const std::string body = SharingBody({{"Rainbow", sample}}, true, "Zolster", "1.1.9", kMaker);
  EXPECT_NE(body.find("<B><U><FONT COLOR=#000000>Rainbow</B></U>\r\n<FONT COLOR=#FF1100>T"), std::string::npos);
  EXPECT_NE(body.find("<FONT COLOR=#A000C0>!\r\n\r\n<FONT COLOR=#000000></FONT>"), std::string::npos);
}

TEST(SchemeMail, OneSchemeWithItsSample) {
  const std::string sample = MakeEMailFade(RedScheme());
  const std::string body = SharingBody({{"Red", sample}}, true, "Zolster", "1.1.9", kMaker);
  const std::string expected = Head("This Fade Scheme was ", "Zolster") + "<B><U><FONT COLOR=#000000>Red</B></U>\r\n" +
                               sample + "\r\n\r\n" + kTail;
  EXPECT_EQ(body, expected);
  EXPECT_EQ(SharingSubject(1, "Zolster"), "A \"Glimra\" Fade Scheme from Zolster");

  // Without the sample one scheme is its bare name.
  EXPECT_EQ(SharingBody({{"Red", ""}}, false, "Zolster", "1.1.9", kMaker),
            Head("This Fade Scheme was ", "Zolster") + "<FONT COLOR=#000000>Red" + kTail);
}

TEST(SchemeMail, SeveralSchemesCountedAndListedInOrder) {
  const std::string body =
      SharingBody({{"Cool Fade", ""}, {"Sunset", ""}, {"Ocean", ""}}, false, "Zol Alias", "1.1.9", kMaker);
  EXPECT_EQ(body, Head("These Fade Schemes were ", "Zol Alias") + Header("3") +
                      "<FONT COLOR=#000000>Cool Fade, <FONT COLOR=#000000>Sunset, <FONT COLOR=#000000>Ocean, " + kTail);
  EXPECT_EQ(SharingSubject(3, "Zol Alias"), "Zip of \"Glimra\" Fade Schemes from Zol Alias");

  const std::string withSamples = SharingBody({{"A", "<FONT COLOR=#112233>x"}, {"B", "y"}}, true, "Z", "1.1.9", kMaker);
  EXPECT_EQ(withSamples, Head("These Fade Schemes were ", "Z") + Header("2") +
                             "<B><U><FONT COLOR=#000000>A</B></U>\r\n<FONT COLOR=#112233>x\r\n\r\n"
                             "<B><U><FONT COLOR=#000000>B</B></U>\r\ny\r\n\r\n" +
                             kTail);
}

TEST(SchemeMail, NoSchemeIsAnnouncedAsZeroWithNoNames) {
  EXPECT_EQ(SharingBody({}, true, "Zolster", "2.0.1", kMaker), [] {
    std::string head = Head("These Fade Schemes were ", "Zolster");
    head.replace(head.find("Rev 1.1.9"), 9, "Rev 2.0.1");
    return head;
  }() + Header("0") + kTail);
  EXPECT_EQ(SharingSubject(0, "Zolster"), "Zip of \"Glimra\" Fade Schemes from Zolster");
}

// What the message box prints, line by line.
class PrintedText : public TextArea {
 public:
  int TextWidth(std::string_view text, const TextStyle&) override { return static_cast<int>(text.size()); }
  int LineHeight(const TextStyle&) override { return 10; }
  int InnerWidth() override { return 100000; }
  int InnerHeight() override { return 100000; }
  void SetOuterHeightTwips(int) override {}
  int TwipsPerPixelY() override { return 15; }
  void Clear() override { text.clear(); }
  // A new line starts with "\n", however many empty lines came between.
  void Print(int, int y, std::string_view run, const TextStyle&) override {
    if (!text.empty() && y > lastY) text += '\n';
    text += run;
    lastY = y;
  }
  std::string text;
  int lastY = 0;
};

std::string Shown(const char* message) {
  PrintedText area;
  RenderMarkup(area, message);
  return area.text;
}

TEST(SchemeMail, MessagesShowTheirWholeText) {
  EXPECT_EQ(
      Shown(kNoMailWindowMessage),
      "Glimra was unable to open an E-Mail window.\nPlease open an E-Mail by pressing CTRL+M and try this operation "
      "again.");
  EXPECT_EQ(Shown(kNoOpenButtonMessage),
            "Glimra was unable to click the Open button in the Attach File window.\nPlease try this operation again!");
  EXPECT_EQ(
      Shown(kSchemesKeyMessage),
      "Cannot open registry key \"SCHEMES\"\nPlease reinstall Glimra to restore this key.\nThis function will now "
      "end.");
  EXPECT_EQ(Shown(kNoAttachmentsWindowMessage),
            "Glimra was unable to open the Attachments window.\nPlease try this operation again!");
  EXPECT_EQ(Shown(kNoAttachButtonMessage),
            "Glimra was unable to click the Attach button.\nPlease try this operation again!");
  EXPECT_EQ(std::string(kNoAttachFileWindowMessage),
            "Glimra was unable to open the ~B~CRAttach File~B~CN window.~N ~NPlease try this operation again!");
  EXPECT_EQ(std::string(kNoAttachFileEditMessage),
            "Glimra was unable to set text to the ~B~CRAttach File~B~CN window.~N ~NPlease try this operation again!");
  EXPECT_EQ(Shown(kNoAttachFileWindowMessage),
            "Glimra was unable to open the Attach File window.\nPlease try this operation again!");
  EXPECT_EQ(Shown(kNoAttachFileEditMessage),
            "Glimra was unable to set text to the Attach File window.\nPlease try this operation again!");
}

TEST(MailFade, BlanksAreNoTextAndThirtyThousandIsTheLimit) {
  EXPECT_EQ(CheckMailSelection(""), MailFadeCheck::NoText);
  EXPECT_EQ(CheckMailSelection("     "), MailFadeCheck::NoText);
  EXPECT_EQ(CheckMailSelection("  x "), MailFadeCheck::Fade);
  EXPECT_EQ(CheckMailSelection("\r\n"), MailFadeCheck::Fade);  // a line break is text
  EXPECT_EQ(CheckMailSelection(std::string(30000, 'a')), MailFadeCheck::Fade);
  EXPECT_EQ(CheckMailSelection(std::string(30001, 'a')), MailFadeCheck::TooLong);
  EXPECT_EQ(CheckMailSelection(std::string(30001, ' ')), MailFadeCheck::NoText);
  EXPECT_EQ(Shown(kNoTextFoundMessage),
            "No text found!\nPlease highlight the text you would like faded and try again.");
}

TEST(SchemeMail, NamesAndSenderShowAsTheyStandInTheMailAndItsMessages) {
  const std::string body = SharingBody({{"A&B <c>", ""}, {"~Jane", ""}}, false, "Zol <zol@aol.com>", "1.1.9", kMaker);
  EXPECT_NE(body.find("brought to you by <B>Zol &lt;zol@aol.com&gt; </B>"), std::string::npos);
  EXPECT_NE(body.find("<FONT COLOR=#000000>A&amp;B &lt;c&gt;, "), std::string::npos);
  EXPECT_EQ(SharingSubject(1, "Zol <zol@aol.com>"),
            "A \"Glimra\" Fade Scheme from Zol <zol@aol.com>");  // a plain field
  FadeScheme odd = RedScheme();
  odd.Name = "<B>&";
  EXPECT_EQ(MakeEMailFade(odd),
            "<U><I><B><FONT COLOR=#FF0000>This is a sample of the &lt;B&gt;&amp; fade scheme!</B></I></U>");
  EXPECT_EQ(Shown(SchemeFileNotWrittenMessage("~Jane").c_str()),
            "Glimra was unable to write the file ~Jane.fde to its outgoing folder.\nNothing has been attached. Please "
            "try this operation again!");
}

// The text the member sees in markup: tags dropped, the three entities read.
std::string Unmarked(const std::string& markup) {
  std::string text;
  for (std::size_t at = 0; at < markup.size();) {
    if (markup[at] == '<') {
      at = markup.find('>', at) + 1;
      continue;
    }
    bool entity = false;
    for (const auto& [name, c] : {std::pair{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}})
      if (markup.compare(at, std::string_view(name).size(), name) == 0) {
        text += c;
        at += std::string_view(name).size();
        entity = true;
      }
    if (!entity) text += markup[at++];
  }
  return text;
}

class MailText : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = LiveFadeSettings();
    LiveFadeSettings() = FadeSettings{};
  }
  void TearDown() override { LiveFadeSettings() = saved_; }
  static void Colours(std::initializer_list<Colour> colours, bool wavy = false) {
    FadeSettings& fade = LiveFadeSettings();
    fade.FadeNumber = static_cast<std::int16_t>(colours.size());
    std::int16_t i = 1;
    for (Colour c : colours) fade.Colors[i++] = c;
    fade.Wavy = wavy ? kTrue : kFalse;
  }
  FadeSettings saved_;
};

TEST_F(MailText, MarkupCharactersShowAsTypedInEveryFade) {
  for (const std::string text : {"Mail me at <zol@example.com> & smile", "if a<b and c>d", "&lt; stays &lt;"}) {
    Colours({0x0000FF});
    const std::string one = FadeMailText(text);
    EXPECT_EQ(one.find("<FONT", one.find("<FONT") + 1), std::string::npos) << one;  // one colour: a single tag
    EXPECT_EQ(Unmarked(one), text);
    Colours({0x0000FF, 0xFF0000, 0x00FF00}, true);
    EXPECT_EQ(Unmarked(FadeMailText(text)), text);
  }
}

TEST_F(MailText, ALineBreakStaysOneBreak) {
  Colours({0x0000FF, 0xFF0000});
  const std::string markup = FadeMailText("first line\r\nsecond line\r\n\r\nlast");
  EXPECT_EQ(Unmarked(markup), "first line\r\nsecond line\r\n\r\nlast");
  EXPECT_EQ(std::count(markup.begin(), markup.end(), '\r'), 3);
  EXPECT_EQ(std::count(markup.begin(), markup.end(), '\n'), 3);
  for (std::size_t at = markup.find('\r'); at != std::string::npos; at = markup.find('\r', at + 1))
    EXPECT_EQ(markup[at + 1], '\n') << "a tag between the halves of a break";
  EXPECT_EQ(Unmarked(FadeMailText("a\x01\x02\x03\x04"
                                  "b")),
            "ab");  // shows nothing, left out
}

}  // namespace
}  // namespace glimra
