#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "imports/import_plan.h"
#include "imports/trade_history.h"
#include "store/cp932.h"
#include "store/safe_file.h"

namespace chomaru {
namespace {

constexpr int history_rows = 20000;
constexpr int history_codes = 100;

struct Trade {
    char date[11];
    int code;
    bool buy;
    bool margin;  // 信用: not imported
    int price;
};

// 20,000 trades of 100 stocks over ten years, each stock bought and sold in
// turn, 100 shares at a time; every 53rd a margin trade.
const std::vector<Trade>& trades() {
    static const std::vector<Trade> list = [] {
        std::vector<Trade> t(history_rows);
        for (int i = 0; i < history_rows; ++i) {
            std::snprintf(t[size_t(i)].date, sizeof t[size_t(i)].date, "%04d/%02d/%02d", 2016 + i / 2000,
                          1 + i / 160 % 12, 1 + i / 6 % 28);
            t[size_t(i)].code = 1000 + i % history_codes;
            t[size_t(i)].buy = i / history_codes % 2 == 0;
            t[size_t(i)].margin = i % 53 == 52;
            t[size_t(i)].price = 1000 + i % 997;
        }
        return t;
    }();
    return list;
}

// The trades as SBI証券's 約定履歴 writes them: code page 932, a preamble.
const std::filesystem::path& history_file() {
    static const std::filesystem::path file = [] {
        const char* const names[] = {"トヨタ自動車",   "三菱ＵＦＪフィナンシャル・グループ",
                                     "ソニーグループ", "日本電信電話",
                                     "任天堂",         "キーエンス",
                                     "信越化学工業",   "東京エレクトロン"};
        std::string text =
            "\r\n約定履歴照会 \r\n\r\n商品指定,約定開始年月日,約定終了年月日,明細数,明細指定開始,明細指定終了\r\n"
            "すべての商品,2016年01月01日,2026年12月31日,20000,1,20000\r\n\r\n"
            "約定日,銘柄,銘柄コード,市場,取引,期限,預り,課税,約定数量,約定単価,手数料/諸経費等,税額,受渡日,"
            "受渡金額/決済損益\r\n";
        for (size_t i = 0; i < trades().size(); ++i) {
            const Trade& t = trades()[i];
            const char* kind = t.margin ? "信用新規買" : t.buy ? "株式現物買" : "株式現物売";
            char line[256];
            std::snprintf(line, sizeof line, "%s,%s,%d,東証,%s,--, 特定 ,申告,100,%d,--,--,%s,%d\r\n", t.date,
                          names[t.code % 8], t.code, kind, t.price, t.date, t.price * 100);
            text += line;
        }
        const auto folder = std::filesystem::temp_directory_path() / "chomaru-bench";
        std::filesystem::create_directories(folder);
        const auto path = folder / "yakujo.csv";
        write_file_atomically(path, utf8_to_cp932(text));
        return path;
    }();
    return file;
}

// The 100 stocks, each already holding its first 20 buys of the file.
const Portfolio& earlier_import() {
    static const auto p = [] {
        auto portfolio = Portfolio::create();
        portfolio->last_stock = history_codes - 1;
        for (const Trade& t : trades()) {
            Stock& s = portfolio->stocks[size_t(t.code - 1000)];
            s.stock_code = std::to_string(t.code);
            if (!t.buy || t.margin || s.buy_count == 20) continue;
            s.buys[size_t(s.buy_count++)] = TradeRecord{t.date, t.price, 100, Currency::from_yen(t.price * 100)};
        }
        return portfolio;
    }();
    return *p;
}

// The floor: read the file and split it into its fields, room for them
// made once.
void floor_once() {
    const std::string bytes = read_whole_file(history_file()).value();
    std::vector<std::string_view> fields;
    fields.reserve(bytes.size() / 4);
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == ',' || bytes[i] == '\n') {
            fields.push_back(std::string_view(bytes).substr(start, i - start));
            start = i + 1;
        }
    }
    benchmark::DoNotOptimize(fields.data());
}

// Reading the file and planning its import, as the preview does; false when
// the plan is not the one expected.
bool preview_once() {
    const TradeHistory history = read_trade_history(read_whole_file(history_file()).value());
    const ImportPlan plan = plan_import(earlier_import(), history);
    benchmark::DoNotOptimize(plan.trades.data());
    return plan.counts.duplicates == 20 * history_codes;
}

void BM_ImportFloor(benchmark::State& state) {
    for (auto _ : state) floor_once();
}
BENCHMARK(BM_ImportFloor)->Unit(benchmark::kMillisecond);

// Reading the file into its rows, without the plan.
void BM_ImportRead(benchmark::State& state) {
    const auto& file = history_file();
    for (auto _ : state) {
        const TradeHistory history = read_trade_history(read_whole_file(file).value());
        if (history.rows.size() != size_t(history_rows)) state.SkipWithError("not every row read");
        benchmark::DoNotOptimize(history.rows.data());
    }
}
BENCHMARK(BM_ImportRead)->Unit(benchmark::kMillisecond);

void BM_ImportPreview(benchmark::State& state) {
    for (auto _ : state)
        if (!preview_once()) state.SkipWithError("not the duplicates expected");
}
BENCHMARK(BM_ImportPreview)->Unit(benchmark::kMillisecond);

// The preview against the floor, run in turn: the median of each pair's
// ratio. Two runs made one after the other see the same load on the
// machine, where the ratio of two benchmarks timed seconds apart does not.
void BM_ImportPreviewToFloor(benchmark::State& state) {
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        floor_once();
        const auto floor_end = std::chrono::steady_clock::now();
        if (!preview_once()) state.SkipWithError("not the duplicates expected");
        const std::chrono::duration<double> floor = floor_end - start;
        ratios.push_back((std::chrono::steady_clock::now() - floor_end) / floor);
    }
    const auto middle = ratios.begin() + ptrdiff_t(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    state.counters["ratio"] = ratios.empty() ? 0.0 : *middle;
}
BENCHMARK(BM_ImportPreviewToFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace chomaru
