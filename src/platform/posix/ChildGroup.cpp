#include "platform/posix/ChildGroup.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>

#include <cerrno>

namespace child_group {

namespace {

// The child may cancel what it half did when asked to stop; it gets this long.
constexpr int STOP_GRACE_MILLISECONDS = 200;
constexpr int EXIT_CHECK_MILLISECONDS = 10;
constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int ENDING_SIGNAL_COUNT = sizeof ENDING_SIGNALS / sizeof ENDING_SIGNALS[0];

volatile sig_atomic_t watchedLeader = 0;
struct sigaction previousActions[ENDING_SIGNAL_COUNT];
bool replaced[ENDING_SIGNAL_COUNT] = {};
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

void endWatchedGroupThenPassOn(int signalNumber) {
    const int savedErrno = errno;
    if (const pid_t leader = watchedLeader; leader > 0) end(leader);
    for (int index = 0; index < ENDING_SIGNAL_COUNT; ++index)
        if (ENDING_SIGNALS[index] == signalNumber) ::sigaction(signalNumber, &previousActions[index], nullptr);
    // Blocked until this handler returns; then handled as it was before.
    ::raise(signalNumber);
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

EndOnSignal::EndOnSignal() {
    const sigset_t ending = endingSignals();
    ::sigprocmask(SIG_BLOCK, &ending, &previousMask);
    for (int index = 0; index < ENDING_SIGNAL_COUNT; ++index) {
        ::sigaction(ENDING_SIGNALS[index], nullptr, &previousActions[index]);
        // An ignored signal ends nothing, so it need not end the child.
        replaced[index] = previousActions[index].sa_handler != SIG_IGN;
        if (!replaced[index]) continue;
        struct sigaction action{};
        action.sa_handler = endWatchedGroupThenPassOn;
        action.sa_mask = ending;
        action.sa_flags = SA_RESTART;
        ::sigaction(ENDING_SIGNALS[index], &action, nullptr);
    }
}

EndOnSignal::~EndOnSignal() {
    watchedLeader = 0;
    for (int index = 0; index < ENDING_SIGNAL_COUNT; ++index)
        if (replaced[index]) ::sigaction(ENDING_SIGNALS[index], &previousActions[index], nullptr);
    ::sigprocmask(SIG_SETMASK, &previousMask, nullptr);
}

void EndOnSignal::watch(pid_t leader) {
    watchedLeader = leader;
    ::sigprocmask(SIG_SETMASK, &previousMask, nullptr);
}

void EndOnSignal::forget() { watchedLeader = 0; }

}  // namespace child_group
