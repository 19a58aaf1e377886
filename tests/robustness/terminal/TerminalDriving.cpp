#include "TerminalDriving.h"

#include <sys/wait.h>

#include <filesystem>

namespace robustness {

using namespace end_to_end;

namespace {

constexpr int SUB_MENU_CHOICE_ROW = 25;

bool cursorAt(PtySession& session, int row, int column) {
    return session.screen().cursor() == VtermScreen::Position{row, column};
}

bool awaitSubMenu(PtySession& session, std::string_view heading) {
    return session.pumpUntil([&] {
        return headingShown(session.screen(), heading) && menuAwaitsChoice(session.screen(), SUB_MENU_CHOICE_ROW);
    });
}

// Sends the text and waits until the field shows its end (fields echo what
// they take; the cursor stands after it).
bool typeIntoField(PtySession& session, const std::string& text, int row, int column) {
    session.send(text);
    const int end = column + static_cast<int>(text.size());
    return session.pumpUntil([&] { return cursorAt(session, row, end); });
}

bool askAfterTitle(PtySession& session, std::string_view heading, int promptColumn, std::string_view prompt,
                   const std::string& title, int questionColumn) {
    session.send("2");
    if (!session.pumpUntil([&] {
            return headingShown(session.screen(), heading) && showsAt(session.screen(), 10, promptColumn, prompt) &&
                   cursorAt(session, 10, promptColumn + static_cast<int>(prompt.size()));
        }))
        return false;
    if (!typeIntoField(session, title, 10, 52)) return false;
    session.send("\r");
    return session.pumpUntil([&] {
        return showsAt(session.screen(), 22, questionColumn, "[j/n]:") && cursorAt(session, 22, questionColumn + 6);
    });
}

bool fillForm(PtySession& session, std::string_view heading, const std::vector<std::string_view>& labels,
              const Record& record) {
    session.send("1");
    if (!session.pumpUntil([&] { return headingShown(session.screen(), heading); })) return false;
    for (std::size_t i = 0; i < record.size() && i < labels.size(); ++i) {
        const int row = 10 + 2 * static_cast<int>(i);
        // A key typed before the form asks for the field would replace its step.
        if (!session.pumpUntil([&] {
                return showsAt(session.screen(), row, 20, labels[i]) &&
                       cursorAt(session, row, 20 + static_cast<int>(labels[i].size()));
            }))
            return false;
        if (!typeIntoField(session, record[i], row, 40)) return false;
        session.send("\r");
    }
    return session.pumpUntil([&] { return showsAt(session.screen(), 26, 20, "F2 Nicht Speichern"); });
}

}  // namespace

std::unique_ptr<PtySession> startProgram(const ScratchDirectory& directory) {
    return std::make_unique<PtySession>(programIn(directory, 49, 80));
}

bool awaitMainScreen(PtySession& session) {
    return session.pumpUntil([&] { return mainScreenShown(session.screen()); });
}

bool openLibraryMenu(PtySession& session) {
    session.send("1");
    return awaitSubMenu(session, "DVD - Bibliothek");
}

bool openRentalMenu(PtySession& session) {
    session.send("2");
    return awaitSubMenu(session, "DVD - Verleih");
}

bool escapeToSubMenu(PtySession& session, std::string_view heading) {
    session.send(ESCAPE);
    return awaitSubMenu(session, heading);
}

bool escapeToMainScreen(PtySession& session) {
    session.send(ESCAPE);
    return awaitMainScreen(session);
}

bool openDeleteAndAsk(PtySession& session, const std::string& title) {
    return askAfterTitle(session, "DVD loeschen", 15, "Zu loeschender Filmtitel eingeben:", title, 20);
}

bool openReturnAndAsk(PtySession& session, const std::string& title) {
    return askAfterTitle(session, "DVD retour", 5, "Titel des zurueckgegebenen Filmes eingeben:", title, 10);
}

bool fillNewDvdForm(PtySession& session, const Record& record) {
    return fillForm(session, "DVD neuerfassen",
                    {"Film Art:", "Titel in Deutsch:", "Titel in Englisch:", "Laenge in Minuten:"}, record);
}

bool fillLendForm(PtySession& session, const Record& record) {
    return fillForm(session, "DVD ausleihen", {"Titel:", "Name:", "Vorname:"}, record);
}

bool messageShown(PtySession& session, int row, int column, std::string_view text) {
    return session.pumpUntil([&] { return showsAt(session.screen(), row, column, text); });
}

bool leaveWithStatusZero(PtySession& session) {
    // One Escape per level, each only once the level above is drawn: an
    // Escape that arrives after the program ended would be echoed by the
    // terminal and spoil the check of where the cursor was left.
    VtermScreen& screen = session.screen();
    for (int level = 0; level < 5; ++level) {
        if (mainScreenShown(screen)) break;
        const std::size_t shown = session.output().size();
        session.send(ESCAPE);
        session.pumpUntil([&] {
            return session.output().size() > shown &&
                   (mainScreenShown(screen) || menuAwaitsChoice(screen, SUB_MENU_CHOICE_ROW));
        });
    }
    session.send(ESCAPE);
    const std::optional<int> status = session.waitForExit();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

std::vector<std::string> strayFiles(const ScratchDirectory& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory.path())) {
        const std::string name = entry.path().filename().string();
        if (name != LIBRARY_FILE && name != RENTAL_FILE) names.push_back(name);
    }
    return names;
}

std::string screenDump(PtySession& session) { return end_to_end::screenDump(session.screen()); }

}  // namespace robustness
