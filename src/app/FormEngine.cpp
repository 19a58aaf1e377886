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
        : application(application), form(form), acceptedThisRun(form.fields.size(), false) {}

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
            case KEY_DISCARD: return DvdApplication::REDRAW;
            default: return state;
        }
    }

    int ask(const FormField& field) {
        const auto index = static_cast<std::size_t>(&field - form.fields.data());
        if (index == 0) {
            application.clearScreen();
            (application.*form.drawHeading)();
        }
        application.setColor(colors::YELLOW, colors::BLACK);
        application.setCursor(field.row, LABEL_COLUMN);
        std::cout << field.label;
        const std::string text = application.readField(field.length, field.row, FIELD_COLUMN);
        field.value.set(text);
        if (text == "escape") return keys::ESCAPE;
        acceptedThisRun[index] = !field.accepts || field.accepts(text);
        if (!acceptedThisRun[index]) return refuse(field);
        return index + 1 < form.fields.size() ? form.fields[index + 1].step : STEP_SAVE_PROMPT;
    }

    int refuse(const FormField& field) {
        const FieldRefusal& refusal = field.refusal;
        if (refusal.then == FieldRefusal::Then::StartAfresh) {
            dialog::showMessage(application, refusal.row, refusal.column, refusal.message);
            application.setColor(colors::YELLOW, colors::BLACK);
            return DvdApplication::REDRAW;
        }
        application.setCursor(field.row, FIELD_COLUMN);
        std::cout << std::string(static_cast<std::size_t>(field.length), ' ');
        dialog::showMessage(application, refusal.row, refusal.column, refusal.message);
        dialog::eraseMessage(application, refusal.row, refusal.column, refusal.message);
        return field.step;
    }

    // Keys typed during a refusal's message, or ahead of the fields, can reach
    // the save step. A field asked again is checked once more on what the
    // record holds. A field that starts afresh is checked against the outside
    // world (a file): only a text accepted since it was typed in this run counts.
    int save() {
        for (std::size_t index = 0; index < form.fields.size(); ++index) {
            const FormField& field = form.fields[index];
            if (!field.accepts) continue;
            if (field.refusal.then == FieldRefusal::Then::StartAfresh) {
                if (!acceptedThisRun[index]) return DvdApplication::REDRAW;
            } else if (!field.accepts(field.value.get())) {
                return field.step;
            }
        }
        if (form.appendRecord()) return DvdApplication::REDRAW;
        dialog::reportSaveFailure(application, form.messageRow, form.messageColumn);
        return STEP_SAVE_PROMPT;
    }

    DvdApplication& application;
    const FormDefinition& form;
    std::vector<bool> acceptedThisRun;  // per field
};

}  // namespace

void runForm(DvdApplication& application, const FormDefinition& form) { FormRun(application, form).run(); }
