// The one event pump: every wait in Glimra lets pending window messages run
// through here, so timers and subclass events stay live inside any wait.
// Waiting sleeps in MsgWaitForMultipleObjects: it costs no CPU.
#pragma once

#include <functional>

namespace glimra {

// Runs every message waiting in this thread's queue, then returns.
void DoEvents();

// Lets events run until `done` holds or `milliseconds` have passed (a
// monotonic clock); returns whether `done` held. kWaitForever waits for ever.
// `done` is checked after every batch of messages and, when it watches
// something outside this thread (another program's windows), every `pollMs`.
constexpr unsigned kWaitForever = 0xFFFFFFFFu;
bool PumpUntil(const std::function<bool()>& done, unsigned milliseconds = kWaitForever, unsigned pollMs = 0);

// Lets events run for `milliseconds`.
void WaitWithEvents(unsigned milliseconds);

}  // namespace glimra
