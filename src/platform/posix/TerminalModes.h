#pragma once
#include <string_view>

// Raw keyboard, drawing modes and their undoing. enterProgramModes() and
// restoreTerminal() only make async-signal-safe calls, so the signal handlers
// use them too; each does its work once until the other undoes it, so any
// number of suspends and resumes stay balanced.
namespace terminal_modes {

void enterProgramModes();
void restoreTerminal();
// The window title's sequence: written now, and again on every resume.
void setTitleSequence(std::string_view sequence);
bool inputIsTerminal();
bool outputIsTerminal();

}  // namespace terminal_modes
