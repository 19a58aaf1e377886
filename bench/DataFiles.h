#pragma once
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// Both data files at their largest: 1999 records each, the most a store
// holds. The measurements and the storage benchmark read the same files.
namespace bench_data {

constexpr int kFullRecordCount = 1999;
constexpr const char* kLibraryFileName = "DVDBibliothek.csv";
constexpr const char* kRentalFileName = "DVDVerleih.csv";
// Every record of the full library has this film type, so a search lists them all.
constexpr const char* kGenre = "Komoedie";

// Record i of the full library: the plain four, or all nine fields filled
// (year, format, place, a 13-digit barcode, a note) as a catalogued
// collection holds them.
inline std::vector<std::string> libraryRecordFields(int i, bool allFields) {
    const std::string number = std::to_string(1000 + i);
    std::vector<std::string> fields{kGenre, "Der Fall " + number, "The Case " + number, "95"};
    if (!allFields) return fields;
    fields.push_back(std::to_string(1950 + i % 70));
    fields.push_back(i % 2 ? "Blu-ray" : "DVD");
    fields.push_back("Regal " + std::to_string(i % 40));
    fields.push_back("400" + std::to_string(1000000000 + i * 7));
    fields.push_back("Gekauft im Laden, Fall " + number);
    return fields;
}

inline std::string fullLibraryFile(bool allFields = false) {
    std::string text;
    for (int i = 0; i < kFullRecordCount; ++i) {
        for (const std::string& field : libraryRecordFields(i, allFields))
            text += field.find(',') == std::string::npos ? field + "," : "\"" + field + "\",";
        text += "\r\n";
    }
    return text;
}

inline std::string fullRentalFile() {
    std::string text;
    for (int i = 0; i < kFullRecordCount; ++i)
        text += "Der Fall " + std::to_string(1000 + i) + ",Muster,Max\r\n";
    return text;
}

// A library file of numbered lines of 39 bytes
// ("Krimi,Titel 0000001,Title 0000001,90,\r\n"), for files near the read bound.
inline void writeNumberedLibrary(long long lines) {
    std::ofstream out(kLibraryFileName, std::ios::binary | std::ios::trunc);
    char line[64];
    for (long long i = 0; i < lines; ++i) {
        const int length = std::snprintf(line, sizeof line, "Krimi,Titel %07lld,Title %07lld,90,\r\n", i, i);
        out.write(line, length);
    }
}

}  // namespace bench_data
