#include "app/FormEngine.h"

#include <iostream>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_SAVE_PROMPT = 'S';
constexpr int KEY_SAVE = keys::F1;  // also ';'
constexpr int KEY_DISCARD = keys::F2;  // also '<'
constexpr int LABEL_COLUMN = 20;
constexpr int FIELD_COLUMN = 40;

class FormRun {
public:
    FormRun(DvdApplication& application, const FormDefinition& form)
        : application(application), form(form), values(form.fields.size()), onlyConfirmed(form.fields.size()) {}

    FormEnd run() {
        startAfresh();
        for (std::size_t next = 0;;) {
            if (next < form.fields.size()) {
                const Asked asked = ask(next);
                if (asked == Asked::Escaped) return FormEnd::Escaped;
                if (asked == Asked::Taken) ++next;
                if (asked == Asked::Refused && refuse(form.fields[next])) next = startAfresh();
                continue;
            }
            const int decision = awaitDecision();
            if (decision == keys::ESCAPE) return FormEnd::Escaped;
            const SaveOutcome saved = decision == KEY_SAVE ? save() : SaveOutcome::Saved;
            if (saved == SaveOutcome::Failed || saved == SaveOutcome::Declined) continue;  // back to the save prompt
            if (saved == SaveOutcome::ChangedMeanwhile) return FormEnd::FileChanged;
            if (saved == SaveOutcome::Refused) {
                // The first field again, blank; the ones after it keep their values.
                refuseAgain(form.fields.front(), form.saveRefusal());
                next = 0;
                keepValuesFrom = 1;
                continue;
            }
            if (form.endsAfterDecision && (decision == KEY_SAVE || decision == KEY_DISCARD))
                return decision == KEY_SAVE ? FormEnd::Saved : FormEnd::Discarded;
            if (decision == KEY_SAVE || decision == KEY_DISCARD || decision == form.fields.front().step) {
                next = startAfresh();
            } else {
                next = fieldOfStep(decision);
                keepValuesFrom = next;
            }
        }
    }

private:
    enum class Asked { Taken, Refused, Escaped };

    std::size_t fieldOfStep(int key) const {
        std::size_t index = 0;
        while (index < form.fields.size() && form.fields[index].step != key) ++index;
        return index;
    }

    void drawLabel(const FormField& field) {
        application.setColor(colors::YELLOW, colors::BLACK);
        application.setCursor(field.row, LABEL_COLUMN);
        std::cout << field.label;
    }

    Asked ask(std::size_t index) {
        const FormField& field = form.fields[index];
        drawLabel(field);
        const FieldStart start{.shownValue = index >= keepValuesFrom ? std::string_view(values[index]) : "",
                               .complete = field.complete};
        FieldEntry entry = enterField(application, field.length, field.row, FIELD_COLUMN, start);
        if (entry.text == "escape") return Asked::Escaped;
        // A stored value only confirmed stays whole, unchecked: it was not typed.
        if (entry.edited) onlyConfirmed[index] = false;
        if (onlyConfirmed[index]) return Asked::Taken;
        std::string& text = entry.text;
        const bool accepted = !field.accepts || field.accepts(text);
        // A refused value is not kept for the next time the field is asked.
        values[index] = accepted ? std::move(text) : std::string();
        return accepted ? Asked::Taken : Asked::Refused;
    }

    // True when the form starts afresh after the message.
    bool refuse(const FormField& field) {
        const FieldRefusal& refusal = field.refusal;
        const std::string_view message = refusal.messageNow ? refusal.messageNow() : refusal.message;
        if (refusal.then == FieldRefusal::Then::StartAfresh) {
            dialog::showMessage(application, refusal.row, refusal.column, message);
            application.setColor(colors::YELLOW, colors::BLACK);
            return true;
        }
        refuseAgain(field, message);
        return false;
    }

    // The field blanked, the message shown and erased: the field is asked again.
    void refuseAgain(const FormField& field, std::string_view message) {
        const std::size_t index = static_cast<std::size_t>(&field - form.fields.data());
        values[index].clear();
        application.setCursor(field.row, FIELD_COLUMN);
        std::cout << std::string(static_cast<std::size_t>(field.length), ' ');
        dialog::showMessage(application, field.refusal.row, field.refusal.column, message);
        dialog::eraseMessage(application, field.refusal.row, field.refusal.column, message);
    }

    // The save prompt, then the first key that decides something.
    int awaitDecision() {
        dialog::drawSavePrompt(application, form.savePromptRow);
        for (;;) {
            const keys::KeyPress key = keys::readKey(application);
            // Of the keys without a character only F1 and F2 decide.
            if (key.extended && key.code != KEY_SAVE && key.code != KEY_DISCARD) continue;
            if (key.code == STEP_SAVE_PROMPT) dialog::drawSavePrompt(application, form.savePromptRow);
            if (key.code == keys::ESCAPE || key.code == KEY_SAVE || key.code == KEY_DISCARD ||
                fieldOfStep(key.code) < form.fields.size())
                return key.code;
        }
    }

    // A failure is shown here; a refusal is the caller's to show.
    SaveOutcome save() {
        for (std::size_t index = 0; index < form.fields.size(); ++index) {
            const FieldValue& value = form.fields[index].value;
            if (onlyConfirmed[index] && value.keep) {
                value.keep();
            } else {
                value.set(values[index]);
            }
        }
        const SaveOutcome saved = form.appendRecord();
        if (saved == SaveOutcome::Failed) dialog::reportSaveFailure(application, form.messageRow, form.messageColumn);
        if (saved == SaveOutcome::Declined) {
            const std::string_view reason = form.saveRefusal();
            dialog::showMessage(application, form.messageRow, form.messageColumn, reason);
            dialog::eraseMessage(application, form.messageRow, form.messageColumn, reason);
        }
        if (saved == SaveOutcome::ChangedMeanwhile)
            dialog::showMessage(application, form.messageRow, form.messageColumn, dialog::FILE_CHANGED);
        return saved;
    }

    // Clears the values (or brings back the ones the form started with,
    // shown at their fields) and the screen; the first field is asked next.
    std::size_t startAfresh() {
        application.clearScreen();
        (application.*form.drawHeading)();
        const bool started = form.startValues.size() == values.size();
        if (started) {
            values = form.startValues;
            keepValuesFrom = 0;
            for (std::size_t index = 0; index < values.size(); ++index) drawStartValue(form.fields[index], values[index]);
        } else {
            for (std::string& value : values) value.clear();
            keepValuesFrom = form.fields.size();
        }
        onlyConfirmed.assign(values.size(), started);
        return 0;
    }

    // As the field shows it when asked: its beginning where it is longer.
    void drawStartValue(const FormField& field, const std::string& value) {
        drawLabel(field);
        application.setColor(colors::WHITE, colors::BLACK);
        const std::string_view shown = std::string_view(value).substr(0, static_cast<std::size_t>(field.length));
        dialog::writeAt(application, field.row, FIELD_COLUMN, shown);
    }

    DvdApplication& application;
    const FormDefinition& form;
    std::vector<std::string> values;  // per field: the value taken since the form last started afresh
    std::size_t keepValuesFrom = 0;   // fields from this one on show their value when asked
    std::vector<bool> onlyConfirmed;  // per field: still its start value, only confirmed with Enter
};

}  // namespace

FormField formFieldOf(const storage::FieldSpec& field, FieldValue value) {
    return {.label = field.formLabel, .row = field.formRow, .length = field.length, .step = field.formStep,
            .value = std::move(value)};
}

FormEnd runForm(DvdApplication& application, const FormDefinition& form) { return FormRun(application, form).run(); }
