#include "rental/LendingJournal.h"

#include "rental/RentalRegister.h"
#include "storage/StoreFile.h"

namespace lending_journal {

lending_dates::Borrowing borrowingAt(const RentalRegister& rentals, int row) {
    return {rentals.getFilmTitle(row), rentals.getSurname(row), rentals.getFirstName(row)};
}

Written record(lending_dates::Day date, std::string_view event, const lending_dates::Borrowing& who) {
    const std::string day = lending_dates::isoDate(date);
    const std::string_view fields[COLUMN_COUNT] = {day, event, who.title, who.surname, who.firstName};
    return storage::appendRecord(TABLE, fields) == storage::AppendResult::Appended ? Written::Written : Written::Failed;
}

storage::FileRead readEvents(const storage::RecordVisitor& visit) {
    return storage::readRecords(TABLE, visit, storage::ReadFrom::End);
}

HeldEvents readHeldEvents(std::size_t maxEvents) {
    HeldEvents held;
    held.reading = readEvents([&](const std::vector<std::string>& fields) {
        if (held.events.size() == maxEvents) {
            held.events.pop_front();
            ++held.notHeld;
        }
        Event& event = held.events.emplace_back();
        for (int index = 0; index < COLUMN_COUNT; ++index) event[index] = fields[index];
    });
    if (!held.reading.ok()) held = HeldEvents{held.reading, {}, 0};
    return held;
}

LendingDates datesOf(const std::vector<lending_dates::Borrowing>& lendings) {
    lending_dates::DateMatcher matcher(lendings);
    LendingDates result;
    result.reading = readEvents([&](const std::vector<std::string>& fields) {
        if (fields[EVENT] == LENT)
            matcher.lent(fields[TITLE], fields[SURNAME], fields[FIRST_NAME], lending_dates::parseIsoDate(fields[DATE]));
        else if (fields[EVENT] == RETURNED)
            matcher.returned(fields[TITLE], fields[SURNAME], fields[FIRST_NAME]);
    });
    // A journal read only in part could pair lines wrongly: no dates then.
    if (!result.reading.ok()) result.dates.assign(lendings.size(), std::nullopt);
    else result.dates = matcher.lendingDates();
    return result;
}

}  // namespace lending_journal
