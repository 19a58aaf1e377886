#pragma once

// Signals reach the waiting code through a self-pipe, so a wait in poll()
// wakes for them without any polling loop.
namespace signal_events {

void install();
// Only the ending signals' handlers, for a run without screens.
void installEnding();
// The read end of the self-pipe, for poll().
int wakeDescriptor();
// Drains the pipe; true when the screen must be repainted (resize, resume).
bool takeRepaintRequest();

}  // namespace signal_events
