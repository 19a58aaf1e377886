#include "platform/posix/ChildGroup.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>

#include <cerrno>

#include "system/ExitCleanup.h"

namespace child_group {

namespace {

// The child may cancel what it half did when asked to stop; it gets this long.
constexpr int STOP_GRACE_MILLISECONDS = 200;
constexpr int EXIT_CHECK_MILLISECONDS = 10;
constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile sig_atomic_t watchedLeader = 0;
sigset_t previousMask;

long long monotonicMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Looks without reaping, so the leader stays a zombie whose number no other
// process can take until its parent waits for it.
bool hasExited(pid_t leader) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(leader), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return errno != EINTR;
    return info.si_pid == leader;
}

sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : ENDING_SIGNALS) sigaddset(&set, signalNumber);
    return set;
}

// An undoing at exit: safe in a signal handler, as end() is.
void endWatchedGroup() {
    const int savedErrno = errno;
    if (const pid_t leader = watchedLeader; leader > 0) end(leader);
    errno = savedErrno;
}

}  // namespace

void end(pid_t leader) {
    ::kill(-leader, SIGTERM);
    const long long deadline = monotonicMilliseconds() + STOP_GRACE_MILLISECONDS;
    while (!hasExited(leader) && monotonicMilliseconds() < deadline) ::poll(nullptr, 0, EXIT_CHECK_MILLISECONDS);
    ::kill(-leader, SIGKILL);
    ::kill(leader, SIGKILL);  // should the leader have left its group
}

EndWithProgram::EndWithProgram() {
    const sigset_t ending = endingSignals();
    ::sigprocmask(SIG_BLOCK, &ending, &previousMask);
    exit_cleanup::add(endWatchedGroup);
}

EndWithProgram::~EndWithProgram() {
    watchedLeader = 0;
    ::sigprocmask(SIG_SETMASK, &previousMask, nullptr);
}

void EndWithProgram::watch(pid_t leader) {
    watchedLeader = leader;
    ::sigprocmask(SIG_SETMASK, &previousMask, nullptr);
}

void EndWithProgram::forget() { watchedLeader = 0; }

}  // namespace child_group
