#pragma once
#include <string_view>

#include "storage/RecordTable.h"

// A line of "DVDVerleih.csv", described once.
namespace rental_record {

// The fields in the order of the file's line.
enum Column { FILM_TITLE, SURNAME, FIRST_NAME, COLUMN_COUNT };

using storage::SortAs;
inline constexpr storage::FieldSpec FIELDS[COLUMN_COUNT] = {
    {"Titel", "Titel:", "Titel:", 10, 30, '@', 2, SortAs::Title},
    {"Name", "Name:", "Name:", 12, 30, 'T', 35, SortAs::Text},
    {"Vorname", "Vorname:", "Vorname:", 14, 30, 'E', 50, SortAs::Unsorted},
};

// No separator after the last field.
inline constexpr storage::RecordTable TABLE{"DVDVerleih.csv", {COLUMN_COUNT, false}, FIELDS, "Verleih - Liste",
                                           "Ausleihe", "Ausleihen"};

}  // namespace rental_record
