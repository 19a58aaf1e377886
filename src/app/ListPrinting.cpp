#include "app/ListPrinting.h"

#include "app/DialogSupport.h"
#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Cp850.h"

namespace {

constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;
constexpr int REASON_ROW = 22;
constexpr int REASON_COLUMN = 0;

}  // namespace

void printList(ConsoleScreen& screen, const PrintedList& list) {
    if (list.recordCount <= 0) {
        dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "KEINE DATEN ZUM DRUCKEN!");
        return;
    }
    const platform::PrintResult result = platform::printText(formatPrintout(list, platform::today()), list.name);
    if (result.outcome == platform::PrintOutcome::Accepted) {
        dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "DRUCKAUFTRAG ANGENOMMEN");
        return;
    }
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    dialog::writeAt(screen, REASON_ROW, REASON_COLUMN, cp850::fromUtf8(result.reason));
    dialog::showMessage(screen, MESSAGE_ROW, MESSAGE_COLUMN, "DRUCKEN FEHLGESCHLAGEN!");
}
