#include "app/CollectionStatistics.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/CommandLine.h"
#include "app/DialogSupport.h"
#include "app/ListPrintout.h"
#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRecord.h"
#include "storage/DataFile.h"
#include "storage/RecordScan.h"

namespace {

// A length as the library reads it; one that is none, or below zero,
// counts no time.
long minutesOf(const std::string& length) {
    const std::optional<int> minutes = DvdLibrary::lengthInMinutes(length);
    return minutes && *minutes > 0 ? *minutes : 0;
}

const std::string& fieldOf(const std::vector<std::string>& record, std::size_t index) {
    static const std::string none;
    return index < record.size() ? record[index] : none;
}

}  // namespace

CollectionStatistics countCollection(const LibraryRecords& library, const RentalRecords& rentals,
                                     std::size_t borrowersShown) {
    CollectionStatistics figures;
    std::set<std::string> titles;
    std::map<std::string, CollectionStatistics::GenreFigures> genres;
    for (const std::vector<std::string>& record : library) {
        const long minutes = minutesOf(fieldOf(record, library_record::LENGTH_MINUTES));
        ++figures.dvds;
        figures.minutes += minutes;
        titles.insert(fieldOf(record, library_record::TITLE_GERMAN));
        CollectionStatistics::GenreFigures& genre = genres[fieldOf(record, library_record::GENRE)];
        genre.genre = fieldOf(record, library_record::GENRE);
        ++genre.dvds;
        genre.minutes += minutes;
    }
    figures.distinctTitles = static_cast<long>(titles.size());
    for (auto& [name, genre] : genres) figures.genres.push_back(std::move(genre));
    std::stable_sort(figures.genres.begin(), figures.genres.end(), [](const auto& left, const auto& right) {
        return std::pair(left.dvds, left.minutes) > std::pair(right.dvds, right.minutes);
    });
    std::map<std::pair<std::string, std::string>, long> holding;
    for (const std::vector<std::string>& record : rentals) {
        ++figures.lentNow;
        ++holding[{fieldOf(record, rental_record::SURNAME), fieldOf(record, rental_record::FIRST_NAME)}];
    }
    for (const auto& [person, dvds] : holding) figures.borrowers.push_back({person.first, person.second, dvds});
    std::stable_sort(figures.borrowers.begin(), figures.borrowers.end(),
                     [](const auto& left, const auto& right) { return left.dvds > right.dvds; });
    if (figures.borrowers.size() > borrowersShown) figures.borrowers.resize(borrowersShown);
    return figures;
}

namespace {

constexpr std::size_t BORROWERS_SHOWN = 5;
constexpr std::size_t COLUMN_GAP = 2;

enum class Read { Ok, Locked, Failed };

// Every record of a data file, as far as a load reads; a missing file has none.
Read readRecords(std::string_view fileName, const storage::CsvLayout& layout, std::vector<std::vector<std::string>>& records) {
    storage::DataFile file(std::string(fileName), storage::DataFile::Purpose::Read);
    if (file.status() == storage::DataFile::Status::Missing) return Read::Ok;
    if (!file.isOpen()) return file.status() == storage::DataFile::Status::Locked ? Read::Locked : Read::Failed;
    const auto scan =
        storage::scanRecords(file, layout, [&](const std::vector<std::string>& fields) { records.push_back(fields); });
    return scan.has_value() ? Read::Ok : Read::Failed;
}

std::string hoursAndMinutes(long minutes) {
    const std::string rest = std::to_string(minutes % 60);
    return std::to_string(minutes / 60) + ":" + (rest.size() < 2 ? "0" : "") + rest;
}

// Rows in columns as wide as their widest cell, two blanks apart, trailing blanks cut.
std::string columns(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t index = 0; index < row.size(); ++index) widths[index] = std::max(widths[index], row[index].size());
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t index = 0; index < row.size(); ++index) {
            line += row[index];
            if (index + 1 < row.size()) line.resize(line.size() + widths[index] - row[index].size() + COLUMN_GAP, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string statisticsText(const CollectionStatistics& figures) {
    std::string out = "DVD - Statistik\n\n";
    out += columns({{"DVDs:", std::to_string(figures.dvds)},
                    {"Verschiedene Titel:", std::to_string(figures.distinctTitles)},
                    {"Laufzeit gesamt:", hoursAndMinutes(figures.minutes)}});
    std::vector<std::vector<std::string>> genres{{library_record::FIELDS[library_record::GENRE].head, "DVDs:", "Laufzeit:"}};
    for (const auto& genre : figures.genres)
        genres.push_back({genre.genre, std::to_string(genre.dvds), hoursAndMinutes(genre.minutes)});
    out += "\n" + columns(genres);
    out += "\n" + columns({{"Verliehen:", std::to_string(figures.lentNow)}});
    if (figures.overdue) out += "davon " + std::to_string(*figures.overdue) + " ueberfaellig\n";
    if (!figures.borrowers.empty()) {
        using rental_record::FIELDS;
        std::vector<std::vector<std::string>> borrowers{
            {FIELDS[rental_record::SURNAME].head, FIELDS[rental_record::FIRST_NAME].head, "DVDs:"}};
        for (const auto& borrower : figures.borrowers)
            borrowers.push_back({borrower.name, borrower.firstName, std::to_string(borrower.dvds)});
        out += "\n" + columns(borrowers);
    }
    return out;
}

// The lendings overdue by the journal's dates and the lending period.
Read overdueLendings(const RentalRecords& rentals, std::optional<long>& overdue) {
    std::vector<lending_dates::Borrowing> lendings;
    for (const auto& fields : rentals) lendings.push_back({fields[0], fields[1], fields[2]});
    const lending_journal::LendingDates dated = lending_journal::datesOf(lendings);
    if (dated.reading.locked) return Read::Locked;
    if (dated.reading.failed) return Read::Failed;
    const lending_dates::Day today = journal_entry::today();
    overdue = std::count_if(dated.dates.begin(), dated.dates.end(), [&](const std::optional<lending_dates::Day>& since) {
        return lending_dates::isOverdue(since, today, lending_period::days());
    });
    return Read::Ok;
}

int refuse(std::string_view fileName, Read read) {
    std::fprintf(stderr, "dvdverwaltung: %s %s\n", std::string(fileName).c_str(), read == Read::Locked ? "ist gesperrt" : "kann nicht gelesen werden");
    return 1;
}

}  // namespace

int writeStatistics(const TextCharset& charset) {
    LibraryRecords library;
    RentalRecords rentals;
    for (const auto& [fileName, layout, records] :
         {std::tuple{library_record::FILE_NAME,
                     storage::CsvLayout{library_record::COLUMN_COUNT, library_record::ENDS_WITH_SEPARATOR}, &library},
          std::tuple{rental_record::FILE_NAME,
                     storage::CsvLayout{rental_record::COLUMN_COUNT, rental_record::ENDS_WITH_SEPARATOR}, &rentals}}) {
        const Read read = readRecords(fileName, layout, *records);
        if (read != Read::Ok) return refuse(fileName, read);
    }
    CollectionStatistics figures = countCollection(library, rentals, BORROWERS_SHOWN);
    // A journal that cannot be read is said, not left out of the figures.
    if (const Read read = overdueLendings(rentals, figures.overdue); read != Read::Ok)
        return refuse(lending_journal::FILE_NAME, read);
    const std::string text = textInCharset(statisticsText(figures), charset);
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return 1;
}
