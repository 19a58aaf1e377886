// The printer tests run lp without the terminal: there are no keys to keep
// while it runs.
#include "platform/posix/TerminalInput.h"

namespace terminal_input {

int descriptor() { return -1; }
int limitWait(int milliseconds) { return milliseconds; }
void takeAvailable() {}

}  // namespace terminal_input
