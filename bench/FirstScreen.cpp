#include "FirstScreen.h"

#include "BenchSupport.h"

namespace bench {

FirstScreen timeFirstScreen(const std::vector<std::string>& commandLine, const std::string& workingDirectory,
                            const std::function<bool(Screen&)>& complete, std::chrono::milliseconds patience) {
    Terminal::Options options;
    options.command = commandLine;
    options.directory = workingDirectory;
    options.rows = kRows;
    options.columns = kColumns;
    FirstScreen result;
    const auto start = std::chrono::steady_clock::now();
    Terminal session(options);
    result.complete = session.waitFor([&] { return complete(session.screen()); }, patience);
    result.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Output that still arrives this long after the screen was complete belongs to it.
    session.pumpFor(std::chrono::milliseconds(100));
    result.bytes = session.output().size();
    return result;
}

}  // namespace bench
