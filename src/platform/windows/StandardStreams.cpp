#include <io.h>

#include "platform/Platform.h"

namespace platform {

// Files are opened as handles, never as descriptors 0 to 2, so a missing
// standard stream cannot be taken over by one.
bool standardStreamsOpen() { return true; }

bool errorIsTerminal() { return ::_isatty(2) != 0; }

}  // namespace platform
