#include "app/ListPrinting.h"

#include <iostream>
#include <string>

#include "app/DialogSupport.h"
#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Cp850.h"

namespace {

constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;
constexpr int REASON_ROW = 22;
constexpr int REASON_COLUMN = 0;
constexpr std::string_view SUBMITTING = "DRUCKAUFTRAG WIRD UEBERGEBEN ...";

// The wait for the printing system may take seconds: the operator sees what
// it is before it starts. Keys typed meanwhile stay unread for what follows.
platform::PrintResult submit(ConsoleScreen& screen, const PrintedList& list) {
    screen.setColor(colors::YELLOW, colors::BLACK);
    screen.setCursor(MESSAGE_ROW, MESSAGE_COLUMN);
    std::cout << SUBMITTING;
    screen.refresh();
    platform::PrintResult result = platform::printText(formatPrintout(list, platform::today()), list.name);
    dialog::eraseMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, SUBMITTING);
    return result;
}

}  // namespace

void printList(ConsoleScreen& screen, const PrintedList& list) {
    if (list.file.locked) {
        dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, dialog::FILE_LOCKED);
        return;
    }
    if (list.recordCount <= 0) {
        dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "KEINE DATEN ZUM DRUCKEN!");
        return;
    }
    const platform::PrintResult result = submit(screen, list);
    if (result.outcome == platform::PrintOutcome::Accepted) {
        dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "DRUCKAUFTRAG ANGENOMMEN");
        return;
    }
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    dialog::writeAt(screen, REASON_ROW, REASON_COLUMN, cp850::fromUtf8(result.reason));
    screen.addNoteRow(REASON_ROW);
    dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "DRUCKEN FEHLGESCHLAGEN!");
}
