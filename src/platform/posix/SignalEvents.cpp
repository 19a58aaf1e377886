#include "platform/posix/SignalEvents.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "platform/posix/TerminalModes.h"
#include "system/ExitCleanup.h"

namespace signal_events {

namespace {

int wakePipe[2] = {-1, -1};
bool installed = false;

void notify() {
    const int savedErrno = errno;
    const char byte = 'r';
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void onResize(int) { notify(); }

void onContinue(int);

void onSuspend(int) {
    const int savedErrno = errno;
    terminal_modes::restoreTerminal();
    ::signal(SIGTSTP, SIG_DFL);
    // The stop must be able to arrive while this handler still runs.
    sigset_t suspendOnly;
    sigemptyset(&suspendOnly);
    sigaddset(&suspendOnly, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &suspendOnly, nullptr);
    ::raise(SIGTSTP);
    // Here after the resume, or at once where no shell does job control and
    // the kernel discarded the stop: either way the program goes on.
    onContinue(0);
    errno = savedErrno;
}

void onContinue(int) {
    const int savedErrno = errno;
    struct sigaction action{};
    action.sa_handler = onSuspend;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTSTP, &action, nullptr);
    terminal_modes::enterProgramModes();
    notify();
    errno = savedErrno;
}

// Ends the program as the signal would, but with the terminal given back
// first and no half-written copy of a data file left behind.
void onFatal(int signalNumber) {
    exit_cleanup::runAll();
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

void handle(int signalNumber, void (*handler)(int), int flags) {
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void install() {
    if (installed) return;
    installed = true;
    if (::pipe(wakePipe) == 0) {
        for (int descriptor : wakePipe) {
            ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
            ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
        }
    }
    handle(SIGWINCH, onResize, SA_RESTART);
    handle(SIGTSTP, onSuspend, SA_RESTART);
    handle(SIGCONT, onContinue, SA_RESTART);
    installEnding();
    for (int signalNumber : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        handle(signalNumber, onFatal, static_cast<int>(SA_RESETHAND | SA_NODEFER));
    // A print command that ends early must not end the program.
    ::signal(SIGPIPE, SIG_IGN);
}

void installEnding() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        handle(signalNumber, onFatal, static_cast<int>(SA_RESETHAND));
}

int wakeDescriptor() { return wakePipe[0]; }

bool takeRepaintRequest() {
    char buffer[64];
    bool requested = false;
    while (::read(wakePipe[0], buffer, sizeof buffer) > 0) requested = true;
    return requested;
}

}  // namespace signal_events
