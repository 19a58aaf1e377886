#pragma once
#include "console/InputField.h"

class ConsoleScreen;

// Tab in a field completes what was typed to the stored values that begin
// with it, letter case and accents folded in both as the list filter does;
// the values come in file order, each distinct one once, cycling, exactly
// as stored, none longer than the field or holding a control code. The file is read at each Tab, as it
// is then (a wait for its lock shown at the dialog's message place), never
// before: a field where Tab is not pressed reads nothing.
namespace completion {

// Where a wait for a locked file is shown, and the field's length.
struct FieldPlace {
    ConsoleScreen& screen;
    int noticeRow;
    int noticeColumn;
    int fieldLength;
};

FieldCompletion libraryTitles(const FieldPlace& place);     // the German titles
FieldCompletion libraryFilmTypes(const FieldPlace& place);  // the film types
FieldCompletion rentalTitles(const FieldPlace& place);      // the titles lent
// The values of any field of the library (the format, the place).
FieldCompletion libraryValues(const FieldPlace& place, int column);

}  // namespace completion
