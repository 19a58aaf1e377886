// Times the library file operations on a full store: clear + load of a
// 1999-line file and appendRecord of one line, of the four fields and of
// all nine as long as the forms take them; and a delete
// as the dialog does it (a search through the file, then the rewrite) in
// files of 2500 records, of 10^6 lines and of just under 32 MiB. Runs in a
// fresh directory under the system's temporary directory (TMPDIR), so the
// figures include that file system's sync cost. Iterations are counted in
// wall-clock time: the syncs wait without using the CPU.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DataFiles.h"
#include "library/DvdLibrary.h"
#include "storage/Csv.h"

namespace {

using bench_data::fullLibraryFile;
using bench_data::kFullRecordCount;

void writeLibraryFile(const std::string& bytes) {
    std::ofstream out(bench_data::kLibraryFileName, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void BM_ClearAndLoad(benchmark::State& state) {
    writeLibraryFile(fullLibraryFile());
    auto library = std::make_unique<DvdLibrary>();
    for (auto _ : state) {
        library->clear();
        if (!library->load()) state.SkipWithError("load failed");
    }
    state.counters["records"] = library->recordCount();
}

// Every field as long as its form takes it: a year, a barcode, text.
std::vector<std::string> nineFullFields(int number) {
    std::vector<std::string> fields;
    for (const storage::FieldSpec& field : library_record::FIELDS) {
        const auto length = static_cast<std::size_t>(field.length);
        const std::string text = field.kind == storage::ValueKind::Year ? "1999"
                                 : field.kind == storage::ValueKind::Ean ? "4006680050232"
                                 : field.kind == storage::ValueKind::RunningTime ? "999"
                                                                                 : std::to_string(number) + ", Fall";
        fields.push_back(text + std::string(length - std::min(length, text.size()), 'x'));
    }
    return fields;
}

std::string nineFieldLibraryFile() {
    std::string text;
    for (int record = 0; record < bench_data::kFullRecordCount; ++record) {
        const std::vector<std::string> fields = nineFullFields(record);
        const std::vector<std::string_view> views(fields.begin(), fields.end());
        storage::appendCsvLine(views, library_record::TABLE.line, text);
    }
    return text;
}

void BM_ClearAndLoadNineFields(benchmark::State& state) {
    writeLibraryFile(nineFieldLibraryFile());
    auto library = std::make_unique<DvdLibrary>();
    for (auto _ : state) {
        library->clear();
        if (!library->load()) state.SkipWithError("load failed");
    }
    state.counters["records"] = library->recordCount();
}

// Arguments: 1 for a record of all nine fields, 0 for the four.
void BM_AppendRecord(benchmark::State& state) {
    const std::string full = state.range(0) ? nineFieldLibraryFile() : fullLibraryFile();
    writeLibraryFile(full);
    auto library = std::make_unique<DvdLibrary>();
    library->setGenre("Drama", WORK_ROW);
    library->setTitleGerman("Krieg, Frieden", WORK_ROW);
    library->setTitleEnglish("War and Peace", WORK_ROW);
    library->setLengthMinutes("180", WORK_ROW);
    if (state.range(0)) {
        const std::vector<std::string> fields = nineFullFields(kFullRecordCount);
        for (int column = 0; column < library_record::COLUMN_COUNT; ++column) library->setValue(column, WORK_ROW, fields[column]);
    }
    int appended = 0;
    for (auto _ : state) {
        if (!library->appendRecord()) state.SkipWithError("append failed");
        if (++appended % 1000 == 0) {  // keep the file near its realistic size
            state.PauseTiming();
            writeLibraryFile(full);
            state.ResumeTiming();
        }
    }
}


// Arguments: the file's lines, and the line deleted.
void BM_SearchAndDelete(benchmark::State& state) {
    char title[32];
    std::snprintf(title, sizeof title, "Titel %07lld", static_cast<long long>(state.range(1)));
    auto library = std::make_unique<DvdLibrary>();
    for (auto _ : state) {
        state.PauseTiming();
        bench_data::writeNumberedLibrary(state.range(0));
        library->clear();
        state.ResumeTiming();
        const int record = library->findTitleGerman(title);
        if (record == DvdLibrary::NOT_FOUND) state.SkipWithError("not found");
        library->removeRecord(record);
        if (library->saveAll() != storage::SaveResult::Saved) state.SkipWithError("delete refused");
    }
}

BENCHMARK(BM_ClearAndLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ClearAndLoadNineFields)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AppendRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
// 860000 lines of 39 bytes are 33540000 bytes, just under the 32 MiB a search reads.
BENCHMARK(BM_SearchAndDelete)
    ->Args({2500, 2400})
    ->Args({1000000, 500000})
    ->Args({860000, 859990})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::filesystem::path previous = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "dvd-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        std::perror("temporary directory");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(pattern);
    return 0;
}
