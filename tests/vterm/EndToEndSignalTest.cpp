#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <string>

#include "EndToEndSupport.h"

// Signals while the program waits in its main menu: the ones that end it give
// the terminal back first; a suspend gives it back and takes it again.
namespace {

using namespace end_to_end;

void startAndAwaitMainScreen(PtySession& session) {
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(session.screen()); }))
        << screenDump(session.screen());
}

bool rawUnechoedInput(const termios& modes) { return (modes.c_lflag & (ECHO | ICANON)) == 0; }

struct EndingSignal {
    const char* name;
    int signalNumber;
    bool typedAsKey;  // sent through the terminal as its control key
};

class EndToEndEndingSignal : public ::testing::TestWithParam<EndingSignal> {};

TEST_P(EndToEndEndingSignal, EndsTheProgramWithTheTerminalGivenBack) {
    const EndingSignal& ending = GetParam();
    ScratchDirectory directory;
    PtySession session(programIn(directory, 49, 80));
    ASSERT_NO_FATAL_FAILURE(startAndAwaitMainScreen(session));

    if (ending.typedAsKey)
        session.send(std::string(1, static_cast<char>(ending.signalNumber == SIGINT ? 0x03 : 0x1c)));
    else
        session.sendSignal(ending.signalNumber);

    const std::optional<int> status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the program went on after " << ending.name;
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == ending.signalNumber)
        << "the caller must learn that the program was ended by the signal: " << describeWaitStatus(*status);
    expectTerminalGivenBack(session);
}

INSTANTIATE_TEST_SUITE_P(Signals, EndToEndEndingSignal,
                         ::testing::Values(EndingSignal{"CtrlC", SIGINT, true}, EndingSignal{"SIGTERM", SIGTERM, false},
                                           EndingSignal{"SIGHUP", SIGHUP, false},
                                           EndingSignal{"CtrlBackslash", SIGQUIT, true},
                                           EndingSignal{"SIGSEGV", SIGSEGV, false},
                                           EndingSignal{"SIGABRT", SIGABRT, false}),
                         [](const ::testing::TestParamInfo<EndingSignal>& info) { return info.param.name; });

TEST(EndToEndSignal, EndsWhenTheTerminalIsClosed) {
    ScratchDirectory directory;
    PtySession session(programIn(directory, 49, 80));
    ASSERT_NO_FATAL_FAILURE(startAndAwaitMainScreen(session));
    session.hangUp();
    EXPECT_TRUE(session.waitForExit().has_value()) << "the program outlived its terminal";
}

// Under a job-control shell, as in an interactive shell: the program stops,
// the shell finds the terminal as it was, and "fg" brings the program back
// in its own modes with every cell repainted.
void suspendAndResume(PtySession& session, const std::function<void()>& suspend) {
    VtermScreen& screen = session.screen();
    suspend();
    ASSERT_TRUE(session.waitForStop()) << "the program did not stop";
    ASSERT_TRUE(session.pumpUntil([&] { return screen.privateModeSet(7) && screen.cursorVisible() && !screen.altScreen(); }))
        << "the stopped program left autowrap off, the cursor hidden or the shell's screen away";
    const termios whileStopped = session.terminalModes();
    EXPECT_EQ(whileStopped.c_lflag, session.originalModes().c_lflag) << "the shell needs echo and line editing back";
    EXPECT_EQ(whileStopped.c_iflag, session.originalModes().c_iflag);

    scribbleOver(screen);
    screen.feed("\r\n");  // where the shell's "fg" leaves the cursor
    session.continueInForeground();
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen) && !anyScribbleLeft(screen); }))
        << "no full repaint after the resume" << screenDump(screen);
    EXPECT_TRUE(rawUnechoedInput(session.terminalModes())) << "raw, unechoed keys after the resume";
    EXPECT_FALSE(screen.privateModeSet(7)) << "autowrap off again after the resume";
    EXPECT_TRUE(screen.altScreen()) << "the program's own screen again after the resume";
}

int occurrences(const std::string& text, std::string_view part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

PtySession::Options underJobControl(const ScratchDirectory& directory) {
    PtySession::Options options = programIn(directory, 49, 80);
    options.underJobControlShell = true;
    return options;
}

void expectEscapeEndsWithStatusZero(PtySession& session) {
    session.send("\x1b");
    const std::optional<int> status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the program did not end after Escape" << screenDump(session.screen());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << describeWaitStatus(*status);
}

TEST(EndToEndSignal, CtrlZSuspendsAndTheResumeRepaints) {
    ScratchDirectory directory;
    PtySession session(underJobControl(directory));
    ASSERT_NO_FATAL_FAILURE(startAndAwaitMainScreen(session));
    // Three times: each suspend gives back all that the resume before took.
    for (int cycle = 1; cycle <= 3; ++cycle) {
        ASSERT_NO_FATAL_FAILURE(suspendAndResume(session, [&] { session.send("\x1a"); })) << "cycle " << cycle;
        EXPECT_EQ(occurrences(session.output(), "\x1b]2;DVD Verwaltung\x07"), cycle + 1) << "title set on resume";
    }
    // A key typed while the program is stopped is kept for it.
    session.send("\x1a");
    ASSERT_TRUE(session.waitForStop());
    session.send("1");
    session.pumpFor(std::chrono::milliseconds(100));  // its echo on the shell's screen
    session.screen().feed("\r\n");
    session.continueInForeground();
    EXPECT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(session.screen(), 25); })) << screenDump(session.screen());
    session.send("\x1b");
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(session.screen()); }));
    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
    expectTerminalGivenBack(session);
    EXPECT_EQ(occurrences(session.output(), "\x1b[22;0t"), occurrences(session.output(), "\x1b[23;0t"))
        << "window title pushes and pops unbalanced";
}

TEST(EndToEndSignal, SigtstpFromAnotherProcessSuspendsLikeCtrlZ) {
    ScratchDirectory directory;
    PtySession session(underJobControl(directory));
    ASSERT_NO_FATAL_FAILURE(startAndAwaitMainScreen(session));
    ASSERT_NO_FATAL_FAILURE(suspendAndResume(session, [&] { session.sendSignal(SIGTSTP); }));
    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
}

// Started straight in a terminal (as by "xterm -e" or a terminal
// multiplexer's new window) the program is a session leader whose process
// group the kernel never stops: after Ctrl+Z it must go on in its own modes,
// with its screen whole, not in the shell's cooked mode.
TEST(EndToEndSignal, CtrlZWithoutJobControlLeavesTheProgramUsable) {
    ScratchDirectory directory;
    PtySession session(programIn(directory, 49, 80));
    VtermScreen& screen = session.screen();
    ASSERT_NO_FATAL_FAILURE(startAndAwaitMainScreen(session));

    const size_t outputBefore = session.output().size();
    session.send("\x1a");
    // The program may answer by giving the terminal back for a moment; wait
    // for that answer before judging, or a quiet second if there is none.
    session.pumpUntil([&] { return session.output().size() > outputBefore; }, std::chrono::milliseconds(1000));
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen) && rawUnechoedInput(session.terminalModes()); }))
        << "after Ctrl+Z the program runs on without raw keys or without its screen" << screenDump(screen);
    EXPECT_FALSE(screen.privateModeSet(7));
    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
    expectTerminalGivenBack(session);
}

}  // namespace
