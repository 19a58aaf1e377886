// Times the library file operations on a full store: clear + load of a
// 1999-line file and appendRecord of one line; and a delete
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

#include "DataFiles.h"
#include "library/DvdLibrary.h"

namespace {

using bench_data::fullLibraryFile;

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

void BM_AppendRecord(benchmark::State& state) {
    const std::string full = fullLibraryFile();
    writeLibraryFile(full);
    auto library = std::make_unique<DvdLibrary>();
    library->setGenre("Drama", WORK_ROW);
    library->setTitleGerman("Krieg, Frieden", WORK_ROW);
    library->setTitleEnglish("War and Peace", WORK_ROW);
    library->setLengthMinutes("180", WORK_ROW);
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
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond)->UseRealTime();
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
