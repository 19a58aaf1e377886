#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The figures --statistik writes, folded from the records one at a time.
struct CollectionStatistics {
    struct GenreFigures {
        std::string genre;
        long dvds = 0;
        long long minutes = 0;
    };
    struct Borrower {
        std::string name;
        std::string firstName;
        long dvds = 0;
    };

    long dvds = 0;
    long distinctTitles = 0;
    long long minutes = 0;             // of the lengths that are numbers; two may pass 32 bits
    std::vector<GenreFigures> genres;  // most DVDs first, then most minutes, then by name
    // Of the records that have one: DVDs per format (most first, then by
    // name) and per decade of the year ("1990er", the oldest first).
    std::vector<std::pair<std::string, long>> formats;
    std::vector<std::pair<std::string, long>> decades;
    long lentNow = 0;
    // Of lentNow, by the journal's dates; empty when the journal could not be read.
    std::optional<long> overdue;
    std::vector<Borrower> borrowers;  // holding most first, then by name
};

// Library records as their fields, in the order of library/LibraryRecord.h.
using LibraryRecords = std::vector<std::vector<std::string>>;
// Rental records: title, surname, first name.
using RentalRecords = std::vector<std::vector<std::string>>;

// The figures of a collection and its lendings; at most `borrowersShown` borrowers.
CollectionStatistics countCollection(const LibraryRecords& library, const RentalRecords& rentals,
                                     std::size_t borrowersShown);

// The figures as --statistik writes them, in code page 850.
std::string statisticsText(const CollectionStatistics& figures);
