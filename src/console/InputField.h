#pragma once
#include <string>

class ConsoleScreen;

// The one way typed text enters the system: a field of maxLength cells at a
// fixed position, echoed key by key. Returns the text on Enter, or exactly
// "escape" on Escape.
std::string readInputField(ConsoleScreen& screen, int maxLength, int row, int column);
