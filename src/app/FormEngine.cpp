#include "app/FormEngine.h"

#include <iostream>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_SAVE_PROMPT = 'S';
constexpr int WAITING_FOR_DECISION = 0;
constexpr int KEY_SAVE = keys::F1;  // also ';'
constexpr int KEY_DISCARD = keys::F2;  // also '<'
constexpr int LABEL_COLUMN = 20;
constexpr int FIELD_COLUMN = 40;

class FormRun {
public:
    FormRun(DvdApplication& application, const FormDefinition& form)
        : application(application), form(form), values(form.fields.size()), taken(form.fields.size(), false) {}

    void run() {
        int state = DvdApplication::REDRAW;
        for (;;) {
            state = dialog::nextState(application, state, stepActs(state));
            if (state == keys::ESCAPE) return;
            state = act(state);
            if (state == keys::ESCAPE) return;
        }
    }

private:
    bool stepActs(int state) const {
        return state == STEP_SAVE_PROMPT || state == KEY_SAVE || state == KEY_DISCARD || state == keys::ESCAPE ||
               fieldOfStep(state) != nullptr;
    }

    const FormField* fieldOfStep(int state) const {
        for (const FormField& field : form.fields)
            if (field.step == state) return &field;
        return nullptr;
    }

    int act(int state) {
        if (const FormField* field = fieldOfStep(state)) return ask(*field);
        switch (state) {
            case STEP_SAVE_PROMPT:
                dialog::drawSavePrompt(application);
                return WAITING_FOR_DECISION;
            case KEY_SAVE: return save();
            case KEY_DISCARD:
                startAfresh();
                return DvdApplication::REDRAW;
            default: return state;
        }
    }

    int ask(const FormField& field) {
        const auto index = static_cast<std::size_t>(&field - form.fields.data());
        if (index == 0) {
            // The first field is the form's fresh start.
            startAfresh();
            application.clearScreen();
            (application.*form.drawHeading)();
        }
        application.setColor(colors::YELLOW, colors::BLACK);
        application.setCursor(field.row, LABEL_COLUMN);
        std::cout << field.label;
        std::string text = application.readField(field.length, field.row, FIELD_COLUMN);
        if (text == "escape") return keys::ESCAPE;
        taken[index] = !field.accepts || field.accepts(text);
        values[index] = std::move(text);
        if (!taken[index]) return refuse(field);
        return index + 1 < form.fields.size() ? form.fields[index + 1].step : STEP_SAVE_PROMPT;
    }

    int refuse(const FormField& field) {
        const FieldRefusal& refusal = field.refusal;
        const std::string_view message = refusal.messageNow ? refusal.messageNow() : refusal.message;
        if (refusal.then == FieldRefusal::Then::StartAfresh) {
            dialog::showMessage(application, refusal.row, refusal.column, message);
            application.setColor(colors::YELLOW, colors::BLACK);
            return DvdApplication::REDRAW;
        }
        application.setCursor(field.row, FIELD_COLUMN);
        std::cout << std::string(static_cast<std::size_t>(field.length), ' ');
        dialog::showMessage(application, refusal.row, refusal.column, message);
        dialog::eraseMessage(application, refusal.row, refusal.column, message);
        return field.step;
    }

    // Keys typed ahead (a held save key, a save key during a message) can
    // reach the save step with fields not typed since the fresh start: the
    // first such field is asked for instead, and nothing is written.
    int save() {
        for (std::size_t index = 0; index < form.fields.size(); ++index) {
            if (!taken[index]) return form.fields[index].step;
        }
        for (std::size_t index = 0; index < form.fields.size(); ++index) form.fields[index].value.set(values[index]);
        if (!form.appendRecord()) {
            dialog::reportSaveFailure(application, form.messageRow, form.messageColumn);
            return STEP_SAVE_PROMPT;
        }
        startAfresh();
        return DvdApplication::REDRAW;
    }

    void startAfresh() {
        for (std::string& value : values) value.clear();
        taken.assign(taken.size(), false);
    }

    DvdApplication& application;
    const FormDefinition& form;
    // Per field: the text typed since the form last started afresh, and
    // whether it was typed and taken.
    std::vector<std::string> values;
    std::vector<bool> taken;
};

}  // namespace

void runForm(DvdApplication& application, const FormDefinition& form) { FormRun(application, form).run(); }
