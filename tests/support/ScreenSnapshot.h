#pragma once
#include <string>

#include "support/ScriptedPlatform.h"

namespace snapshot {

// What the terminal shows as readable text, in the format of the scenario
// screens: per row its text (code page 850 as UTF-8, trailing blanks cut) and
// a line of colours, then the cursor.
std::string render(const scripted::Shown& shown);

}  // namespace snapshot
