#pragma once
#include <string>
#include <string_view>

#include "console/ConsoleDevice.h"
#include "console/Cp850.h"

// What a system must give the program besides the console's terminal
// (console/ConsoleDevice.h): the standard streams, printing, calendar,
// character set. (Its file calls: FilePrimitives.h.) Exactly one
// implementation is linked: the terminal (src/platform/posix), the Windows
// console (src/platform/windows) or the scripted stand-in of the tests.
namespace platform {

// For a task of the command line, which leaves the terminal as it is:
// Ctrl+C, SIGTERM and SIGHUP (on Windows Ctrl+C and closing the window) end
// the program through the same undoing as the screens (system/ExitCleanup).
void endThroughCleanupOnInterrupt();

// Whether standard error is a terminal, where progress may be shown.
bool errorIsTerminal();
// False, after saying why on standard error, when standard output is a
// terminal that cannot place the cursor. Checked once, before open().
bool canShowScreens();

// False, with a message on standard error where there is one, when standard
// input, output or error is closed: whatever the program opened next would
// take its place.
bool standardStreamsOpen();

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
};
// The local date, for what the program dates (printed lists).
CalendarDate today();

enum class PrintOutcome { Accepted, Refused, NotConfirmed };
struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Refused;
    // Why it was refused or not confirmed: the printing system's first error
    // line, or the program's own words when it never answered. UTF-8.
    std::string reason;
};
// Hands a job of UTF-8 text to the printing system. Returns within a few
// seconds, whatever the printing system does.
PrintResult printText(std::string_view utf8Text, std::string_view jobTitle);

// The locale's set on a terminal system, code page 850 on Windows.
TextCharset textCharset();

}  // namespace platform
