#pragma once
#include <string_view>

// A line of "DVDBibliothek.csv", described once: the store, the form, the
// lists, the printout and the text list take their columns from here.
namespace library_record {

constexpr std::string_view FILE_NAME = "DVDBibliothek.csv";

// The fields in the order of the file's line.
enum Column { GENRE, TITLE_GERMAN, TITLE_ENGLISH, LENGTH_MINUTES, COLUMN_COUNT };

struct Field {
    const char* head;       // column head of the lists and the printout
    const char* formLabel;  // label in the form
    int formRow;
    int length;             // characters the form takes; the printed column's width
    char formStep;          // the key at the save prompt that asks for the field again
    int listColumn;         // where the screen list shows it
    bool isNumber;          // ordered by value, printed right-aligned
};

inline constexpr Field FIELDS[COLUMN_COUNT] = {
    {"Film Art:", "Film Art:", 10, 20, '@', 2, false},
    {"Titel DE:", "Titel in Deutsch:", 12, 30, 'T', 20, false},
    {"Titeln ENG:", "Titel in Englisch:", 14, 30, 'E', 45, false},
    {"Laenge:", "Laenge in Minuten:", 16, 3, 'L', 70, true},
};

// Every line ends with a separator after the running time.
constexpr bool ENDS_WITH_SEPARATOR = true;

// The count line's nouns.
constexpr std::string_view ONE_RECORD = "DVD";
constexpr std::string_view MANY_RECORDS = "DVDs";

}  // namespace library_record
