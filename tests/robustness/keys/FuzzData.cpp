#include "FuzzData.h"

#include <string>

namespace robustness {

const std::vector<Record>& fuzzLibraryRecords() {
    static const std::vector<Record> records = {
        {"Drama", "Der Pate", "The Godfather", "175"},
        {"Komoedie", "Eins, Zwei, Drei", "One, Two, Three", "104"},
        {"Krieg", "Das \"Boot\"", "The \"Boat\"", "149"},
        {"Sci-Fi", "Alien", "Alien", "117"},
        {"Sci-Fi", "Alien", "Alien (Director's Cut)", "116"},
        {"Western", "Spiel mir das Lied vom Tod", "Once Upon a Time in the West", "165"},
        {"M\x84rchen", "Die Sch\x94ne und das Biest", "Beauty and the Beast", "84"},
        {"", "Ohne Art", "", "1"},
        {"Anime", "Chihiros Reise ins Zauberland", "Spirited Away", "125"},
        {"Doku", "\"", ",", "0"},
        {"Drama", "123456789012345678901234567890", "x", "2147483647"},
    };
    return records;
}

const std::vector<Record>& fuzzRentalRecords() {
    static const std::vector<Record> records = {
        {"Der Pate", "Corleone", "Vito"},
        {"Alien", "Ripley", "Ellen"},
        {"Eins, Zwei, Drei", "Mac\"Namara", "C. R."},
        {"Die Sch\x94ne und das Biest", "M\x81ller", "J\x81rgen"},
        {"Alien", "Dallas", "Arthur"},
        {"Nicht mehr da", "Weg", "Ganz"},
    };
    return records;
}

const std::vector<Record>& fullLibraryRecords() {
    static const std::vector<Record> records = [] {
        std::vector<Record> all = fuzzLibraryRecords();
        for (int number = 1; all.size() < 1999; ++number)
            all.push_back({"Genre", "Film " + std::to_string(number), "Movie " + std::to_string(number), "90"});
        return all;
    }();
    return records;
}

}  // namespace robustness
