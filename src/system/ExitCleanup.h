#pragma once

// What must be undone when the program ends before it could undo it itself
// (a fatal signal, a terminal that is gone, Ctrl+C on Windows): a temporary
// file to remove, terminal modes to give back. Whoever makes such a state
// registers how to undo it; the code that ends the program runs them all,
// knowing nothing of what they are. Each action checks for itself whether
// there is anything to undo.
namespace exit_cleanup {

using Action = void (*)();

// Registers `action`, once however often it is given; at most a few. Not
// from a signal handler.
void add(Action action);

// Runs the registered actions, the latest registered first. Async-signal-safe
// as long as the actions are.
void runAll();

}  // namespace exit_cleanup
