// A long play history: loading it, adding a row and writing it again, from 1 000 to 10 000 rows.
// Each change writes the whole file, so the time of one change grows with the table; the ratios
// printed at the end say how much.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "AtomicFile.h"
#include "HistoryTable.h"
#include "Ulocatdata.h"

namespace {

struct QuietHost : HistoryHost {
    bool Ask(const std::string&, const std::string&) override { return true; }
    void SetTitle(const std::string&) override {}
    bool ReplayCached(const std::string&, std::int32_t) override { return true; }
    void RowsChanged() override {}
};

std::map<std::string, std::map<int, double>> g_times;  // benchmark, rows -> ns per iteration

std::string Folder(int rows) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("variz-history-bench-" + std::to_string(rows));
    std::filesystem::create_directories(dir);
    std::vector<HistoryRow> table;
    for (int i = 0; i < rows; ++i)
        table.push_back({i / 10, std::string(40, 'n'), std::string(20, 't'), i % 10 + 1});
    WriteFileReplacing((dir / "web\\Local.dat").string(), EncodeHistory(table));
    return dir.string() + "/";
}

void Load(benchmark::State& state) {
    const std::string dir = Folder(static_cast<int>(state.range(0)));
    SystemHistoryFiles files;
    QuietHost host;
    for (auto _ : state) {
        Tcdsdata store(dir, dir, files, host);
        benchmark::DoNotOptimize(store.Rows().size());
    }
}

void AddAndSave(benchmark::State& state) {
    const std::string dir = Folder(static_cast<int>(state.range(0)));
    SystemHistoryFiles files;
    QuietHost host;
    Tcdsdata store(dir, dir, files, host);
    int id = 1000000;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.AddHistory(std::to_string(id++), "n", "t", "1"));
}

BENCHMARK(Load)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddAndSave)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

class Ratios : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            const std::string name = r.benchmark_name();
            const auto slash = name.find('/');
            g_times[name.substr(0, slash)][std::stoi(name.substr(slash + 1))] =
                r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Ratios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, times] : g_times) {
        if (times.count(1000) && times.count(10000))
            std::printf("%s: 10 000 rows take %.1f times as long as 1 000 (linear: 10)\n",
                        name.c_str(), times.at(10000) / times.at(1000));
    }
    return 0;
}
