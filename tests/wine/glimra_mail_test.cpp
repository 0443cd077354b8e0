// glimra.exe beside the stand-in client, end to end with the member's own
// mouse and keyboard: the e-mail fader's toolbar comes with a Write Mail
// window, fades the sentence the member highlighted and undoes it, moves
// where it is dragged; and two schemes are shared by mail from the chat
// tools window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "GlimraProcessFixture.h"
#include "MemberInput.h"
#include "WineTestSupport.h"
#include "engine/modFade.h"
#include "settings/AppOptions.h"
#include "settings/modRegKeys.h"

namespace {

using wine_test::WaitUntilFound;

// The n-th direct child of `className` in z-order.
HWND NthChild(HWND parent, const char* className, int n) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, className) == 0 && --n == 0) return child;
  }
  return nullptr;
}

class GlimraMail : public wine_test::GlimraProcessFixture {
 protected:
  // The client signed on, Glimra started, and a Write Mail window opened by
  // the member's click on AOL's Write icon.
  void StartAndWriteMail() {
    Start("Version=4\r\nScreenNames=Zolster\r\n");
    glimra_ = StartGlimra();
    ASSERT_TRUE(glimra_);
    ASSERT_TRUE(WaitUntilFound([&] { return WindowOf(glimra_, "GlimraForm", "Glimra Chat Tools"); }))
        << "Glimra started";
    ASSERT_NO_FATAL_FAILURE(ClickWriteIcon());
    mail_ = Document("Write Mail");
    ASSERT_TRUE(mail_);
    body_ = FindWindowExA(mail_, nullptr, "RICHCNTL", nullptr);
    ASSERT_TRUE(body_);
    toolbar_ = WaitUntilFound([&] {
      HWND window = WindowOf(glimra_, "GlimraForm", "Glimra E-Fade");
      return window && IsWindowVisible(window) ? window : nullptr;
    });
    ASSERT_TRUE(toolbar_) << "the toolbar came with the mail window";
  }

  // AOL's toolbar: its second icon writes a mail.
  void ClickWriteIcon() {
    HWND bar = FindWindowExA(FindWindowExA(frame_, nullptr, "AOL Toolbar", nullptr), nullptr, "_AOL_Toolbar", nullptr);
    HWND write = WaitUntilFound([&] { return NthChild(bar, "_AOL_ICON", 2); });
    ASSERT_TRUE(wine_test::ClickOn(write));
  }

  std::string BodyMarkup() {
    const std::size_t before = Events("markup").size();
    SendMessageA(body_, RegisterWindowMessageA("WaolLogMarkup"), 0, 0);
    WaitUntilFound([&] { return Events("markup").size() > before; });
    const auto events = Events("markup");
    return events.size() > before ? events.back()[2] : "<nothing logged>";
  }

  HANDLE glimra_ = nullptr;
  HWND mail_ = nullptr, body_ = nullptr, toolbar_ = nullptr;
};

TEST_F(GlimraMail, HighlightedSentenceIsFadedAndUndoneWithTheToolbar) {
  glimra::WriteSetting("Colors", "Fade Number", "2");
  glimra::WriteSetting("Colors", "One", "255");       // red
  glimra::WriteSetting("Colors", "Two", "16711680");  // blue
  ASSERT_NO_FATAL_FAILURE(StartAndWriteMail());
  const std::string sentence = "Glimra fades this sentence.", ending = " See you!";
  ASSERT_TRUE(wine_test::ClickIntoUntilFocused(body_)) << "the mail's body takes no focus";
  // The keys are queued input: the body has them once AOL has taken them in.
  const std::string typed = "Dear Zol, " + sentence + ending;
  wine_test::TypeInto(body_, typed);
  ASSERT_EQ(wine_test::WindowText(body_), typed) << "typed into the mail";
  wine_test::PressKeyRepeatedly(VK_LEFT, static_cast<int>(ending.size()));
  wine_test::ShiftPress(VK_LEFT, static_cast<int>(sentence.size()));
  const auto selection = [&] { return static_cast<DWORD>(SendMessageA(body_, EM_GETSEL, 0, 0)); };
  const DWORD highlighted = MAKELONG(10, 10 + sentence.size());
  ASSERT_TRUE(WaitUntilFound([&] { return selection() == highlighted; }))
      << "the sentence is not highlighted: " << LOWORD(selection()) << " to " << HIWORD(selection());
  const std::string plain = BodyMarkup();

  ASSERT_TRUE(wine_test::ClickOn(GetDlgItem(toolbar_, 101)));  // the fade button
  ASSERT_TRUE(WaitUntilFound([&] { return !Events("mailpaste").empty(); }));
  const std::string faded = Faded(sentence);
  EXPECT_EQ(Events("mailpaste")[0][2], faded);
  const std::string shown = BodyMarkup();
  EXPECT_NE(shown.find("Dear Zol, " + faded), std::string::npos) << shown;
  EXPECT_EQ(wine_test::WindowText(body_), "Dear Zol, " + sentence + ending);

  ASSERT_TRUE(wine_test::ClickOn(GetDlgItem(toolbar_, 102)));  // undo
  EXPECT_TRUE(WaitUntilFound([&] { return BodyMarkup() == plain; })) << BodyMarkup();

  // Closing the mail takes the toolbar away.
  PostMessageA(mail_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntilFound([&] { return !IsWindow(toolbar_); }));
}

TEST_F(GlimraMail, ToolbarGoesWhereItIsDraggedAndStaysThereNextTime) {
  ASSERT_NO_FATAL_FAILURE(StartAndWriteMail());
  RECT before{};
  GetWindowRect(toolbar_, &before);
  ASSERT_TRUE(wine_test::WaitUntilReady(GetDlgItem(toolbar_, 105)));
  ASSERT_TRUE(wine_test::DragBy(GetDlgItem(toolbar_, 105), {20, 5}, -60, 80))  // the drag bar
      << "the toolbar did not take the press on its drag bar";
  // The drag is over once the toolbar has moved and stored where it stands.
  RECT after{};
  ASSERT_TRUE(WaitUntilFound([&] {
    GetWindowRect(toolbar_, &after);
    return after.top != before.top && glimra::ReadSetting("E-Fade", "Top") == std::to_string(after.top * 15) &&
           glimra::ReadSetting("E-Fade", "Left") == std::to_string(after.left * 15);
  })) << "the toolbar did not move, or did not store its place";
  EXPECT_NEAR(after.left - before.left, -60, 2);
  EXPECT_NEAR(after.top - before.top, 80, 2);
  EXPECT_EQ(glimra::ReadSetting("E-Fade", "Top"), std::to_string(after.top * 15));
  EXPECT_EQ(glimra::ReadSetting("E-Fade", "Left"), std::to_string(after.left * 15));

  // The next mail window brings the toolbar back where it was left.
  PostMessageA(mail_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntilFound([&] { return !IsWindow(toolbar_); }));
  ASSERT_NO_FATAL_FAILURE(ClickWriteIcon());
  HWND again = WaitUntilFound([&] {
    HWND window = WindowOf(glimra_, "GlimraForm", "Glimra E-Fade");
    return window && IsWindowVisible(window) ? window : nullptr;
  });
  ASSERT_TRUE(again);
  RECT placed{};
  GetWindowRect(again, &placed);
  EXPECT_EQ(placed.left, after.left);
  EXPECT_EQ(placed.top, after.top);
}

TEST_F(GlimraMail, TwoSchemesSharedFromTheChatToolsWindow) {
  for (const char* name : {"Sunset", "Ocean", "Forest"}) {
    const std::string key = std::string("Schemes\\") + name;
    glimra::WriteSetting(key, "Fade Number", "2");
    glimra::WriteSetting(key, "One", "255");
    glimra::WriteSetting(key, "Two", "16711680");
    for (const char* style : {"Wavy", "Bold", "Italic", "ULine"}) glimra::WriteSetting(key, style, "False");
  }
  ASSERT_NO_FATAL_FAILURE(StartAndWriteMail());
  ASSERT_TRUE(wine_test::ClickOn(GetDlgItem(toolbar_, 103)));  // the control panel button
  HWND tools = WaitUntilFound([&] {
    HWND window = WindowOf(glimra_, "GlimraForm", "Glimra Chat Tools");
    return window && IsWindowVisible(window) ? window : nullptr;
  });
  ASSERT_TRUE(tools);
  ASSERT_TRUE(wine_test::ClickOn(GetDlgItem(tools, 154)));  // E-Mail
  HWND sharing = WaitUntilFound([&] { return WindowOf(glimra_, "GlimraForm", "E-Mail Fades"); });
  ASSERT_TRUE(sharing);
  // The window is found as soon as it exists; its list comes a moment later.
  HWND list = WaitUntilFound([&] { return GetDlgItem(sharing, 101); });
  ASSERT_TRUE(list && wine_test::WaitUntilReady(list)) << "the schemes list did not come up";
  const auto height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const auto indexOf = [&](const char* name) {
    return static_cast<int>(
        SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)));
  };
  std::vector<std::string> chosen;
  for (const char* name : {"Sunset", "Forest"}) {
    const int index = indexOf(name);
    ASSERT_GE(index, 0) << name;
    wine_test::ClickAt(list, {20, index * height + height / 2});
  }
  WaitUntilFound([&] {
    return SendMessageA(list, LB_GETSEL, indexOf("Sunset"), 0) > 0 &&
           SendMessageA(list, LB_GETSEL, indexOf("Forest"), 0) > 0;
  });
  // Both highlighted, in list order.
  for (int i = 0, n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); i < n; ++i)
    for (const char* name : {"Sunset", "Forest"})
      if (SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) == i &&
          SendMessageA(list, LB_GETSEL, i, 0) > 0)
        chosen.push_back(name);
  ASSERT_EQ(chosen.size(), 2u) << "two schemes highlighted by the member";
  ASSERT_TRUE(wine_test::ClickOn(GetDlgItem(sharing, 102)));  // E-Mail
  ASSERT_TRUE(WaitUntilFound([&] { return !IsWindow(sharing); })) << "the mail was prepared";

  EXPECT_EQ(wine_test::WindowText(NthChild(mail_, "_AOL_EDIT", 3)), "Zip of \"Glimra\" Fade Schemes from Zolster");
  const auto attached = Events("attach");
  ASSERT_EQ(attached.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i)
    EXPECT_NE(attached[i][2].find("outgoing\\\\" + chosen[i] + ".fde"), std::string::npos) << attached[i][2];
  const auto pastes = Events("mailpaste");
  ASSERT_FALSE(pastes.empty());
  const std::string& body = pastes.back()[2];
  EXPECT_NE(body.find("These Fade Schemes were brought to you by <B>Zolster </B>"), std::string::npos) << body;
  EXPECT_NE(body.find("<I>\\r2\\r</B></I>"), std::string::npos) << body;
  for (const std::string& name : chosen)
    EXPECT_NE(body.find("<B><U><FONT COLOR=#000000>" + name + "</B></U>"), std::string::npos) << name;
}

}  // namespace
