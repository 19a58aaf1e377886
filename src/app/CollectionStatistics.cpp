#include "app/CollectionStatistics.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"
#include "rental/RentalRecord.h"

namespace {

// A length as the library reads it; one that is none, or below zero,
// counts no time.
long long minutesOf(const std::string& length) {
    const std::optional<int> minutes = DvdLibrary::lengthInMinutes(length);
    return minutes && *minutes > 0 ? *minutes : 0;
}

// Any four digits from the first films on: the check's upper bound is today's.
constexpr int ANY_YEAR = 9999;

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
    std::map<std::string, long> formats, decades;
    for (const std::vector<std::string>& record : library) {
        const long long minutes = minutesOf(fieldOf(record, library_record::LENGTH_MINUTES));
        ++figures.dvds;
        figures.minutes += minutes;
        titles.insert(fieldOf(record, library_record::TITLE_GERMAN));
        CollectionStatistics::GenreFigures& genre = genres[fieldOf(record, library_record::GENRE)];
        genre.genre = fieldOf(record, library_record::GENRE);
        ++genre.dvds;
        genre.minutes += minutes;
        if (const std::string& format = fieldOf(record, library_record::FORMAT); !format.empty()) ++formats[format];
        // A year as the form takes it; another the library may hold counts in no decade.
        const std::string& year = fieldOf(record, library_record::YEAR);
        if (!year.empty() && DvdLibrary::isValidYear(year, ANY_YEAR)) ++decades[year.substr(0, 3) + "0er"];
    }
    figures.formats.assign(formats.begin(), formats.end());
    std::stable_sort(figures.formats.begin(), figures.formats.end(),
                     [](const auto& left, const auto& right) { return left.second > right.second; });
    figures.decades.assign(decades.begin(), decades.end());
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

constexpr std::size_t COLUMN_GAP = 2;

std::string hoursAndMinutes(long long minutes) {
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

}  // namespace

std::string statisticsText(const CollectionStatistics& figures) {
    std::string out = "DVD - Statistik\n\n";
    out += columns({{"DVDs:", std::to_string(figures.dvds)},
                    {"Verschiedene Titel:", std::to_string(figures.distinctTitles)},
                    {"Laufzeit gesamt:", hoursAndMinutes(figures.minutes)}});
    std::vector<std::vector<std::string>> genres{
        {std::string(library_record::FIELDS[library_record::GENRE].head), "DVDs:", "Laufzeit:"}};
    for (const auto& genre : figures.genres)
        genres.push_back({genre.genre, std::to_string(genre.dvds), hoursAndMinutes(genre.minutes)});
    out += "\n" + columns(genres);
    // Only a library that keeps formats or years gets their tables.
    for (const auto& [head, counts] : {std::pair{library_record::FIELDS[library_record::FORMAT].head, &figures.formats},
                                      std::pair{std::string_view("Jahrzehnt:"), &figures.decades}}) {
        if (counts->empty()) continue;
        std::vector<std::vector<std::string>> rows{{std::string(head), "DVDs:"}};
        for (const auto& [name, dvds] : *counts) rows.push_back({name, std::to_string(dvds)});
        out += "\n" + columns(rows);
    }
    out += "\n" + columns({{"Verliehen:", std::to_string(figures.lentNow)}});
    if (figures.overdue) out += "davon " + std::to_string(*figures.overdue) + " ueberfaellig\n";
    if (!figures.borrowers.empty()) {
        using rental_record::FIELDS;
        std::vector<std::vector<std::string>> borrowers{
            {std::string(FIELDS[rental_record::SURNAME].head), std::string(FIELDS[rental_record::FIRST_NAME].head), "DVDs:"}};
        for (const auto& borrower : figures.borrowers)
            borrowers.push_back({borrower.name, borrower.firstName, std::to_string(borrower.dvds)});
        out += "\n" + columns(borrowers);
    }
    return out;
}
