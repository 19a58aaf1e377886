#pragma once

// The terminal's keys while the program waits for something else (the print
// command): the bytes are read as they come, so that each keeps the time it
// arrived, and the keys are kept for what asks next.
namespace terminal_input {

// The descriptor to watch for typed bytes; -1 when there is none to read
// (the terminal is not open, or its input has ended).
int descriptor();
// The wait the caller meant (-1: none), shortened to when a pending Escape
// completes, so that a key typed after it is not taken as Alt+key.
int limitWait(int milliseconds);
// Reads what the descriptor holds now into the keys kept, and completes a
// pending Escape whose time has come; never blocks.
void takeAvailable();

}  // namespace terminal_input
