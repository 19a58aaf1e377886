#pragma once
#include <string_view>

#include "storage/RecordTable.h"

// A line of "DVDBibliothek.csv", described once.
namespace library_record {

// The fields in the order of the file's line.
enum Column { GENRE, TITLE_GERMAN, TITLE_ENGLISH, LENGTH_MINUTES, COLUMN_COUNT };

// As folded: the names collection programs, film sites and spreadsheets use.
inline constexpr std::string_view GENRE_NAMES[] = {"film art", "filmart", "art", "genre", "genres"};
inline constexpr std::string_view TITLE_GERMAN_NAMES[] = {"titel", "titel de", "titel in deutsch", "deutscher titel",
                                                          "title", "name"};
inline constexpr std::string_view TITLE_ENGLISH_NAMES[] = {"titel en", "titel in englisch", "englischer titel",
                                                           "originaltitel", "original title"};
inline constexpr std::string_view LENGTH_NAMES[] = {"laenge", "lange", "laufzeit", "dauer",
                                                    "minuten", "runtime (mins)", "runtime"};

using storage::SortAs;
using storage::ValueKind;
inline constexpr storage::FieldSpec FIELDS[COLUMN_COUNT] = {
    {"Film Art", "Film Art:", "Film Art:", 10, 20, '@', 2, SortAs::Text, ValueKind::Text, GENRE_NAMES},
    {"Titel in Deutsch", "Titel DE:", "Titel in Deutsch:", 12, 30, 'T', 20, SortAs::Text, ValueKind::Text,
     TITLE_GERMAN_NAMES},
    {"Titel in Englisch", "Titeln ENG:", "Titel in Englisch:", 14, 30, 'E', 45, SortAs::Text, ValueKind::Text,
     TITLE_ENGLISH_NAMES},
    {"Laenge", "Laenge:", "Laenge in Minuten:", 16, 3, 'L', 70, SortAs::Number, ValueKind::RunningTime, LENGTH_NAMES},
};

// Every line ends with a separator after the running time.
inline constexpr storage::RecordTable TABLE{"DVDBibliothek.csv", {COLUMN_COUNT, true}, FIELDS, "DVD - Liste", "DVD",
                                           "DVDs"};

}  // namespace library_record
