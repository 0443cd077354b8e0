// The SubClass control of dwsbc36.ocx, watching the tests' own target
// program: what its windows received, and in which order.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "TargetProgram.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {
namespace {

using wine_test::PumpUntil;
using wine_test::TargetProgram;

WindowHandle Handle(HWND window) { return HandleToULong(window); }

struct Seen {
  WindowHandle hwnd;
  std::uint32_t msg;
  std::intptr_t wp;
};

// A control with a message list that records every event it raises.
struct Watcher {
  explicit Watcher(std::vector<std::uint32_t> messages) : control(CreateSubClass(0)) {
    control->SetMessages(messages);
    control->OnWndMessageX([this](WindowHandle hwnd, std::uint32_t msg, std::intptr_t wp, std::intptr_t lp,
                                  std::intptr_t& retval, std::int32_t& nodef) {
      seen.push_back({hwnd, msg, wp});
      if (onMessage) onMessage(msg, wp, lp, retval, nodef);
    });
    control->OnDelayedEvent([this](std::int32_t value) { delayed.push_back(value); });
  }
  std::unique_ptr<SubClassControl> control;
  std::vector<Seen> seen;
  std::vector<std::int32_t> delayed;
  std::function<void(std::uint32_t, std::intptr_t, std::intptr_t, std::intptr_t&, std::int32_t&)> onMessage;
};

class SubClassWin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(target.Started()); }
  TargetProgram target;
};

TEST_F(SubClassWin, WatchedCharPassesOrIsSwallowedWithTheChosenResult) {
  Watcher chat({WM_CHAR});
  std::string logWhenSeen;
  chat.onMessage = [&](std::uint32_t, std::intptr_t wp, std::intptr_t, std::intptr_t& retval, std::int32_t& nodef) {
    logWhenSeen += target.Log();
    if (wp == 'x') {
      nodef = 1;
      retval = 77;
    }
  };
  chat.control->SetHWnd(Handle(target.box));
  EXPECT_EQ(chat.control->GetHWnd(), Handle(target.box));

  EXPECT_EQ(SendMessageA(target.box, WM_CHAR, 'x', 0), 77);
  EXPECT_EQ(SendMessageA(target.box, WM_CHAR, 'y', 0), 1000 + 'y');  // the box's own answer

  ASSERT_EQ(chat.seen.size(), 2u);
  EXPECT_EQ(chat.seen[0].hwnd, Handle(target.box));
  EXPECT_EQ(chat.seen[0].wp, 'x');
  EXPECT_EQ(chat.seen[1].wp, 'y');
  EXPECT_FALSE(target.Logged("box char 120"));  // swallowed
  EXPECT_TRUE(target.Logged("box char 121"));
  // The handler ran before the box's procedure saw the character.
  EXPECT_EQ(logWhenSeen.find("box char 121"), std::string::npos) << logWhenSeen;
}

TEST_F(SubClassWin, OnlyListedMessagesRaiseEvents) {
  Watcher icon({WM_LBUTTONDOWN});
  icon.control->SetHWnd(Handle(target.icon));
  SendMessageA(target.icon, WM_LBUTTONUP, 0, 0);
  SendMessageA(target.icon, WM_LBUTTONDOWN, 0, 0);
  ASSERT_EQ(icon.seen.size(), 1u);
  EXPECT_EQ(icon.seen[0].msg, static_cast<std::uint32_t>(WM_LBUTTONDOWN));
  EXPECT_TRUE(target.Logged("icon button 514"));
  EXPECT_TRUE(target.Logged("icon button 513"));
}

TEST_F(SubClassWin, DelayedEventFiresOnceAfterTheMessageReturned) {
  Watcher menu({WM_COMMAND});
  std::string logAtDelayed;
  menu.onMessage = [&](std::uint32_t, std::intptr_t wp, std::intptr_t, std::intptr_t&, std::int32_t&) {
    if (LOWORD(wp) == 777) menu.control->SetDelayedEvent(555);
  };
  menu.control->OnDelayedEvent([&](std::int32_t value) {
    menu.delayed.push_back(value);
    logAtDelayed = target.Log();
  });
  menu.control->SetHWnd(Handle(target.frame));

  // As from the target's own message loop: the frame takes 300 ms over 777.
  PostMessageA(target.frame, WM_COMMAND, 777, 0);
  ASSERT_TRUE(PumpUntil([&] { return !menu.delayed.empty(); }));
  // A second delayed event for 777 would be posted before the frame takes the next command.
  PostMessageA(target.frame, WM_COMMAND, 1001, 0);
  ASSERT_TRUE(PumpUntil([&] { return target.Logged("frame command 1001"); }));
  wine_test::RunPendingEvents();

  EXPECT_EQ(menu.delayed, std::vector<std::int32_t>{555});
  EXPECT_NE(logAtDelayed.find("frame command 777 done"), std::string::npos) << logAtDelayed;
}

TEST_F(SubClassWin, DelayedEventOutsideAHandlerFiresAtTheNextEvents) {
  Watcher menu({WM_COMMAND});
  menu.control->SetDelayedEvent(16);
  EXPECT_TRUE(menu.delayed.empty());  // never inside the assignment
  ASSERT_TRUE(PumpUntil([&] { return !menu.delayed.empty(); }));
  EXPECT_EQ(menu.delayed, std::vector<std::int32_t>{16});
}

TEST_F(SubClassWin, ThreeInstancesOnOneProcessWorkSideBySide) {
  Watcher chat({WM_CHAR}), send({WM_LBUTTONDOWN, WM_LBUTTONUP}), menu({WM_CLOSE, WM_COMMAND});
  menu.onMessage = [&](std::uint32_t msg, std::intptr_t, std::intptr_t, std::intptr_t& retval, std::int32_t& nodef) {
    if (msg == WM_CLOSE) {
      nodef = 1;
      retval = 0;
    }
  };
  chat.control->SetHWnd(Handle(target.box));
  send.control->SetHWnd(Handle(target.icon));
  menu.control->SetHWnd(Handle(target.frame));

  SendMessageA(target.box, WM_CHAR, 13, 0);
  SendMessageA(target.icon, WM_LBUTTONDOWN, 0, 0);
  SendMessageA(target.icon, WM_LBUTTONUP, 0, 0);
  SendMessageA(target.frame, WM_COMMAND, 1001, 0);
  SendMessageA(target.frame, WM_CLOSE, 0, 0);

  ASSERT_EQ(chat.seen.size(), 1u);
  EXPECT_EQ(chat.seen[0].hwnd, Handle(target.box));
  ASSERT_EQ(send.seen.size(), 2u);
  EXPECT_EQ(send.seen[0].hwnd, Handle(target.icon));
  ASSERT_EQ(menu.seen.size(), 2u);
  EXPECT_EQ(menu.seen[0].msg, static_cast<std::uint32_t>(WM_COMMAND));
  EXPECT_EQ(menu.seen[1].msg, static_cast<std::uint32_t>(WM_CLOSE));
  EXPECT_TRUE(target.Logged("box char 13"));
  EXPECT_TRUE(target.Logged("icon button 513"));
  EXPECT_TRUE(target.Logged("frame command 1001"));
  EXPECT_FALSE(target.Logged("frame close"));
  EXPECT_TRUE(IsWindow(target.frame));
}

TEST_F(SubClassWin, DetachingRestoresNormalDelivery) {
  Watcher chat({WM_CHAR});
  chat.onMessage = [](std::uint32_t, std::intptr_t, std::intptr_t, std::intptr_t&, std::int32_t& nodef) { nodef = 1; };
  chat.control->SetHWnd(Handle(target.box));
  EXPECT_EQ(target.OwnProcedures(), 2);
  SendMessageA(target.box, WM_CHAR, 'a', 0);

  chat.control->SetHWnd(0);
  EXPECT_EQ(chat.control->GetHWnd(), 0u);
  EXPECT_EQ(SendMessageA(target.box, WM_CHAR, 'b', 0), 1000 + 'b');
  EXPECT_EQ(chat.seen.size(), 1u);
  EXPECT_FALSE(target.Logged("box char 97"));
  EXPECT_TRUE(target.Logged("box char 98"));
  EXPECT_EQ(target.OwnProcedures(), 3);  // the box runs its own procedure again
}

TEST_F(SubClassWin, KillingTheTargetWhileAttachedLeavesTheWatcherRunning) {
  Watcher chat({WM_CHAR}), send({WM_LBUTTONDOWN}), menu({WM_COMMAND});
  chat.control->SetHWnd(Handle(target.box));
  send.control->SetHWnd(Handle(target.icon));
  menu.control->SetHWnd(Handle(target.frame));
  const HWND box = target.box, icon = target.icon, frame = target.frame;
  target.Kill();
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box) && !IsWindow(icon) && !IsWindow(frame); }));
  const ULONGLONG start = GetTickCount64();
  chat.control->SetHWnd(0);
  send.control->SetHWnd(0);
  menu.control->SetHWnd(0);
  EXPECT_LT(GetTickCount64() - start, 3000u);

  // The same control watches a new target as before.
  TargetProgram second;
  ASSERT_TRUE(second.Started());
  chat.control->SetHWnd(Handle(second.box));
  SendMessageA(second.box, WM_CHAR, 'z', 0);
  ASSERT_EQ(chat.seen.size(), 1u);
  EXPECT_EQ(chat.seen[0].hwnd, Handle(second.box));
}

TEST_F(SubClassWin, DestroyingTheWatchedWindowLeavesBothSidesRunning) {
  Watcher chat({WM_CHAR});
  chat.control->SetHWnd(Handle(target.box));
  SendMessageA(target.frame, WM_COMMAND, 900, 0);  // the target destroys its box
  EXPECT_FALSE(IsWindow(target.box));
  // What the box's end posted to the watcher.
  wine_test::RunPendingEvents();
  EXPECT_EQ(chat.control->GetHWnd(), Handle(target.box));  // the handle last assigned
  chat.control->SetHWnd(0);
  SendMessageA(target.frame, WM_COMMAND, 1001, 0);
  EXPECT_TRUE(target.Logged("frame command 1001"));
}

// Child mode: watch the target's box, swallowing everything, then end
// without detaching.
int RunWatchAndExitChild(HWND box) {
  auto control = CreateSubClass(0);
  control->SetMessages({WM_CHAR});
  control->OnWndMessageX([](WindowHandle, std::uint32_t, std::intptr_t, std::intptr_t, std::intptr_t&,
                            std::int32_t& nodef) { nodef = 1; });
  control->SetHWnd(Handle(box));
  ExitProcess(control->GetHWnd() == Handle(box) ? 5 : 6);
}

TEST_F(SubClassWin, TheWatcherEndingWhileAttachedLeavesTheTargetWorking) {
  char argument[32];
  snprintf(argument, sizeof argument, "--watch-and-exit %lu", HandleToULong(target.box));
  HANDLE child = wine_test::StartSelf(argument);
  ASSERT_NE(child, nullptr);
  ASSERT_EQ(WaitForSingleObject(child, wine_test::kPatienceMs), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child, &exitCode);
  CloseHandle(child);
  ASSERT_EQ(exitCode, 5u);
  EXPECT_EQ(target.OwnProcedures(), 2);

  EXPECT_EQ(SendMessageA(target.box, WM_CHAR, 'q', 0), 1000 + 'q');
  EXPECT_TRUE(target.Logged("box char 113"));
  EXPECT_EQ(target.OwnProcedures(), 3);  // it noticed and stepped aside
}

}  // namespace
}  // namespace glimra

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--watch-and-exit")
    return glimra::RunWatchAndExitChild(static_cast<HWND>(ULongToHandle(std::stoul(argv[2]))));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
