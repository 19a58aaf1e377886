#pragma once
#include <string_view>

#include "storage/RecordTable.h"

// A line of "DVDBibliothek.csv", described once.
namespace library_record {

// The fields in the order of the file's line.
enum Column { GENRE, TITLE_GERMAN, TITLE_ENGLISH, LENGTH_MINUTES, YEAR, FORMAT, LOCATION, EAN, NOTE, COLUMN_COUNT };
// The fields every line holds; the new-DVD form asks for these alone.
constexpr int PLAIN_COLUMN_COUNT = YEAR;

// As folded: the names collection programs, film sites and spreadsheets use.
inline constexpr std::string_view GENRE_NAMES[] = {"film art", "filmart", "art", "genre", "genres"};
inline constexpr std::string_view TITLE_GERMAN_NAMES[] = {"titel", "titel de", "titel in deutsch", "deutscher titel",
                                                          "title", "name"};
inline constexpr std::string_view TITLE_ENGLISH_NAMES[] = {"titel en", "titel in englisch", "englischer titel",
                                                           "originaltitel", "original title"};
inline constexpr std::string_view LENGTH_NAMES[] = {"laenge", "lange", "laufzeit", "dauer",
                                                    "minuten", "runtime (mins)", "runtime"};
inline constexpr std::string_view YEAR_NAMES[] = {"jahr", "year", "erscheinungsjahr"};
inline constexpr std::string_view FORMAT_NAMES[] = {"format", "medium", "medientyp"};
inline constexpr std::string_view LOCATION_NAMES[] = {"standort", "regal", "ort", "location"};
inline constexpr std::string_view EAN_NAMES[] = {"ean", "barcode", "upc", "gtin"};
inline constexpr std::string_view NOTE_NAMES[] = {"notiz", "bemerkung", "notes", "kommentar"};

using storage::SortAs;
using storage::ValueKind;
inline constexpr storage::FieldSpec FIELDS[COLUMN_COUNT] = {
    {"Film Art", "Film Art:", "Film Art:", 10, 20, '@', 2, SortAs::Text, ValueKind::Text, GENRE_NAMES},
    {"Titel in Deutsch", "Titel DE:", "Titel in Deutsch:", 12, 30, 'T', 20, SortAs::Title, ValueKind::Text,
     TITLE_GERMAN_NAMES},
    {"Titel in Englisch", "Titeln ENG:", "Titel in Englisch:", 14, 30, 'E', 45, SortAs::Title, ValueKind::Text,
     TITLE_ENGLISH_NAMES},
    {"Laenge", "Laenge:", "Laenge in Minuten:", 16, 3, 'L', 70, SortAs::Number, ValueKind::RunningTime, LENGTH_NAMES},
    // Below the four in the form that corrects a record, beyond them in the lists.
    {"Jahr", "Jahr:", "Jahr:", 18, 4, 'J', 80, SortAs::Number, ValueKind::Year, YEAR_NAMES},
    {"Format", "Format:", "Format:", 20, 12, 'F', 87, SortAs::Text, ValueKind::Text, FORMAT_NAMES},
    {"Standort", "Standort:", "Standort:", 22, 20, 'O', 101, SortAs::Text, ValueKind::Text, LOCATION_NAMES},
    {"EAN", "EAN:", "EAN:", 24, 13, 'B', 123, SortAs::Text, ValueKind::Ean, EAN_NAMES},
    {"Notiz", "Notiz:", "Notiz:", 26, 40, 'N', 138, SortAs::Text, ValueKind::Text, NOTE_NAMES},
};

// Every field ends with a separator, the last too; a DVD with none of the
// fields after the running time is written as the plain four.
inline constexpr storage::RecordTable TABLE{
    "DVDBibliothek.csv", {COLUMN_COUNT, true, PLAIN_COLUMN_COUNT}, FIELDS, "DVD - Liste", "DVD", "DVDs"};

}  // namespace library_record
