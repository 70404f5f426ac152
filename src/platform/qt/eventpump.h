#pragma once

namespace platform {

// Runs the events that are pending, once, and returns.
void DoEvents();

// Lets events run for about `ms` milliseconds, sleeping in between: the waiting loops of the
// program wake on this short timer instead of spinning a core. EndWaits ends every wait that
// runs at once: what a waiting loop waits for has happened.
void WaitEvents(int ms);
void EndWaits();

// The screen's mouse pointer: 11 the hourglass, 0 the default.
void SetScreenPointer(int vbPointer);
int ScreenPointer();

}  // namespace platform
