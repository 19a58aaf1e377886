#include "app/TitleCompletion.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "app/DialogSupport.h"
#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/TextFolding.h"
#include "library/LibraryRecord.h"
#include "rental/RentalRecord.h"
#include "storage/RecordScan.h"

namespace completion {

namespace {

// A file kept locked past the wait completes nothing; the operator is told
// why, as a list tells it, and goes on typing where the field was.
void sayFileLocked(const FieldPlace& place) {
    ConsoleScreen& screen = place.screen;
    const int row = screen.cursorRow();
    const int column = screen.cursorColumn();
    const int attribute = screen.currentAttribute();
    dialog::showMessage(screen, place.noticeRow, place.noticeColumn, dialog::FILE_LOCKED);
    dialog::eraseMessage(screen, place.noticeRow, place.noticeColumn, dialog::FILE_LOCKED);
    screen.setColor(colors::foregroundOf(attribute), colors::backgroundOf(attribute));
    screen.setCursor(row, column);
}

// The values of one field of a data file that begin with the typed text,
// in the order of their first line. Each Tab reads the file as it is then
// and keeps only as many values as Tabs were pressed: memory stays small
// however many values match.
class StoredValues {
public:
    StoredValues(const FieldPlace& place, const storage::RecordTable& table, std::size_t field)
        : place(place), table(table), field(field) {}

    std::optional<std::string> next(std::string_view typed, int tabsBefore) const {
        const auto wanted = static_cast<std::size_t>(tabsBefore);
        const std::vector<std::string> values = firstValues(typed, wanted + 1);
        // Fewer than asked for are all there are: the Tabs go round again.
        if (values.empty()) return std::nullopt;
        return values[wanted % values.size()];
    }

private:
    // Up to `most` distinct values that begin with `typed`.
    std::vector<std::string> firstValues(std::string_view typed, std::size_t most) const {
        const folding::FoldedText foldedTyped = folding::fold(typed);
        std::vector<std::string> values;
        std::unordered_set<std::string> seen;
        const storage::FileRead read = withLockWaitNotice(place.screen, place.noticeRow, place.noticeColumn, [&] {
            return storage::readRecords(table, [&](const std::vector<std::string>& fields) {
                if (values.size() == most) return;
                const std::string& value = fields[field];
                // Only what could have been typed into the field.
                if (static_cast<int>(value.size()) > place.fieldLength || !isTypeable(value)) return;
                if (!folding::beginsWith(foldedTyped, value)) return;
                if (seen.insert(value).second) values.push_back(value);
            });
        });
        if (read.locked()) sayFileLocked(place);
        return values;
    }

    FieldPlace place;
    const storage::RecordTable& table;
    std::size_t field;
};

FieldCompletion completionOf(const FieldPlace& place, const storage::RecordTable& table, std::size_t field) {
    return [values = StoredValues(place, table, field)](std::string_view typed, int tabsBefore) {
        return values.next(typed, tabsBefore);
    };
}

}  // namespace

FieldCompletion libraryTitles(const FieldPlace& place) {
    return completionOf(place, library_record::TABLE, library_record::TITLE_GERMAN);
}

FieldCompletion libraryFilmTypes(const FieldPlace& place) {
    return completionOf(place, library_record::TABLE, library_record::GENRE);
}

FieldCompletion rentalTitles(const FieldPlace& place) {
    return completionOf(place, rental_record::TABLE, rental_record::FILM_TITLE);
}

FieldCompletion libraryValues(const FieldPlace& place, int column) {
    return completionOf(place, library_record::TABLE, static_cast<std::size_t>(column));
}

}  // namespace completion
