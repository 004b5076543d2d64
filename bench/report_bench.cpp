#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "full_portfolio.h"
#include "reports/portfolio_csv.h"
#include "reports/tax_csv.h"

namespace chomaru {
namespace {

std::filesystem::path report_file(const char* name) {
    const auto folder = std::filesystem::temp_directory_path() / "chomaru-bench";
    std::filesystem::create_directories(folder);
    return folder / name;
}

// Replaces the file with the bytes, as the report commands do.
bool write_bytes(const std::filesystem::path& file, const std::string& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

const Portfolio& full_portfolio() {
    static const auto p = make_full_portfolio();
    return *p;
}

const std::string& export_bytes() {
    static const std::string bytes = portfolio_csv(full_portfolio());
    return bytes;
}

const std::string& tax_bytes() {
    static const std::string bytes = tax_csv(full_portfolio()).bytes;
    return bytes;
}

// The floor: writing the same number of bytes, already in memory.
void write_floor(benchmark::State& state, const std::string& bytes) {
    const std::string filler(bytes.size(), 'x');
    const auto file = report_file("floor.csv");
    for (auto _ : state)
        if (!write_bytes(file, filler)) state.SkipWithError("write failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_WriteExportFloor(benchmark::State& state) { write_floor(state, export_bytes()); }
BENCHMARK(BM_WriteExportFloor)->Unit(benchmark::kMillisecond);

void BM_WriteExport(benchmark::State& state) {
    const Portfolio& p = full_portfolio();
    const auto file = report_file("stc_export.csv");
    for (auto _ : state)
        if (!write_bytes(file, portfolio_csv(p))) state.SkipWithError("write failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(export_bytes().size()));
}
BENCHMARK(BM_WriteExport)->Unit(benchmark::kMillisecond);

void BM_WriteTaxFileFloor(benchmark::State& state) { write_floor(state, tax_bytes()); }
BENCHMARK(BM_WriteTaxFileFloor)->Unit(benchmark::kMillisecond);

void BM_WriteTaxFile(benchmark::State& state) {
    const Portfolio& p = full_portfolio();
    const auto file = report_file("stc_tax.csv");
    for (auto _ : state) {
        const TaxFile tax = tax_csv(p);
        if (tax.failed_stock) state.SkipWithError("the tax file stopped at a stock");
        if (!write_bytes(file, tax.bytes)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(tax_bytes().size()));
}
BENCHMARK(BM_WriteTaxFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace chomaru
