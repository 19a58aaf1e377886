#include <chrono>
#include <memory>
#include <stdexcept>

#include "BenchSupport.h"
#include "Figures.h"
#include "Waits.h"

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kGoalMilliseconds = 1.0;  // per 10 s
// Each program's output is read at least this often, so one that writes
// while idle is not stopped by a full terminal buffer.
constexpr std::chrono::milliseconds kReadSlice{20};

// One program waiting in one place, and what it used over the rounds.
struct IdleProgram {
    Wait wait;
    FullDataDirectory directory;
    std::unique_ptr<Terminal> session;
    std::vector<double> schedMilliseconds;
    std::vector<double> statMilliseconds;
    std::vector<double> wakeUps;
    std::vector<double> bytesWritten;

    explicit IdleProgram(Wait where) : wait(where), session(std::make_unique<Terminal>(programIn(directory))) {
        bringTo(*session, wait);
        // Getting here took CPU and sleeps: a reading of zero would mean /proc tells nothing.
        const CpuReading sinceStart = cpuOf(session->pid());
        if (sinceStart.schedMilliseconds <= 0 || sinceStart.contextSwitches <= 0)
            throw std::runtime_error("no CPU figures in /proc/<pid>/task/*/schedstat and status");
    }
};

// Every program waits through the same span; each is a process of its own,
// so the figure of one does not include the others.
void idleRound(std::vector<std::unique_ptr<IdleProgram>>& programs, std::chrono::seconds span) {
    std::vector<CpuReading> before;
    std::vector<size_t> bytesBefore;
    for (auto& program : programs) {
        before.push_back(cpuOf(program->session->pid()));
        bytesBefore.push_back(program->session->output().size());
    }
    const auto end = Clock::now() + span;
    while (Clock::now() < end)
        for (auto& program : programs) program->session->waitFor([] { return false; }, kReadSlice);
    for (size_t i = 0; i < programs.size(); ++i) {
        IdleProgram& program = *programs[i];
        const CpuReading used = cpuOf(program.session->pid()) - before[i];
        program.schedMilliseconds.push_back(used.schedMilliseconds);
        program.statMilliseconds.push_back(used.statMilliseconds);
        program.wakeUps.push_back(static_cast<double>(used.contextSwitches));
        program.bytesWritten.push_back(static_cast<double>(program.session->output().size() - bytesBefore[i]));
    }
}

}  // namespace

std::vector<Row> measureIdleCost(const Settings& settings) {
    std::vector<std::unique_ptr<IdleProgram>> programs;
    for (Wait wait : kEveryWait) programs.push_back(std::make_unique<IdleProgram>(wait));
    for (int round = 0; round < settings.idleRounds; ++round) idleRound(programs, std::chrono::seconds(settings.idleSeconds));

    std::vector<Row> rows;
    const double goal = kGoalMilliseconds * settings.idleSeconds / 10.0;
    for (const auto& program : programs) {
        const double cpu = median(program->schedMilliseconds);
        const double worst = maximum(program->schedMilliseconds);
        rows.push_back({3, formatted("CPU over %d s idle: %s", settings.idleSeconds, describe(program->wait)),
                        formatted("%.3f ms (max %.3f); %.0f ms in ticks; %.0f wake-ups; %.0f bytes written", cpu,
                                  worst, maximum(program->statMilliseconds), maximum(program->wakeUps),
                                  maximum(program->bytesWritten)),
                        ""});
        judge(rows.back(), worst, goal, "ms (max)");
        if (maximum(program->bytesWritten) > 0) rows.back().over = true, rows.back().goal += "; bytes written: OVER";
    }
    return rows;
}

}  // namespace bench
