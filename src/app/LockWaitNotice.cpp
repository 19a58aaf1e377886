#include "app/LockWaitNotice.h"

#include <iostream>
#include <string>

#include "console/Colors.h"
#include "console/ConsoleScreen.h"

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
