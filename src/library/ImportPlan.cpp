#include "library/ImportPlan.h"

#include "library/ImportColumns.h"
#include "library/ImportCsv.h"
#include "library/ImportValues.h"
#include "storage/CsvLineWriter.h"

namespace import_file {
namespace {

constexpr storage::CsvLayout LIBRARY_LINE{4, true};
constexpr long PROGRESS_EVERY = 1000;

std::vector<std::u32string> codePointsOf(const std::vector<std::string>& fields, Encoding encoding) {
    std::vector<std::u32string> names;
    for (const std::string& field : fields) names.push_back(toCodePoints(field, encoding));
    return names;
}

}  // namespace

ImportPlan planImport(std::string_view bytes, std::optional<Encoding> encoding, const ImportProgress& progress) {
    ImportPlan plan;
    plan.encoding = encoding.value_or(detectEncoding(bytes));
    if (plan.encoding == Encoding::Utf8) bytes.remove_prefix(byteOrderMarkLength(bytes));
    plan.separator = detectSeparator(bytes);
    std::optional<ColumnMap> map;
    std::string line;
    forEachRecord(bytes, plan.separator, [&](const std::vector<std::string>& fields, long lineNumber) {
        if (!map) {
            plan.hasHeader = isHeader(codePointsOf(fields, plan.encoding));
            if (!plan.hasHeader) {
                map = programOrder(fields.size());
            } else {
                map = mapHeader(codePointsOf(fields, plan.encoding));
                for (const std::string& name : fields) plan.columns.push_back(toCp850(name, plan.encoding));
                for (const std::size_t column : map->ignored) plan.ignoredColumns.push_back(plan.columns[column]);
                plan.hasGermanTitle = map->columnOf[static_cast<std::size_t>(Field::TitleGerman)] >= 0;
                return plan.hasGermanTitle;
            }
        }
        if (progress && lineNumber % PROGRESS_EVERY == 0) progress(lineNumber);
        TakenRecord taken = takeRecord(fields, *map, plan.encoding);
        if (!taken.refusal.empty()) {
            plan.refused.push_back({lineNumber, std::move(taken.refusal)});
            return true;
        }
        for (std::string& note : taken.notes) plan.cut.push_back({lineNumber, std::move(note)});
        const std::string_view values[] = {taken.values[0], taken.values[1], taken.values[2], taken.values[3]};
        line.clear();
        storage::appendCsvLine(values, LIBRARY_LINE, line);
        plan.newLines.add(line, lineNumber);
        return true;
    });
    return plan;
}

}  // namespace import_file
