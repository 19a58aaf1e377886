#include "rental/LendingJournal.h"

#include <array>
#include <memory>
#include <system_error>

#include "rental/RentalRegister.h"
#include "storage/DataFile.h"
#include "storage/RecordScan.h"
#include "storage/StoreFile.h"

namespace lending_journal {

namespace {

constexpr storage::CsvLayout JOURNAL_LINE{FIELD_COUNT, false};

}  // namespace

lending_dates::Borrowing borrowingAt(const RentalRegister& rentals, int row) {
    return {rentals.getFilmTitle(row), rentals.getSurname(row), rentals.getFirstName(row)};
}

Written record(lending_dates::Day date, std::string_view event, const lending_dates::Borrowing& who) {
    // The store's append writes one row of its columns: one row is all it needs.
    auto columns = std::make_unique<std::array<storage::StoreColumn, FIELD_COUNT>>();
    const std::string fields[FIELD_COUNT] = {lending_dates::isoDate(date), std::string(event), who.title, who.surname,
                                             who.firstName};
    std::array<storage::StoreColumn*, FIELD_COUNT> list{};
    for (int index = 0; index < FIELD_COUNT; ++index) {
        (*columns)[index][WORK_ROW] = fields[index];
        list[index] = &(*columns)[index];
    }
    const storage::StoreFile file(FILE_NAME, JOURNAL_LINE);
    return file.append(list, WORK_ROW) ? Written::Written : Written::Failed;
}

Reading readEvents(const EventVisitor& visit) {
    Reading reading;
    storage::DataFile file(FILE_NAME, storage::DataFile::Purpose::Read);
    if (!file.isOpen()) {
        reading.locked = file.status() == storage::DataFile::Status::Locked;
        reading.failed = file.status() == storage::DataFile::Status::Failed;
        reading.exists = file.status() != storage::DataFile::Status::Missing;
        return reading;
    }
    reading.exists = true;
    const std::optional<long long> bytesNotRead = storage::scanLastRecords(file, JOURNAL_LINE, visit);
    reading.failed = !bytesNotRead;
    reading.olderLeftOut = bytesNotRead && *bytesNotRead > 0;
    return reading;
}

HeldEvents readHeldEvents(std::size_t maxEvents) {
    HeldEvents held;
    held.reading = readEvents([&](const std::vector<std::string>& fields) {
        if (held.events.size() == maxEvents) {
            held.events.pop_front();
            ++held.notHeld;
        }
        Event& event = held.events.emplace_back();
        for (int index = 0; index < FIELD_COUNT; ++index) event[index] = fields[index];
    });
    if (held.reading.failed) held = HeldEvents{held.reading, {}, 0};
    return held;
}

LendingDates datesOf(const std::vector<lending_dates::Borrowing>& lendings) {
    lending_dates::DateMatcher matcher(lendings);
    LendingDates result;
    result.reading = readEvents([&](const std::vector<std::string>& fields) {
        if (fields[1] == LENT) matcher.lent(fields[2], fields[3], fields[4], lending_dates::parseIsoDate(fields[0]));
        else if (fields[1] == RETURNED) matcher.returned(fields[2], fields[3], fields[4]);
    });
    // A journal read only in part could pair lines wrongly: no dates then.
    if (result.reading.failed) result.dates.assign(lendings.size(), std::nullopt);
    else result.dates = matcher.lendingDates();
    return result;
}

}  // namespace lending_journal
