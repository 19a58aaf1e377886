#include "app/JournalEntry.h"

#include "app/DialogSupport.h"
#include "app/LockWaitNotice.h"
#include "platform/Platform.h"
#include "rental/LendingJournal.h"

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
