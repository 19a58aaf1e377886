// Times the library file operations on a full store: clear + load of a
// 1999-line file, saveAll of it, and appendRecord of one line. Runs in a
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

void BM_SaveAll(benchmark::State& state) {
    writeLibraryFile(fullLibraryFile());
    auto library = std::make_unique<DvdLibrary>();
    library->clear();
    library->load();
    for (auto _ : state) {
        if (library->saveAll() != storage::SaveResult::Saved) state.SkipWithError("saveAll refused");
    }
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

BENCHMARK(BM_ClearAndLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SaveAll)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
