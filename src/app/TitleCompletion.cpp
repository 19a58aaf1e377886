#include "app/TitleCompletion.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/LockWaitNotice.h"
#include "app/TextFolding.h"
#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"

namespace completion {

namespace {

// Field positions in the lines of the data files.
constexpr std::size_t LIBRARY_FILM_TYPE = 0;
constexpr std::size_t LIBRARY_TITLE_GERMAN = 1;
constexpr std::size_t RENTAL_TITLE = 0;

using FileVisit = bool (*)(const storage::StoreFile::RecordVisitor& visit);

// Whether either folded form of the value begins with either form of what was typed.
bool beginsWith(const folding::FoldedText& typed, std::string_view value) {
    // Every byte folds to at least one character: this much of the value decides.
    const std::size_t decidingBytes = std::max(typed.base.size(), typed.german.size());
    const folding::FoldedText folded = folding::fold(value.substr(0, decidingBytes));
    for (const std::string* start : {&typed.base, &typed.german})
        for (const std::string* form : {&folded.base, &folded.german})
            if (form->starts_with(*start)) return true;
    return false;
}

// The values of one field of a data file that begin with one typed text,
// kept for the Tabs that follow the first.
class StoredValues {
public:
    StoredValues(const FieldPlace& place, FileVisit visitFile, std::size_t field)
        : place(place), visitFile(visitFile), field(field) {}

    std::optional<std::string> next(std::string_view typed, int tabsBefore) {
        // The first Tab reads the file as it is now.
        if (tabsBefore == 0 || typed != matchedFor) readMatches(typed);
        if (matches.empty()) return std::nullopt;
        return matches[static_cast<std::size_t>(tabsBefore) % matches.size()];
    }

private:
    void readMatches(std::string_view typed) {
        matchedFor = typed;
        matches.clear();
        const folding::FoldedText foldedTyped = folding::fold(typed);
        std::unordered_set<std::string> seen;
        withLockWaitNotice(place.screen, place.noticeRow, place.noticeColumn, [&] {
            return visitFile([&](const std::vector<std::string>& fields) {
                const std::string& value = fields[field];
                if (static_cast<int>(value.size()) > place.fieldLength || !beginsWith(foldedTyped, value)) return;
                if (seen.insert(value).second) matches.push_back(value);
            });
        });
    }

    FieldPlace place;
    FileVisit visitFile;
    std::size_t field;
    std::string matchedFor;
    std::vector<std::string> matches;
};

FieldCompletion completionOf(const FieldPlace& place, FileVisit visitFile, std::size_t field) {
    auto values = std::make_shared<StoredValues>(place, visitFile, field);
    return [values](std::string_view typed, int tabsBefore) { return values->next(typed, tabsBefore); };
}

}  // namespace

FieldCompletion libraryTitles(const FieldPlace& place) {
    return completionOf(place, &DvdLibrary::visitFileRecords, LIBRARY_TITLE_GERMAN);
}

FieldCompletion libraryFilmTypes(const FieldPlace& place) {
    return completionOf(place, &DvdLibrary::visitFileRecords, LIBRARY_FILM_TYPE);
}

FieldCompletion rentalTitles(const FieldPlace& place) {
    return completionOf(place, &RentalRegister::visitFileRecords, RENTAL_TITLE);
}

}  // namespace completion
