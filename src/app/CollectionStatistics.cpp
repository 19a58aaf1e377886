#include "app/CollectionStatistics.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"
#include "rental/RentalRecord.h"

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
