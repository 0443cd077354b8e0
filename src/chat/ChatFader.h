// Puts the send interception into the chat tools window: the window's load
// makes it and attaches to the AOL main window, its timer ticks it.
#pragma once

namespace glimra {

class ChatInterception;

// Installs the chat tools window's hooks; call before the window first loads.
void InstallChatFader();

// The interception of the loaded chat tools window; null before it loads.
ChatInterception* ChatFader();

}  // namespace glimra
