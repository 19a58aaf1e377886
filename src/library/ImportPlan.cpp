#include "library/ImportPlan.h"

#include "library/ImportColumns.h"
#include "library/ImportCsv.h"
#include "library/ImportValues.h"
#include "storage/CsvLineWriter.h"

namespace import_file {
namespace {

constexpr storage::CsvLayout LIBRARY_LINE{4, true};
constexpr long PROGRESS_EVERY = 1000;

// As column names: far longer than any name they are matched against, a
// first line of any length is looked at in bounded time.
constexpr std::size_t NAME_BYTES_MATCHED = 256;

std::vector<std::u32string> codePointsOf(const std::vector<std::string>& fields, Encoding encoding) {
    std::vector<std::u32string> names;
    for (const std::string& field : fields)
        names.push_back(toCodePoints(std::string_view(field).substr(0, NAME_BYTES_MATCHED), encoding));
    return names;
}

std::string unclosedReason(const UnclosedQuote& unclosed) {
    std::string reason = "Anfuehrungszeichen nicht geschlossen";
    const long next = unclosed.quoteLine + 1;
    if (unclosed.lastLine == next) reason += "; Zeile " + std::to_string(next) + " nicht uebernommen";
    if (unclosed.lastLine > next)
        reason += "; Zeilen " + std::to_string(next) + " bis " + std::to_string(unclosed.lastLine) + " nicht uebernommen";
    return reason;
}

}  // namespace

ImportPlan planImport(std::string_view bytes, std::optional<Encoding> encoding, const ImportProgress& progress) {
    ImportPlan plan;
    plan.encodingNamed = encoding.has_value();
    plan.encoding = encoding.value_or(detectEncoding(bytes));
    // UTF-16 is read as the UTF-8 it becomes, line for line.
    std::string fromUtf16;
    Encoding readAs = plan.encoding;
    if (plan.encoding == Encoding::Utf16Le || plan.encoding == Encoding::Utf16Be) {
        fromUtf16 = utf16ToUtf8(bytes.substr(2), plan.encoding == Encoding::Utf16Be);
        bytes = fromUtf16;
        readAs = Encoding::Utf8;
    }
    // A byte-order mark is never part of the first name, whatever the encoding.
    bytes.remove_prefix(byteOrderMarkLength(bytes));
    if (!plan.encodingNamed && readAs != Encoding::Utf8)
        plan.firstLineNotUtf8 = lineOfByte(bytes, firstNonUtf8Byte(bytes));
    plan.separator = detectSeparator(bytes);
    std::optional<ColumnMap> map;
    std::string line;
    const auto unclosed = forEachRecord(bytes, plan.separator, [&](const std::vector<std::string>& fields, long lineNumber) {
        if (!map) {
            plan.hasHeader = isHeader(codePointsOf(fields, readAs));
            if (!plan.hasHeader) {
                map = programOrder(fields.size());
            } else {
                map = mapHeader(codePointsOf(fields, readAs));
                for (const std::string& name : fields) plan.columns.push_back(toCp850(name, readAs));
                for (const std::size_t column : map->ignored) plan.ignoredColumns.push_back(plan.columns[column]);
                plan.hasGermanTitle = map->columnOf[static_cast<std::size_t>(Field::TitleGerman)] >= 0;
                return plan.hasGermanTitle;
            }
        }
        if (progress && lineNumber % PROGRESS_EVERY == 0) progress(lineNumber);
        TakenRecord taken = takeRecord(fields, *map, readAs);
        if (!taken.refusal.empty()) {
            plan.refused.push_back({lineNumber, std::move(taken.refusal)});
            ++plan.refusedLines;
            return true;
        }
        for (std::string& note : taken.notes) plan.cut.push_back({lineNumber, std::move(note)});
        const std::string_view values[] = {taken.values[0], taken.values[1], taken.values[2], taken.values[3]};
        line.clear();
        storage::appendCsvLine(values, LIBRARY_LINE, line);
        plan.newLines.add(line, lineNumber, taken.withoutLength);
        return true;
    });
    if (unclosed && plan.hasGermanTitle) {
        plan.refused.push_back({unclosed->quoteLine, unclosedReason(*unclosed)});
        plan.refusedLines += unclosed->lastLine - unclosed->recordLine + 1;
    }
    return plan;
}

}  // namespace import_file
