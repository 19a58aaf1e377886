#pragma once
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Csv.h"
#include "storage/LineRemoval.h"
#include "storage/RecordScan.h"
#include "storage/StoreLimits.h"

namespace storage {

// One column of a store: a fixed array of byte strings indexed by row.
using StoreColumn = std::array<std::string, MAX_RECORDS>;
// The columns of one store, in the order of the fields of its file lines.
using ColumnList = std::span<StoreColumn* const>;

// Empties rows firstRow to lastRow inclusive, each row column by column.
void emptyRows(ColumnList columns, int firstRow, int lastRow);

// Takes `row` out of the `count` records held: the later rows move up one,
// the row after the records included, and row `count` is emptied.
void removeRow(ColumnList columns, int row, int count);

// The texts of one row, in column order, for writing.
std::vector<std::string_view> rowFields(ColumnList columns, int row);

// How a rewrite of a data file ended. ChangedMeanwhile: the file no longer
// begins with the bytes last read from it (or is gone), so nothing was written.
enum class SaveResult { Saved, Failed, ChangedMeanwhile };

// How many records of a data file hold exactly a text in one field, and the
// first of them, looked for through the whole file as far as a load reads,
// streaming.
struct RecordCount {
    FileRead read;
    int matches = 0;
    std::vector<std::string> firstMatch;  // its fields; empty without a match
};
RecordCount countRecords(const RecordTable& table, int column, std::string_view text);

enum class AppendResult { Appended, Failed, Refused };
// Hands the records of the file as it is now to a visitor; false when it cannot be read.
using RecordScanner = std::function<bool(const RecordVisitor& visit)>;
using AppendCheck = std::function<bool(const RecordScanner& fileNow)>;

// The one append to a data file: the fields as one line (after a CR LF when
// the file's last line has no line end), with a single write. Appended only
// when the whole line is in the file; a file this append created is removed
// again when it stayed empty. When `allowed` is given, it is handed the
// file's records under the append's lock and the line is written only once
// it says yes: another writer cannot change them between the check and the
// append. A refusal writes nothing.
AppendResult appendRecord(const RecordTable& table, std::span<const std::string_view> fields,
                          const AppendCheck& allowed = {});

// The file side of a store: reads records into its columns, appends one row,
// and takes the lines of removed records out of the file. A removal copies
// the file as it is, leaving out exactly the bytes of those lines, so every
// other line keeps its bytes, whatever its form and however long the file.
class StoreFile {
public:
    using LoadResult = storage::LoadResult;
    using LineSpan = CsvRecordReader::LineSpan;

    // A record found by findRecord: its number in the file, its line, where
    // its fields stand in the file and what they hold (each cut to
    // FIELD_BYTES_KEPT).
    struct Match {
        int record = 0;
        LineSpan line;
        std::vector<LineSpan> fieldPlaces;  // as many as the line has, up to the layout's columns
        bool fieldsPlaced = true;           // false: a cut field hid where the later ones stand
        std::vector<std::string> fields;
    };

    // The records found by findRecord, in file order.
    struct Search {
        static constexpr int NOT_FOUND = -1;
        // Held at most: as many as a list shows, so that a file of one title
        // over and over is searched in bounded memory.
        static constexpr std::size_t MATCHES_HELD = MAX_RECORDS - 1;
        // stoppedAtBound only when nothing was found.
        FileRead read;
        std::vector<Match> matches;
        int firstRecord() const { return matches.empty() ? NOT_FOUND : matches.front().record; }
        // The match of that record, or none.
        const Match* matchOf(int record) const;
    };

    using Count = RecordCount;

    explicit StoreFile(const RecordTable& table);

    // Reads the file, as far as FILE_BYTES_SCANNED, and appends its records
    // to rows `count` onwards, as many as fit below MAX_RECORDS - 1 rows,
    // raising `count`; the others are counted as unread. Anything but Loaded
    // leaves the rows untouched.
    LoadResult load(ColumnList columns, int& count);

    // Looks through every record of the file, as far as FILE_BYTES_SCANNED,
    // for those whose field `column` holds exactly `text`, streaming:
    // besides the matches, no more than one record is held. What it read
    // becomes the bytes a replace expects; rows loaded before keep their
    // lines only when the file still begins with the bytes they came from.
    Search findRecord(int column, std::string_view text);

    // Looks through every record of the file, as far as FILE_BYTES_SCANNED,
    // streaming, for those whose field `column` holds exactly `text`.
    Count countRecords(int column, std::string_view text) const { return storage::countRecords(table, column, text); }

    // The store was emptied: it holds nothing of the file any more.
    void forget();

    // Appends one row as appendRecord does.
    AppendResult append(ColumnList columns, int row, const AppendCheck& allowed = {}) const {
        return appendRecord(table, rowFields(columns, row), allowed);
    }

    // The line of loaded row `row` (none when not known), taken out of the
    // rows: the later rows move up one, as in the store.
    std::optional<LineSpan> takeRowLine(int row);
    // This line is to leave the file with the next replace; a line not known
    // refuses that replace.
    void removeLine(const std::optional<LineSpan>& line);

    // With the next replace, each value given (none: the field stays) goes
    // in place of that field's bytes in the line of `match`, written as an
    // append writes a field; every other byte of the line stays, its line
    // end too. A value for a field the line lacks adds the missing fields
    // after its last one; one for a field that cannot be placed refuses
    // that replace.
    void replaceFields(const Match& match, const std::vector<std::optional<std::string>>& values);

    // Takes the removed lines out of the file (and puts replaced lines' new
    // text in), and nothing else: lines
    // appended since the last read stay byte for byte. Any other change
    // since then refuses it (ChangedMeanwhile, file untouched), as does a
    // removed range that would hold another line end (Failed). Saved at once
    // when nothing was removed.
    SaveResult replace();

    // Records in the file that the last load did not keep.
    int unreadLineCount() const { return unreadLines; }
    // True when the last load stopped before the end of the file, so that
    // more records may follow than unreadLineCount says.
    bool stoppedBeforeEnd() const { return stoppedEarly; }

private:
    SaveResult copyWithoutRemovedLines(class DataFile& file);
    void forgetRowLines();

    const RecordTable& table;
    // What the last read saw. Empty when unknown (a read failed), which
    // refuses every replace until the next successful load.
    std::optional<FileView> seen;
    // The line of each record held, by row, and the lines removed since.
    std::vector<std::optional<LineSpan>> rowLines;
    std::vector<LineSpan> removedLines;
    struct Replacement {
        LineSpan line;
        std::vector<LineRemoval::Splice> splices;
    };
    std::vector<Replacement> replacements;
    bool removedUnknownLine = false;
    int unreadLines = 0;
    bool stoppedEarly = false;
};

}  // namespace storage
