#pragma once
#include <sys/types.h>

// A child started in a process group of its own (the print command), which
// must not outlive the program: neither when the program stops waiting for
// it nor when a signal ends the program during the wait.
namespace child_group {

// Asks the group to end (SIGTERM), gives its leader up to 200 ms, then kills
// the group. Leaves the leader to be reaped. Safe in a signal handler.
void end(pid_t leader);

// While one lives, whatever ends the program before it could end the child
// itself (a signal, a terminal that is gone) ends the watched group first:
// it is one of the undoings of system/ExitCleanup. Between construction and
// watch() the signals that end the program wait, so a child started there
// cannot escape.
class EndWithProgram {
public:
    EndWithProgram();
    ~EndWithProgram();
    EndWithProgram(const EndWithProgram&) = delete;
    EndWithProgram& operator=(const EndWithProgram&) = delete;

    // The group to end (0: none, such as after a failed start); lets the
    // signals through again.
    void watch(pid_t leader);
    // Once the leader is reaped: its number may be given to another process.
    void forget();
};

}  // namespace child_group
