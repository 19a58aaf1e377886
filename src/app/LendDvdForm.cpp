#include <memory>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/FormEngine.h"
#include "app/JournalEntry.h"
#include "app/LockWaitNotice.h"
#include "rental/LendingJournal.h"
#include "app/TitleCompletion.h"

namespace {

constexpr std::string_view NOT_IN_LIBRARY = "FILM NICHT VORHANDEN!";
constexpr std::string_view ALREADY_LENT = "DVD IST BEREITS VERLIEHEN!";
constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;

using LoadResult = storage::StoreFile::LoadResult;

// A title can be lent while the library holds more DVDs with exactly that
// German title than the rental file has lendings of it; both files are
// looked through whole, holding none of them. Remembers why it said no.
class ShelfCheck {
public:
    bool copyLeft(const std::string& title, const RentalRegister& rentals) {
        notWhollyRead = false;
        reason = NOT_IN_LIBRARY;
        const storage::StoreFile::Count copies = DvdLibrary::copiesOf(title);
        if (copies.read == LoadResult::Locked) return refuse(dialog::FILE_LOCKED);
        if (copies.matches == 0) {
            notWhollyRead = copies.stoppedAtBound;
            return false;
        }
        const RentalRegister::Lendings lendings = rentals.lendingsOf(title);
        if (lendings.locked) return refuse(dialog::FILE_LOCKED);
        return copies.matches > lendings.count || refuse(ALREADY_LENT);
    }

    // Made again at the save, with the lendings counted under the append's
    // lock: two programs cannot both lend the last copy.
    SaveOutcome saveIfCopyLeft(const std::string& title, RentalRegister& rentals) {
        bool libraryRead = true;
        const auto appended = rentals.appendRecordIf([&](int lendings) {
            const storage::StoreFile::Count copies = DvdLibrary::copiesOf(title);
            libraryRead = copies.read == LoadResult::Loaded;
            // The library may have lost the title since the field took it.
            reason = copies.matches == 0 ? NOT_IN_LIBRARY : ALREADY_LENT;
            return libraryRead && copies.matches > lendings;
        });
        if (appended == storage::StoreFile::AppendResult::Appended) return SaveOutcome::Saved;
        return appended == storage::StoreFile::AppendResult::Refused && libraryRead ? SaveOutcome::Refused
                                                                                   : SaveOutcome::Failed;
    }

    std::string_view lastReason() const { return reason; }

    // The message for the last refusal, with "not wholly read" below it where that applies.
    std::string_view message(ConsoleScreen& screen) const {
        return dialog::notFoundMessage(screen, {.fileNotWhollyRead = notWhollyRead}, MESSAGE_ROW, MESSAGE_COLUMN, reason);
    }

private:
    bool refuse(std::string_view why) {
        reason = why;
        return false;
    }

    std::string_view reason = NOT_IN_LIBRARY;
    bool notWhollyRead = false;  // the title was not found in the part of the file read
};

}  // namespace

// The lending is assembled in WORK_ROW of the rental register and appended to
// the file as one line; the register itself is neither loaded nor counted.
void DvdApplication::lendDvdForm() {
    auto shelf = std::make_shared<ShelfCheck>();
    const auto field = [this](auto set) { return workRowField(rentals, set, WORK_ROW); };
    using namespace rental_record;
    const FormDefinition form{
        .drawHeading = &DvdApplication::drawLendHeading,
        .fields = {
            {.label = FIELDS[FILM_TITLE].formLabel, .row = FIELDS[FILM_TITLE].formRow,
             .length = FIELDS[FILM_TITLE].length, .step = FIELDS[FILM_TITLE].formStep,
             .value = field(&RentalRegister::setFilmTitle),
             .accepts = [this, shelf](const std::string& text) {
                 return withLockWaitNotice(*this, MESSAGE_ROW, MESSAGE_COLUMN, [&] { return shelf->copyLeft(text, rentals); });
             },
             .refusal = {.message = NOT_IN_LIBRARY,
                         .messageNow = [this, shelf] { return shelf->message(*this); },
                         .row = MESSAGE_ROW, .column = MESSAGE_COLUMN,
                         .then = FieldRefusal::Then::StartAfresh},
             .complete = completion::libraryTitles({*this, MESSAGE_ROW, MESSAGE_COLUMN, FIELDS[FILM_TITLE].length})},
            {.label = FIELDS[SURNAME].formLabel, .row = FIELDS[SURNAME].formRow,
             .length = FIELDS[SURNAME].length, .step = FIELDS[SURNAME].formStep,
             .value = field(&RentalRegister::setSurname)},
            {.label = FIELDS[FIRST_NAME].formLabel, .row = FIELDS[FIRST_NAME].formRow,
             .length = FIELDS[FIRST_NAME].length, .step = FIELDS[FIRST_NAME].formStep,
             .value = field(&RentalRegister::setFirstName)},
        },
        .appendRecord =
            [this, shelf] {
                const SaveOutcome saved = withLockWaitNotice(
                    *this, MESSAGE_ROW, MESSAGE_COLUMN, [&] { return shelf->saveIfCopyLeft(rentals.getFilmTitle(WORK_ROW), rentals); });
                // The register is the record of truth: the journal comes after it.
                if (saved == SaveOutcome::Saved)
                    journal_entry::note(*this, lending_journal::LENT, lending_journal::borrowingAt(rentals, WORK_ROW),
                                        MESSAGE_ROW, MESSAGE_COLUMN);
                return saved;
            },
        .saveRefusal = [shelf] { return shelf->lastReason(); },
        .messageRow = MESSAGE_ROW,
        .messageColumn = MESSAGE_COLUMN,
    };
    runForm(*this, form);
}
