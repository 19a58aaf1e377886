#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class DvdApplication;
class TitledScreen;

// Where a field's value lives while the record is assembled.
struct FieldValue {
    std::function<void(std::string)> set;
    std::function<std::string()> get;
};

// The field of a store's work row that a form fills in.
template <typename Store>
FieldValue workRowField(Store& store, void (Store::*set)(std::string, int), std::string (Store::*get)(int) const,
                        int workRow) {
    return {[&store, set, workRow](std::string text) { (store.*set)(std::move(text), workRow); },
            [&store, get, workRow] { return (store.*get)(workRow); }};
}

// What a field does with a text its check refuses.
struct FieldRefusal {
    enum class Then {
        AskAgain,     // the field blanked, the message shown and erased, the field asked again
        StartAfresh,  // the message left standing until the form is drawn anew
    };
    std::string_view message;
    int row = 0;
    int column = 0;
    Then then = Then::AskAgain;
};

struct FormField {
    const char* label;
    int row;
    int length;
    // The step that asks for the field, also when typed as a key between fields.
    // The first field's step is the form's fresh start.
    int step;
    FieldValue value;
    // Empty: every text is taken.
    std::function<bool(const std::string&)> accepts = {};
    FieldRefusal refusal = {};
};

struct FormDefinition {
    void (TitledScreen::*drawHeading)();
    std::vector<FormField> fields;
    // Appends the assembled record; false when the file could not be written.
    std::function<bool()> appendRecord;
    // Where a failed save is reported.
    int messageRow;
    int messageColumn;
};

// Asks for the fields in turn, then offers to save (F1 or ';') or to discard
// (F2 or '<'); either starts the form afresh. A key typed between two steps
// replaces the next step: a step letter asks for its field, Escape leaves.
void runForm(DvdApplication& application, const FormDefinition& form);
