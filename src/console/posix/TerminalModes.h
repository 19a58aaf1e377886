#pragma once

// Raw keyboard, drawing modes and their undoing. restoreTerminal() only makes
// async-signal-safe calls, so the signal handlers use it too.
namespace terminal_modes {

void enterProgramModes();
void restoreTerminal();
bool inputIsTerminal();
bool outputIsTerminal();

}  // namespace terminal_modes
