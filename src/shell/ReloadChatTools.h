// Giving the chat tools window new colours: it is rebuilt, shown again only
// when it was showing.
#pragma once

namespace glimra {

// Rebuilds the chat tools window in the current look while the about box is
// loaded hidden, so that one Glimra window stays loaded meanwhile. An about
// box the member has open stays open.
void ReloadChatTools();

}  // namespace glimra
