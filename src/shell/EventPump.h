// The one event pump: every wait in Glimra lets pending window messages run
// through here, so timers and subclass events stay live inside any wait.
#pragma once

namespace glimra {

// Runs every message waiting in this thread's queue, then returns.
void DoEvents();

// Lets events run for `milliseconds`, sleeping while the queue is empty.
void WaitWithEvents(unsigned milliseconds);

}  // namespace glimra
