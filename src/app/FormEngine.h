#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/DialogSupport.h"
#include "console/InputField.h"
#include "storage/RecordTable.h"

class DvdApplication;
class TitledScreen;

// Where a field's value goes when the record is saved. Until then the form
// holds the values itself: the store's work row hands nothing over.
struct FieldValue {
    std::function<void(std::string)> set;
    // When set, called at a save instead of `set` for a field the form
    // started with a value in (startValues) that was only confirmed with
    // Enter since: the value stays as it is stored, whatever was shown of it.
    std::function<void()> keep = {};
};

// The field of a store's work row that a form fills in.
template <typename Store>
FieldValue workRowField(Store& store, void (Store::*set)(std::string, int), int workRow) {
    return {[&store, set, workRow](std::string text) { (store.*set)(std::move(text), workRow); }};
}

// What a field does with a text its check refuses.
struct FieldRefusal {
    enum class Then {
        AskAgain,     // the field blanked, the message shown and erased, the field asked again
        StartAfresh,  // the message left standing until the form is drawn anew
    };
    std::string_view message;
    // When set, the message for this refusal instead (the reason may vary).
    std::function<std::string_view()> messageNow = {};
    int row = 0;
    int column = 0;
    Then then = Then::AskAgain;
};

struct FormField {
    std::string_view label;
    int row;
    int length;
    // The key that asks for the field again at the save prompt, its value
    // kept; the first field's key is the form's fresh start.
    int step;
    FieldValue value;
    // Empty: every text is taken.
    std::function<bool(const std::string&)> accepts = {};
    FieldRefusal refusal = {};
    // What Tab completes in the field; without it Tab types nothing.
    FieldCompletion complete = {};
};

// A field of a record table as a form asks for it: label, row, length and
// step key from the table, its value handed to `value` at the save.
FormField formFieldOf(const storage::FieldSpec& field, FieldValue value);

enum class SaveOutcome {
    Saved,
    Failed,            // the file could not be written
    Refused,           // a check made under the append's lock says no: the first field is asked again
    Declined,          // a check says no: saveRefusal where a failure shows, then the save prompt again
    ChangedMeanwhile,  // the file changed since it was read: nothing written, the form ends
};

// How a form ended.
enum class FormEnd { Escaped, Saved, Discarded, FileChanged };

struct FormDefinition {
    void (TitledScreen::*drawHeading)();
    std::vector<FormField> fields;
    // Appends the assembled record.
    std::function<SaveOutcome()> appendRecord;
    // Shown, where the first field shows its refusal, when a save is refused
    // (where a failed save is reported, when it is declined).
    std::function<std::string_view()> saveRefusal = {};
    // When set, the values the form starts with, all shown at their fields
    // at once, then each field showing its own as a field asked again does;
    // a value only confirmed is taken without its field's check. A fresh
    // start brings them back.
    std::vector<std::string> startValues = {};
    // The form ends after a save or a discard instead of starting afresh.
    bool endsAfterDecision = false;
    // Where a failed save is reported.
    int messageRow;
    int messageColumn;
    // Where "F1 Speichern" stands, "F2 Nicht Speichern" two rows below.
    int savePromptRow = dialog::SAVE_PROMPT_ROW;
};

// Asks for the fields in turn, then waits for the decision: save (F1 or ';')
// or discard (F2 or '<'), either starting the form afresh, empty; a field's
// step key asks for that field and the ones after it again, their values
// kept; Escape leaves. Keys typed ahead go to the field or the decision they
// reach, never past them, so typing fast is the same as typing slowly.
FormEnd runForm(DvdApplication& application, const FormDefinition& form);
