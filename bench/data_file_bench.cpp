#include <benchmark/benchmark.h>

#include <filesystem>
#include <string_view>
#include <vector>

#include "full_portfolio.h"
#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {
namespace {

const std::filesystem::path& bench_file() {
    static const std::filesystem::path file = [] {
        const auto folder = std::filesystem::temp_directory_path() / "chomaru-bench";
        std::filesystem::create_directories(folder);
        const auto path = folder / data_file_name;
        auto p = make_full_portfolio();
        save_data_file(path, *p);
        return path;
    }();
    return file;
}

// The floor: read the same bytes and split them into lines.
void BM_ReadAndSplitFloor(benchmark::State& state) {
    const auto& file = bench_file();
    for (auto _ : state) {
        const std::string bytes = read_whole_file(file).value();
        std::vector<std::string_view> lines;
        size_t start = 0;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                lines.push_back(std::string_view(bytes).substr(start, i - start));
                start = i + 1;
            }
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadAndSplitFloor)->Unit(benchmark::kMillisecond);

void BM_LoadFullDataFile(benchmark::State& state) {
    const auto& file = bench_file();
    auto p = Portfolio::create();
    for (auto _ : state) {
        if (load_data_file(file, *p) != LoadStatus::loaded) state.SkipWithError("not loaded");
        benchmark::DoNotOptimize(p->stocks[255].sell_count);
    }
}
BENCHMARK(BM_LoadFullDataFile)->Unit(benchmark::kMillisecond);

void BM_SaveFullDataFile(benchmark::State& state) {
    const auto& file = bench_file();
    auto p = make_full_portfolio();
    for (auto _ : state) save_data_file(file, *p);
}
BENCHMARK(BM_SaveFullDataFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace chomaru

BENCHMARK_MAIN();
