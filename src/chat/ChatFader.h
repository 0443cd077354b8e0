// Puts the send interception into the chat tools window: the window's load
// makes it and attaches to the AOL main window, its timer ticks it.
#pragma once

namespace glimra {

class ChatInterception;

// Installs the chat tools window's hooks; call before the window first loads.
void InstallChatFader();

// The interception of the loaded chat tools window; null before it loads.
ChatInterception* ChatFader();

// Unloads the chat tools window and loads it again (shown when `show`), so
// that it takes new colours. The interception stays as it is meanwhile: the
// room keeps its hook, a multi-line send under way ends on the same hook,
// and whether the timer showed the window for the current room is kept (a
// window the member hid stays hidden).
void RebuildChatTools(bool show);

}  // namespace glimra
