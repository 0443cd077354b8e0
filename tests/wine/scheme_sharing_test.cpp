// Sharing fade schemes by mail against the stand-in client: the mail window
// found or opened, one file dialog per scheme, the attachments the mail
// lists, the subject and the body pasted through "AOLMAIL"; and each way
// the preparation stops.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "AolClientFixture.h"
#include "SettingsTestSupport.h"
#include "WineTestSupport.h"
#include "aol/modAOLFunctions.h"
#include "aol/modFindChild.h"
#include "runtime/ErrorReporting.h"
#include "runtime/Forms.h"
#include "settings/AppOptions.h"
#include "settings/SchemeMail.h"
#include "settings/frmEMailFade.h"
#include "settings/modFileOp.h"
#include "settings/modRegKeys.h"

namespace glimra {
namespace {

using wine_test::BackgroundStep;
using wine_test::WaitUntilFound;

// Undoes the event log's escapes (\t \r \n \\).
std::string Unescaped(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      text += field[i];
      continue;
    }
    const char code = field[++i];
    text += code == 't' ? '\t' : code == 'r' ? '\r' : code == 'n' ? '\n' : code;
  }
  return text;
}

FadeScheme StoredScheme(const std::string& name, std::int16_t count, std::initializer_list<Colour> colours,
                        VBBool bold = kFalse) {
  FadeScheme scheme;
  scheme.Name = name;
  scheme.FadeNumber = count;
  int k = 1;
  for (Colour colour : colours) scheme.Colors[k++] = colour;
  scheme.Bold = bold;
  const std::string key = "Schemes\\" + name;
  WriteSetting(key, "Fade Number", std::to_string(count));
  for (int i = 1; i <= 6; ++i) WriteSetting(key, kColorValueNames[i], std::to_string(scheme.Colors[i]));
  WriteSetting(key, "Bold", bold == kTrue ? "True" : "False");
  for (const char* style : {"Italic", "ULine", "Wavy"}) WriteSetting(key, style, "False");
  return scheme;
}

std::string AnswerMessage() {
  HWND box = wine_test::WaitForReadyWindow("GlimraForm", "Glimra - 1.1.9");
  if (!box) return "<no message>";
  const std::string text = wine_test::WindowText(GetDlgItem(box, 100));
  wine_test::ClickMiddle(GetDlgItem(box, 200));
  return text;
}

// The mail's links follow the maker's web server setting.
constexpr char kTestWebServer[] = "127.0.0.1:9";

class SchemeSharing : public wine_test::AolClientFixture {
 protected:
  void SetUp() override {
    wine_test::DeleteGlimraTree();
    WriteSetting("", kWebServerSetting, kTestWebServer);
    VersionText() = "1.1.9";
    ClientState() = AOLClientState{};
    LiveAppOptions() = AppOptions{};
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    programFolder_ = std::string(temp) + "glimra_sharing";
    wine_test::DeleteFolderTree(programFolder_);
    CreateDirectoryA(programFolder_.c_str(), nullptr);
    CreateDirectoryA((programFolder_ + "\\outgoing").c_str(), nullptr);
    AppPath() = programFolder_;
    CurrentErrorEnvironment() = ErrorEnvironment{[](const ErrorReport&) -> std::int16_t { return kAnswerIgnore; },
                                                 [] { UnloadAllForms(); }, [] { throw EndProgramNow{}; }};
    sunset = StoredScheme("Sunset", 2, {0x0000FF, 0x00C0FF}, kTrue);
    ocean = StoredScheme("Ocean", 3, {0x800000, 0xFF8000, 0xFFFF00});
    forest = StoredScheme("Forest", 1, {0x008000});
  }

  void TearDown() override {
    UnloadAllForms();
    AolClientFixture::TearDown();
    wine_test::DeleteGlimraTree();
    wine_test::DeleteFolderTree(programFolder_);
  }

  void StartClient(const std::string& ini, const char* version = "4") {
    Start(ini);
    ClientState().AOLFrame = reinterpret_cast<std::uintptr_t>(frame_);
    ClientState().AOLMDIClient = reinterpret_cast<std::uintptr_t>(mdi_);
    ClientState().AOLVersion = version;
    LiveAppOptions().AOLPath = folder_;
    // The toolbar's icons come a moment after the toolbar itself.
    HWND bar = FindWindowExA(FindWindowExA(frame_, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
    ASSERT_TRUE(WaitUntilFound([&] { return FindChildByClass(bar, "_AOL_ICON", 2); }));
  }

  // Opens the sharing window, selects `names` and presses E-Mail.
  void Share(const std::vector<std::string>& names) {
    frmEMailFade& window = EMailFade();
    window.Show();
    for (const std::string& name : names) {
      const LRESULT index = SendMessageA(window.lstSchemes(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(name.c_str()));
      ASSERT_NE(index, LB_ERR) << name;
      SendMessageA(window.lstSchemes(), LB_SETSEL, TRUE, index);
    }
    listed_.clear();
    const auto count = static_cast<int>(SendMessageA(window.lstSchemes(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char entry[64] = {};
      SendMessageA(window.lstSchemes(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
      listed_.push_back(entry);
    }
    window.cmdEmail_Click();
  }

  // `names` in the order the list showed them.
  std::vector<std::string> InListOrder(const std::vector<std::string>& names) const {
    std::vector<std::string> ordered;
    for (const std::string& entry : listed_)
      for (const std::string& name : names)
        if (entry == name) ordered.push_back(entry);
    return ordered;
  }

  std::string Subject(HWND mail) { return wine_test::WindowText(FindChildByClass(mail, "_AOL_EDIT", 3)); }

  std::vector<std::string> Attached() {
    std::vector<std::string> files;
    for (const auto& event : Events("attach")) files.push_back(Unescaped(event[2]));
    return files;
  }

  std::string PastedBody() {
    const auto pastes = Events("mailpaste");
    return pastes.empty() ? "<nothing pasted>" : Unescaped(pastes.back()[2]);
  }

  std::string Outgoing(const std::string& name) const { return programFolder_ + "\\outgoing\\" + name + ".fde"; }

  std::string programFolder_;
  std::vector<std::string> listed_;
  FadeScheme sunset, ocean, forest;
};

TEST_F(SchemeSharing, OneSchemeWithItsSampleSignedWithTheScreenName) {
  LiveAppOptions().ShowEMailSample = kTrue;
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nScreenNames=Zolster\r\n"));
  ASSERT_TRUE(wine_test::PutClipboardPicture(9, 4));
  Share({"Sunset"});
  EXPECT_TRUE(wine_test::ClipboardHoldsPicture(9, 4)) << "the member's picture is gone";
  HWND mail = FindWindowExA(mdi_, nullptr, "AOL Child", "Write Mail");
  ASSERT_TRUE(mail) << "the mail window was opened";
  EXPECT_FALSE(EMailFade().IsLoaded());
  EXPECT_EQ(Subject(mail), "A \"Glimra\" Fade Scheme from Zolster");
  EXPECT_EQ(Attached(), std::vector<std::string>{Outgoing("Sunset")});
  EXPECT_NE(wine_test::FileBytes(Outgoing("Sunset")), "<missing>");
  const auto dialogs = Events("attachdialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0][1], "Attach");
  const std::string sample = MakeEMailFade(sunset);
  EXPECT_EQ(sample.substr(0, 3), "<B>");
  EXPECT_EQ(PastedBody(), SharingBody({{"Sunset", sample}}, true, "Zolster", "1.1.9", MakerSiteFor(kTestWebServer)));
  EXPECT_NE(PastedBody().find("<B><U><FONT COLOR=#000000>Sunset</B></U>\r\n" + sample), std::string::npos);
  // The body holds the pasted text alone: what was there before is gone.
  EXPECT_EQ(wine_test::WindowText(FindChildByClass(mail, "RICHCNTL")).find("This Fade Scheme was brought to you by"),
            0u);
}

TEST_F(SchemeSharing, ThreeSchemesWithoutSamplesSignedWithTheAliasOnAUKClient) {
  LiveAppOptions().UseAlias = kTrue;
  LiveAppOptions().AliasName = "Zol Alias";
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nEdition=UK\r\nScreenNames=Zolster\r\n"));
  ClientState().EditionUK = kTrue;
  ClientState().CurrentScreenName = "Zolster";
  // A mail the member already started is left as it is: the schemes go into a new one.
  HWND started = OpenEMail();
  ASSERT_TRUE(started);
  ASSERT_TRUE(wine_test::Answers(started));  // the client has made its controls
  SendMessageA(FindChildByClass(started, "RICHCNTL"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("old text"));
  Share({"Sunset", "Ocean", "Forest"});
  HWND mail = FindWindowExA(mdi_, nullptr, "AOL Child", "Write Mail");
  if (mail == started) mail = FindWindowExA(mdi_, started, "AOL Child", "Write Mail");
  ASSERT_TRUE(mail) << "no second mail window";
  EXPECT_EQ(Subject(mail), "Zip of \"Glimra\" Fade Schemes from Zol Alias");
  const std::vector<std::string> order = InListOrder({"Sunset", "Ocean", "Forest"});
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(Attached(), (std::vector<std::string>{Outgoing(order[0]), Outgoing(order[1]), Outgoing(order[2])}));
  for (const auto& attach : Events("attach")) EXPECT_EQ(attach[1], wine_test::WindowText(mail));
  for (const auto& dialog : Events("attachdialog")) EXPECT_EQ(dialog[1], "Open");
  EXPECT_EQ(PastedBody(), SharingBody({{order[0], ""}, {order[1], ""}, {order[2], ""}}, false, "Zol Alias", "1.1.9",
                                      MakerSiteFor(kTestWebServer)));
  EXPECT_NE(PastedBody().find("<I>\r3\r</B></I>"), std::string::npos);
  EXPECT_NE(PastedBody().find("<FONT COLOR=#000000>" + order[2] + ", <FONT COLOR=#000000>"), std::string::npos);
  EXPECT_EQ(wine_test::WindowText(FindChildByClass(started, "RICHCNTL")), "old text");
  EXPECT_EQ(Subject(started), "");
}

// Another program's "Open" dialog is up on the desktop the whole time: the
// path goes into the client's own dialog only.
TEST_F(SchemeSharing, AnotherProgramsOpenDialogIsLeftAlone) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nEdition=UK\r\nScreenNames=Zolster\r\n"));
  ClientState().EditionUK = kTrue;
  ClientState().CurrentScreenName = "Zolster";
  HWND other = CreateWindowExA(0, "#32770", "Open", WS_POPUP | WS_CAPTION | WS_VISIBLE, 20, 20, 300, 120, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(other);
  HWND otherEdit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, other, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  CreateWindowExA(0, "Button", "&Open", WS_CHILD | WS_VISIBLE, 10, 40, 80, 24, other, nullptr,
                  GetModuleHandleA(nullptr), nullptr);
  Share({"Ocean"});
  EXPECT_EQ(Attached(), std::vector<std::string>{Outgoing("Ocean")});
  EXPECT_EQ(wine_test::WindowText(otherEdit), "");
  EXPECT_FALSE(EMailFade().IsLoaded()) << "the mail was not finished";
  DestroyWindow(other);
}

// The member presses E-Mail again while the mail is prepared: nothing is
// attached twice. Then, on another run, Cancel stops it before the body goes in.
TEST_F(SchemeSharing, ASecondClickWaitsForNothingAndCancelStopsTheRun) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nScreenNames=Zolster\r\n"));
  ClientState().CurrentScreenName = "Zolster";
  // Clicks `button` once the client has shown its first file dialog of this run.
  const auto clickOnceAttaching = [&](UINT button) {
    const std::size_t before = Events("attachdialog").size();
    return [&, button, before] {
      if (WaitUntilFound([&] { return Events("attachdialog").size() > before; }))
        wine_test::ClickMiddle(GetDlgItem(EMailFade().hWnd(), static_cast<int>(button)));
    };
  };
  {
    BackgroundStep member(clickOnceAttaching(frmEMailFade::kCmdEmail));
    Share({"Sunset", "Ocean"});
  }
  const std::vector<std::string> order = InListOrder({"Sunset", "Ocean"});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(Attached(), (std::vector<std::string>{Outgoing(order[0]), Outgoing(order[1])}));
  EXPECT_EQ(Events("mailpaste").size(), 1u);
  EXPECT_FALSE(EMailFade().IsLoaded());

  const std::size_t dialogs = Events("attachdialog").size();
  {
    BackgroundStep member(clickOnceAttaching(frmEMailFade::kCmdExit));
    Share({"Sunset", "Ocean"});
  }
  EXPECT_EQ(Events("mailpaste").size(), 1u) << "the body went in after Cancel";
  EXPECT_LE(Events("attachdialog").size(), dialogs + 1);
  EXPECT_FALSE(EMailFade().IsLoaded()) << "Cancel closes the window";
}

TEST_F(SchemeSharing, NoSchemeOnVersionFiveAttachesNothingAndCountsZero) {
  LiveAppOptions().ShowEMailSample = kTrue;
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=5\r\nScreenNames=Zolster\r\n", "5"));
  ClientState().CurrentScreenName = "Zolster";
  Share({});
  HWND mail = FindWindowExA(mdi_, nullptr, "AOL Child", "Write Mail");
  ASSERT_TRUE(mail);
  EXPECT_EQ(Subject(mail), "Zip of \"Glimra\" Fade Schemes from Zolster");
  EXPECT_TRUE(Attached().empty());
  EXPECT_TRUE(Events("attachdialog").empty());
  ASSERT_TRUE(ClientCaughtUp(FindChildByClass(mail, "RICHCNTL"))) << "the client took no more messages";
  EXPECT_EQ(FindWindowA("_AOL_MODAL", "Attachments"), nullptr) << "opened and closed again";
  EXPECT_EQ(PastedBody(), SharingBody({}, true, "Zolster", "1.1.9", MakerSiteFor(kTestWebServer)));
}

TEST_F(SchemeSharing, HiddenAttachmentsIconGivesTextWithoutAttachmentsAndSignedOffForgetsTheName) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nSignedOn=0\r\nScreenNames=Alpha,Beta\r\nCurrent=Beta\r\n"));
  HWND mail = OpenEMail();
  ASSERT_TRUE(mail);
  ASSERT_TRUE(wine_test::Answers(mail));  // the client has made its controls
  ShowWindow(FindChildByClass(mail, "_AOL_ICON", 13), SW_HIDE);
  Share({"Ocean"});
  EXPECT_EQ(Subject(mail), "A \"Glimra\" Fade Scheme from Beta");
  EXPECT_EQ(PastedBody(), SharingBody({{"Ocean", ""}}, false, "Beta", "1.1.9", MakerSiteFor(kTestWebServer)));
  EXPECT_TRUE(Attached().empty());
  EXPECT_TRUE(Events("attachdialog").empty());
  EXPECT_EQ(wine_test::FileBytes(Outgoing("Ocean")), "<missing>");
  // Signed off: the name read from the sign-on window is not kept.
  EXPECT_EQ(ClientState().CurrentScreenName, "");
}

// A file that cannot be written (here a folder holds its name) must not let
// whatever lies under that name be attached in its place.
TEST_F(SchemeSharing, SchemeFileThatCannotBeWrittenStopsBeforeAnythingIsAttached) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nScreenNames=Zolster\r\n"));
  ClientState().CurrentScreenName = "Zolster";
  ASSERT_TRUE(CreateDirectoryA(Outgoing("Ocean").c_str(), nullptr));
  std::string told;
  {
    BackgroundStep member([&] { told = AnswerMessage(); });
    Share({"Sunset", "Ocean"});
  }
  EXPECT_EQ(told, SchemeFileNotWrittenMessage("Ocean"));
  EXPECT_TRUE(Events("attachdialog").empty());
  EXPECT_TRUE(Attached().empty());
  EXPECT_TRUE(Events("mailpaste").empty());
  EXPECT_EQ(FindWindowA("_AOL_MODAL", "Attachments"), nullptr);
}

// Another program holds the clipboard open: the body cannot go in, the
// member is told, and their picture stays on the clipboard.
TEST_F(SchemeSharing, AHeldClipboardIsToldAndLeftAsItWas) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nScreenNames=Zolster\r\n"));
  ClientState().CurrentScreenName = "Zolster";
  ASSERT_TRUE(wine_test::PutClipboardPicture(9, 4));
  std::string told;
  {
    wine_test::ClipboardHolder other;
    ASSERT_TRUE(other.Holding()) << "the other program could not open the clipboard";
    BackgroundStep member([&] { told = AnswerMessage(); });
    Share({"Sunset"});
  }
  EXPECT_EQ(told, kSharingClipboardBusyMessage);
  EXPECT_TRUE(Events("mailpaste").empty());
  EXPECT_TRUE(wine_test::ClipboardHoldsPicture(9, 4));
  EXPECT_TRUE(EMailFade().Visible()) << "the window stays for another try";
}

TEST_F(SchemeSharing, NoMailWindowInTimeShowsItsMessageAndDoesNothingElse) {
  ASSERT_NO_FATAL_FAILURE(StartClient("Version=4\r\nScreenNames=Zolster\r\nMailDelay=30000\r\n"));
  ClientState().CurrentScreenName = "Zolster";
  std::string told;
  {
    BackgroundStep member([&] { told = AnswerMessage(); });
    Share({"Sunset"});
  }
  EXPECT_EQ(told, kNoMailWindowMessage);
  EXPECT_TRUE(EMailFade().Visible()) << "the window stays for another try";
  EXPECT_EQ(FindWindowExA(mdi_, nullptr, "AOL Child", "Write Mail"), nullptr);
  EXPECT_TRUE(Events("attachdialog").empty());
  EXPECT_TRUE(Events("mailpaste").empty());
  EXPECT_EQ(wine_test::FileBytes(Outgoing("Sunset")), "<missing>");
}

}  // namespace
}  // namespace glimra
