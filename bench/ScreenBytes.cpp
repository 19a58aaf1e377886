#include <chrono>
#include <functional>

#include "BenchSupport.h"
#include "Figures.h"
#include "Waits.h"

namespace bench {

namespace {

constexpr std::chrono::milliseconds kQuiet{200};

// What the program writes for one step, from a quiet terminal to a quiet terminal.
std::string bytesOf(Terminal& session, const std::function<void()>& step) {
    session.pumpFor(kQuiet);
    const size_t before = session.output().size();
    step();
    session.pumpFor(kQuiet);
    return session.output().substr(before);
}

// Safe inside a table cell.
std::string shown(const std::string& bytes) {
    if (bytes.empty()) return "nothing";
    std::string text;
    for (char c : visible(bytes)) text += c == '|' ? std::string("\\|") : c == '`' ? std::string("'") : std::string(1, c);
    return "`" + text + "`";
}

}  // namespace

std::vector<Row> measureScreenBytes() {
    FullDataDirectory directory;
    Terminal session(programIn(directory));
    bringTo(session, Wait::MainMenu);

    const std::string redraw = bytesOf(session, [&] { session.send("@"); });
    const std::string toMenu = bytesOf(session, [&] { openLibraryMenu(session); });
    const std::string list = bytesOf(session, [&] { openLibraryList(session); });
    session.send("\x1b");
    await(session, [](Screen& screen) { return subMenuShown(screen, kLibraryMenuHeading); }, "library menu");
    openNewDvdForm(session);
    const std::string echo = bytesOf(session, [&] {
        session.send("K");
        await(session,
              [](Screen& screen) { return screen.showsAt(10, 40, "K") && cursorAt(screen, 10, 41); },
              "the echoed K");
    });
    const std::string nextEcho = bytesOf(session, [&] {
        session.send("L");
        await(session,
              [](Screen& screen) { return screen.showsAt(10, 40, "KL") && cursorAt(screen, 10, 42); },
              "the echoed L");
    });

    std::vector<Row> rows = {
        {4, "Bytes for one character echoed in a field: the first, the next",
         formatted("%zu: %s; %zu: %s", echo.size(), shown(echo).c_str(), nextEcho.size(), shown(nextEcho).c_str()), ""},
        {4, "Bytes for opening the library list (1999 records)", formatted("%zu", list.size()), ""},
        {4, "Bytes for `1`, main menu to library menu", formatted("%zu", toMenu.size()), ""},
        {4, "Bytes for `@` on the unchanged main menu", formatted("%zu: %s", redraw.size(), shown(redraw).c_str()),
         std::string("budget: nothing but the cursor: ") + (onlyMovesTheCursor(redraw) ? "met" : "OVER")},
    };
    judge(rows[0], static_cast<double>(echo.size() + nextEcho.size()), 16, "bytes for both",
          "the first moves the cursor from the label to the field");
    judge(rows[1], static_cast<double>(list.size()), 4000, "bytes");
    judge(rows[2], static_cast<double>(toMenu.size()), 400, "bytes");
    rows[3].over = !onlyMovesTheCursor(redraw);
    return rows;
}

std::vector<Row> measurePeakMemory() {
    FullDataDirectory directory;
    Terminal session(programIn(directory));
    bringTo(session, Wait::MainMenu);
    const long atStart = peakResidentKilobytes(session.pid());
    openLibraryMenu(session);
    openLibraryList(session);
    session.send("\x1b");
    await(session, [](Screen& screen) { return subMenuShown(screen, kLibraryMenuHeading); }, "library menu");
    session.send("\x1b");
    await(session, mainScreenComplete, "main screen");
    openRentalMenu(session);
    openRentalList(session);
    const long afterLists = peakResidentKilobytes(session.pid());
    Row row{5, "Peak memory (VmHWM), both files at 1999 records, after opening both lists",
            formatted("%.1f MiB (%ld kB)", afterLists / 1024.0, afterLists), ""};
    judge(row, afterLists / 1024.0, 16, "MiB", formatted("at the first main screen: %.1f MiB", atStart / 1024.0));
    return {row};
}

}  // namespace bench
