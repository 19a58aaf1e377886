#include "Waits.h"

#include <chrono>
#include <string>

#include "BenchSupport.h"
#include "DataFiles.h"

namespace bench {

namespace {

constexpr const char* kUnknownTitle = "Kein solcher Titel";
constexpr const char* kDeleteLabel = "Zu loeschender Filmtitel eingeben:";
constexpr const char* kReturnLabel = "Titel des zurueckgegebenen Filmes eingeben:";
constexpr const char* kNotFound = "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!";
// The message stays 2.5 s; the dialog waits for its next key after that.
constexpr std::chrono::milliseconds kMessageAndMargin{2500 + 400};

// The field's label drawn, the cursor right after it: the field waits for its first key.
void awaitField(Terminal& session, int row, const std::string& label, int labelColumn) {
    const int afterLabel = labelColumn + static_cast<int>(label.size());
    await(session,
          [&](Screen& screen) { return screen.showsAt(row, labelColumn, label) && cursorAt(screen, row, afterLabel); },
          label);
}

// A title that is not there: the message, a key typed while it shows, then
// the dialog waits for the key after that.
void missTitleAndTypeDuringMessage(Terminal& session, const std::string& label, int labelColumn) {
    session.send(std::string(kUnknownTitle) + "\r");
    await(session, [](Screen& screen) { return screen.showsAt(20, 20, kNotFound); }, "not-found message");
    session.send("x");
    session.pumpFor(kMessageAndMargin);
    // The key typed during the message is the first of the title asked again.
    await(session,
          [&](Screen& screen) { return screen.showsAt(10, labelColumn, label) && screen.showsAt(10, 52, "x"); },
          "title asked again with the key typed");
}

}  // namespace

const char* describe(Wait wait) {
    switch (wait) {
    case Wait::MainMenu: return "main menu";
    case Wait::SubMenu: return "sub-menu (library)";
    case Wait::InputField: return "input field (Film Art:)";
    case Wait::SavePrompt: return "save prompt of the new-DVD form";
    case Wait::DeleteAfterStep: return "delete dialog: title asked again after a message, a key typed during it";
    case Wait::SearchResults: return "search dialog, results shown";
    case Wait::ReturnAfterStep: return "return dialog: like the delete dialog";
    case Wait::LibraryList: return "library list (1999 records)";
    case Wait::RentalList: return "rental list (1999 records)";
    }
    return "?";
}

void openLibraryMenu(Terminal& session) {
    session.send("1");
    await(session, [](Screen& screen) { return subMenuShown(screen, kLibraryMenuHeading); }, "library menu");
}

void openRentalMenu(Terminal& session) {
    session.send("2");
    await(session, [](Screen& screen) { return subMenuShown(screen, kRentalMenuHeading); }, "rental menu");
}

void openNewDvdForm(Terminal& session) {
    session.send("1");
    awaitField(session, 10, "Film Art:", 20);
}

void openLibraryList(Terminal& session) {
    session.send("4");
    await(session,
          [](Screen& screen) {
              return headingShown(screen, "DVD - Liste anzeigen") && screen.showsAt(10, 20, "Der Fall 1000") &&
                     screen.showsAt(48, 20, "Der Fall 1038");
          },
          "library list");
}

void openRentalList(Terminal& session) {
    session.send("3");
    await(session,
          [](Screen& screen) {
              return headingShown(screen, "Verleih - Liste anzeigen") && screen.showsAt(10, 2, "Der Fall 1000") &&
                     screen.showsAt(48, 2, "Der Fall 1038");
          },
          "rental list");
}

void bringTo(Terminal& session, Wait wait) {
    await(session, mainScreenComplete, "main screen");
    switch (wait) {
    case Wait::MainMenu: break;
    case Wait::SubMenu: openLibraryMenu(session); break;
    case Wait::InputField:
        openLibraryMenu(session);
        openNewDvdForm(session);
        break;
    case Wait::SavePrompt:
        openLibraryMenu(session);
        openNewDvdForm(session);
        session.send("Drama\r");
        awaitField(session, 12, "Titel in Deutsch:", 20);
        session.send("Krieg und Frieden\r");
        awaitField(session, 14, "Titel in Englisch:", 20);
        session.send("War and Peace\r");
        awaitField(session, 16, "Laenge in Minuten:", 20);
        session.send("180\r");
        await(session, [](Screen& screen) { return screen.showsAt(26, 20, "F2 Nicht Speichern"); }, "save prompt");
        break;
    case Wait::DeleteAfterStep:
        openLibraryMenu(session);
        session.send("2");
        awaitField(session, 10, kDeleteLabel, 15);
        missTitleAndTypeDuringMessage(session, kDeleteLabel, 15);
        break;
    case Wait::SearchResults:
        openLibraryMenu(session);
        session.send("3");
        awaitField(session, 10, "Zu suchende Film Art eingeben:", 15);
        session.send(std::string(bench_data::kGenre) + "\r");
        await(session,
              [](Screen& screen) {
                  return headingShown(screen, "DVD - Suchresultat") && screen.showsAt(10, 20, "Der Fall 1000");
              },
              "search results");
        break;
    case Wait::ReturnAfterStep:
        openRentalMenu(session);
        session.send("2");
        awaitField(session, 10, kReturnLabel, 5);
        missTitleAndTypeDuringMessage(session, kReturnLabel, 5);
        break;
    case Wait::LibraryList:
        openLibraryMenu(session);
        openLibraryList(session);
        break;
    case Wait::RentalList:
        openRentalMenu(session);
        openRentalList(session);
        break;
    }
    // Whatever the last step still writes is not part of the wait.
    session.pumpFor(std::chrono::milliseconds(300));
}

}  // namespace bench
