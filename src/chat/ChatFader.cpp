#include "chat/ChatFader.h"

#include <memory>
#include <vector>

#include "aol/modAOLFunctions.h"
#include "chat/ChatInterception.h"
#include "chat/frmChatTools.h"
#include "runtime/Forms.h"
#include "runtime/OutsideLibraries.h"

namespace glimra {

namespace {

// The chat tools window as the interception sees it.
class ChatToolsWindowHost : public ChatToolsHost {
 public:
  FormWindow& HostForm() override { return ChatTools(); }
  void ShowChatTools() override { ChatTools().Show(false); }
  void HideChatTools() override { ChatTools().Hide(); }
  bool ChatToolsVisible() override { return ChatTools().Visible(); }
  void FadeOn() override { ChatTools().FadeOn(); }
  void FadeOff() override { ChatTools().FadeOff(); }
  void UnloadAll() override { UnloadAllForms(); }
};

ChatToolsWindowHost& Host() {
  static ChatToolsWindowHost host;
  return host;
}

std::unique_ptr<ChatInterception>& Current() {
  static std::unique_ptr<ChatInterception> current;
  return current;
}

// An interception whose window was unloaded may still be inside one of its
// own events (the AOL close runs the unload), so it is kept, detached, until
// the program ends.
std::vector<std::unique_ptr<ChatInterception>>& Retired() {
  static std::vector<std::unique_ptr<ChatInterception>> retired;
  return retired;
}

// True while RebuildChatTools has the window away.
bool& Rebuilding() {
  static bool rebuilding = false;
  return rebuilding;
}

void Detach(ChatInterception& interception) {
  for (auto* control : {&interception.sbcChatEdit, &interception.sbcSendIcon, &interception.sbcMenu})
    if (*control) (*control)->SetHWnd(0);
}

}  // namespace

ChatInterception* ChatFader() { return Current().get(); }

void InstallChatFader() {
  ChatToolsHooks& hooks = ChatToolsExtensions();
  hooks.attach = [](frmChatTools&) {
    if (Rebuilding() && Current()) return;
    if (Current()) Retired().push_back(std::move(Current()));
    Current() = std::make_unique<ChatInterception>(Host(), SystemSubClassFactory());
    Current()->AttachMenu(AOLFrame());
  };
  hooks.timer = [](frmChatTools&) {
    if (Current()) Current()->Timer1_Timer();
  };
  hooks.unload = [](frmChatTools&) {
    ChatToolsShown() = kFalse;
    if (Current() && !Rebuilding()) Detach(*Current());
  };
}

void RebuildChatTools(bool show) {
  const VBBool shownForRoom = ChatToolsShown();
  frmChatTools& tools = ChatTools();
  struct Flag {
    explicit Flag(frmChatTools& form) : tools(form) { Rebuilding() = tools.KeepLiveFade = true; }
    ~Flag() { Rebuilding() = tools.KeepLiveFade = false; }
    frmChatTools& tools;
  } rebuilding(tools);
  tools.Unload();
  if (show)
    tools.Show(false);
  else
    tools.Load();
  ChatToolsShown() = shownForRoom;
}

}  // namespace glimra
