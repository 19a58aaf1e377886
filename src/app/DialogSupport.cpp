#include "app/DialogSupport.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

#include "app/ListPrintout.h"
#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Cp850.h"
#include "console/Keys.h"
#include "library/DvdLibrary.h"
#include "platform/Platform.h"
#include "rental/LendingJournal.h"

namespace dialog {

void showMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    screen.setCursor(row, column);
    std::cout << text;
    screen.addNoteRow(row);
    screen.pause(MESSAGE_MILLISECONDS);
    screen.removeNoteRow(row);
}

std::string_view notFoundMessage(ConsoleScreen& screen, const TitleSearch& search, int row, int column,
                                 std::string_view notFound) {
    if (search.fileLocked) return FILE_LOCKED;
    if (search.fileNotWhollyRead) {
        screen.setColor(colors::LIGHT_RED, colors::BLACK);
        writeAt(screen, row + 2, column, FILE_NOT_WHOLLY_READ);
        // Seen with the message below which it stands, until the screen is cleared.
        screen.addNoteRow(row + 2);
    }
    return notFound;
}

void eraseMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setCursor(row, column);
    std::cout << std::string(text.size(), ' ');
    screen.setColor(colors::YELLOW, colors::BLACK);
}

std::string titleOrBarcode(ConsoleScreen& screen, const std::string& typed, int noticeRow, int noticeColumn) {
    const std::optional<std::string> title =
        withLockWaitNotice(screen, noticeRow, noticeColumn, [&] { return DvdLibrary::titleOfBarcode(typed); });
    return title.value_or(typed);
}

void drawSavePrompt(ConsoleScreen& screen, int row) {
    screen.setCursor(row, 20);
    std::cout << "F1 Speichern" << std::endl;
    screen.setCursor(row + 2, 20);
    std::cout << "F2 Nicht Speichern";
}

void reportSaveFailure(ConsoleScreen& screen, int row, int column) {
    showMessage(screen, row, column, SAVE_FAILED);
    eraseMessage(screen, row, column, SAVE_FAILED);
}

void writeAt(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setCursor(row, column);
    const auto room = static_cast<std::size_t>(std::max(0, ConsoleScreen::BUFFER_COLUMNS - column));
    std::cout << text.substr(0, room);
}

void showFromStart(ConsoleScreen& screen) {
    screen.scrollViewTo(0);
    screen.panViewTo(0);
}

bool scrollForKey(ConsoleScreen& screen, int scanCode) {
    const int top = screen.viewTopRow();
    const int page = std::max(1, screen.visibleRowCount() - 1);
    switch (scanCode) {
        case keys::HOME: showFromStart(screen); return true;
        case keys::LEFT: screen.panViewTo(screen.viewLeftColumn() - PAN_COLUMNS); return true;
        case keys::RIGHT: screen.panViewTo(screen.viewLeftColumn() + PAN_COLUMNS); return true;
        // The last rows that hold something, not the blank rest of the page.
        case keys::END: screen.scrollViewTo(screen.lastFilledRow() - screen.visibleRowCount() + 1); return true;
        case keys::UP: screen.scrollViewTo(top - 1); return true;
        case keys::DOWN: screen.scrollViewTo(top + 1); return true;
        case keys::PAGE_UP: screen.scrollViewTo(top - page); return true;
        case keys::PAGE_DOWN: screen.scrollViewTo(top + page); return true;
        default: return false;
    }
}

}  // namespace dialog

LockWaitNotice::LockWaitNotice(ConsoleScreen& shownOn, int noticeRow, int noticeColumn)
    : screen(shownOn), row(noticeRow), column(noticeColumn) {
    previous = storage::setLockWaitObserver([this](bool waiting) { show(waiting); });
}

LockWaitNotice::~LockWaitNotice() { storage::setLockWaitObserver(std::move(previous)); }

void LockWaitNotice::show(bool waiting) {
    const int cursorRow = screen.cursorRow();
    const int cursorColumn = screen.cursorColumn();
    const int attribute = screen.currentAttribute();
    std::cout.flush();
    screen.setCursor(row, column);
    screen.setColor(colors::YELLOW, colors::BLACK);
    if (waiting) {
        std::cout << WAIT_NOTICE;
        screen.addNoteRow(row);
    } else {
        std::cout << std::string(WAIT_NOTICE.size(), ' ');
        screen.removeNoteRow(row);
    }
    std::cout.flush();
    screen.setColor(colors::foregroundOf(attribute), colors::backgroundOf(attribute));
    screen.setCursor(cursorRow, cursorColumn);
    screen.refresh();
}

namespace journal_entry {

lending_dates::Day today() {
    const platform::CalendarDate date = platform::today();
    return lending_dates::dayOf(date.year, date.month, date.day);
}

void note(ConsoleScreen& screen, std::string_view event, const lending_dates::Borrowing& who, int row, int column) {
    const auto written =
        withLockWaitNotice(screen, row, column, [&] { return lending_journal::record(today(), event, who); });
    if (written != lending_journal::Written::Failed) return;
    dialog::showMessage(screen, row, column, NOT_WRITTEN);
    dialog::eraseMessage(screen, row, column, NOT_WRITTEN);
}

}  // namespace journal_entry

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
