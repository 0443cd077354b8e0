#include "shell/ReloadChatTools.h"

#include "chat/ChatFader.h"
#include "chat/frmChatTools.h"
#include "shell/frmAbout.h"

namespace glimra {

void ReloadChatTools() {
  const bool visible = ChatTools().Visible();
  frmAbout& about = AboutBox();
  const bool aboutOpen = about.IsLoaded();
  if (!aboutOpen) about.Load();
  RebuildChatTools(visible);
  if (!aboutOpen) about.Unload();
}

}  // namespace glimra
