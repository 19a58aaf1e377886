#pragma once
#include <string_view>

// A line of "DVDVerleih.csv", described once: the store, the form, the
// lists, the printout and the text list take their columns from here.
namespace rental_record {

constexpr std::string_view FILE_NAME = "DVDVerleih.csv";

// The fields in the order of the file's line.
enum Column { FILM_TITLE, SURNAME, FIRST_NAME, COLUMN_COUNT };

struct Field {
    const char* head;       // column head of the lists and the printout
    const char* formLabel;  // label in the lend form
    int formRow;
    int length;             // characters the form takes; the printed column's width
    char formStep;          // the key at the save prompt that asks for the field again
    int listColumn;         // where the screen list shows it
    bool ordersList;        // whether 's' orders the list by it
};

inline constexpr Field FIELDS[COLUMN_COUNT] = {
    {"Titel:", "Titel:", 10, 30, '@', 2, true},
    {"Name:", "Name:", 12, 30, 'T', 35, true},
    {"Vorname:", "Vorname:", 14, 30, 'E', 50, false},
};

constexpr bool ENDS_WITH_SEPARATOR = false;

constexpr std::string_view ONE_RECORD = "Ausleihe";
constexpr std::string_view MANY_RECORDS = "Ausleihen";

}  // namespace rental_record
