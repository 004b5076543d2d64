#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <unistd.h>

#include "store/cp932.h"
#include "store/data_file.h"
#include "store/date_text.h"

namespace chomaru {
namespace {

// Random portfolios from a seed, with every kind of value the file holds:
// texts in ASCII, half-width kana and the double-byte characters of code
// page 932, dates real and odd, integers and amounts up to their limits,
// floats of every magnitude.
class RandomPortfolio {
public:
    explicit RandomPortfolio(uint32_t seed) : rng_(seed) {}

    // Counts are drawn up to max_records; `dense` of every hundred stocks
    // draw from the whole range, the others stay small.
    std::unique_ptr<Portfolio> make(int32_t last_stock, int dense) {
        auto p = Portfolio::create();
        p->last_stock = last_stock;
        p->current_stock = between(0, last_stock);
        p->reserved_line = chance(50) ? "" : text(30, true);
        for (int32_t j = 0; j <= last_stock; ++j) {
            Stock& s = p->stocks[size_t(j)];
            s.stock_code = chance(10) ? "" : text(8, chance(20));
            s.stock_name = chance(5) ? "" : text(40, true);
            s.dividend = integer();
            const int32_t most = chance(dense) ? max_records : 8;
            s.buy_count = between(0, most);
            s.sell_count = between(0, most);
            s.avg_buy_price = integer();
            s.held_shares = integer();
            s.realized_profit = amount();
            s.dividend_yield = single();
            for (int32_t i = 0; i < s.buy_count; ++i) s.buys[size_t(i)] = record();
            for (int32_t i = 0; i < s.sell_count; ++i) s.sells[size_t(i)] = record();
        }
        for (size_t i = 0; i < fee_brackets; ++i) {
            p->fees.fee_limit[i] = integer();
            p->fees.fee_rate[i] = single();
            p->fees.fee_add[i] = integer();
        }
        p->fees.fee_min = integer();
        p->fees.fee_max = integer();
        return p;
    }

private:
    int32_t between(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(rng_); }
    bool chance(int percent) { return between(0, 99) < percent; }

    // One character that code page 932 holds, as UTF-8.
    std::string character(bool blanks) {
        const int kind = between(0, 9);
        if (kind < 5) {
            const char c = char(between(blanks ? 0x20 : 0x21, 0x7E));
            return std::string(1, c);
        }
        if (kind < 6) return cp932_to_utf8(std::string(1, char(between(0xA1, 0xDF))));
        for (;;) {
            const int lead = between(0, 1) ? between(0x81, 0x9F) : between(0xE0, 0xFC);
            const int trail = between(0, 1) ? between(0x40, 0x7E) : between(0x80, 0xFC);
            const std::string bytes{char(lead), char(trail)};
            try {
                const std::string decoded = cp932_to_utf8(bytes);
                if (!blanks && decoded == "\u3000") continue;
                return decoded;
            } catch (const EncodingError&) {
            }
        }
    }

    std::string text(int max_chars, bool blanks) {
        std::string t;
        const int n = between(1, max_chars);
        for (int i = 0; i < n; ++i) t += character(blanks);
        return t;
    }

    std::string date() {
        const int kind = between(0, 19);
        if (kind == 0) return "";
        if (kind == 1) return text(20, false);
        Date d{between(1900, 2100), between(1, 12), between(1, 31)};
        while (!is_valid_date(d)) --d.day;
        return short_date_text(d);
    }

    int32_t integer() {
        switch (between(0, 9)) {
        case 0:
            return std::numeric_limits<int32_t>::min();
        case 1:
            return std::numeric_limits<int32_t>::max();
        case 2:
            return between(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
        case 3:
            return between(-10000, 0);
        case 4:
            return between(0, 10'000'000);
        default:
            return between(0, 10000);
        }
    }

    Currency amount() {
        std::uniform_int_distribution<int64_t> any(std::numeric_limits<int64_t>::min(),
                                                   std::numeric_limits<int64_t>::max());
        std::uniform_int_distribution<int64_t> fraction(-1'000'000'000'000, 1'000'000'000'000);
        switch (between(0, 9)) {
        case 0:
            return Currency::from_units(std::numeric_limits<int64_t>::min());
        case 1:
            return Currency::from_units(std::numeric_limits<int64_t>::max());
        case 2:
            return Currency::from_units(any(rng_));
        case 3:
        case 4:
        case 5:
            return Currency::from_units(fraction(rng_));
        default:
            return Currency::from_yen(between(-100'000'000, 2'000'000'000));
        }
    }

    float single() {
        switch (between(0, 9)) {
        case 0:
            return 0.0f;
        case 1:
            return float(between(1, 1000)) / float(between(1, 1000));
        case 2:
        case 3:
            for (;;) {
                const uint32_t bits = std::uniform_int_distribution<uint32_t>()(rng_);
                float f;
                std::memcpy(&f, &bits, sizeof f);
                if (std::isfinite(f)) return f;
            }
        default:
            return std::uniform_real_distribution<float>(0.0f, 0.1f)(rng_);
        }
    }

    TradeRecord record() { return TradeRecord{date(), integer(), integer(), amount()}; }

    std::mt19937 rng_;
};

// A float as the file gives it back: rounded to 7 significant digits.
float rounded_to_7_digits(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6e", double(value));
    return std::strtof(text, nullptr);
}

::testing::AssertionResult same_records(const RecordTable& saved, const RecordTable& loaded, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (saved[size_t(i)] != loaded[size_t(i)])
            return ::testing::AssertionFailure() << "record " << i << " (" << saved[size_t(i)].date << ")";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult reads_back_as_saved(const Portfolio& saved, const Portfolio& loaded) {
    auto differs = [](const char* what, int32_t j) {
        return ::testing::AssertionFailure() << what << " of stock " << j << " differs";
    };
    if (loaded.last_stock != saved.last_stock) return differs("last_stock", -1);
    if (loaded.current_stock != saved.current_stock) return differs("current_stock", -1);
    if (loaded.reserved_line != saved.reserved_line) return differs("reserved_line", -1);
    for (int32_t j = 0; j <= saved.last_stock; ++j) {
        const Stock& a = saved.stocks[size_t(j)];
        const Stock& b = loaded.stocks[size_t(j)];
        if (a.stock_code != b.stock_code) return differs("stock_code", j);
        if (a.stock_name != b.stock_name) return differs("stock_name", j);
        if (a.dividend != b.dividend) return differs("dividend", j);
        if (a.buy_count != b.buy_count || a.sell_count != b.sell_count) return differs("a record count", j);
        if (a.avg_buy_price != b.avg_buy_price) return differs("avg_buy_price", j);
        if (a.held_shares != b.held_shares) return differs("held_shares", j);
        if (a.realized_profit != b.realized_profit) return differs("realized_profit", j);
        if (rounded_to_7_digits(a.dividend_yield) != b.dividend_yield) return differs("dividend_yield", j);
        if (auto r = same_records(a.buys, b.buys, a.buy_count); !r) return r << " of the buys of stock " << j;
        if (auto r = same_records(a.sells, b.sells, a.sell_count); !r) return r << " of the sells of stock " << j;
    }
    FeeTable fees = saved.fees;
    for (float& rate : fees.fee_rate) rate = rounded_to_7_digits(rate);
    fees.fee_limit[5] = 0;  // the top bracket's unused limit is written as 0
    if (fees != loaded.fees) return differs("the commission table", -1);
    return ::testing::AssertionSuccess();
}

void expect_round_trip(const Portfolio& saved, uint32_t seed) {
    const FeeTable fees_before = saved.fees;
    const std::string first = format_data_file(saved);
    auto loaded = Portfolio::create();
    ASSERT_EQ(parse_data_file(first, *loaded), LoadStatus::loaded) << "seed " << seed;
    EXPECT_TRUE(saved.fees == fees_before) << "seed " << seed << ": writing changed the commission table";
    EXPECT_TRUE(reads_back_as_saved(saved, *loaded)) << "seed " << seed;
    EXPECT_TRUE(format_data_file(*loaded) == first) << "seed " << seed << ": the second save differs";
}

TEST(RandomRoundTrip, SaveLoadSaveGivesTheSameBytesAndTheSameData) {
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        RandomPortfolio random(seed);
        const int32_t last_stock = seed % 4 == 0 ? max_stocks - 1 : int32_t(seed * 7 % 40);
        auto p = random.make(last_stock, 5);
        expect_round_trip(*p, seed);
    }
}

TEST(RandomRoundTrip, AFullPortfolioThroughTheDisk) {
    const uint32_t seed = 2024;
    auto p = RandomPortfolio(seed).make(max_stocks - 1, 25);
    p->stocks[0].buy_count = max_records;
    p->stocks[max_stocks - 1].sell_count = max_records;
    expect_round_trip(*p, seed);

    const auto folder =
        std::filesystem::temp_directory_path() / ("chomaru-random-round-trip-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / data_file_name;
    save_data_file(file, *p);
    auto loaded = Portfolio::create();
    ASSERT_EQ(load_data_file(file, *loaded), LoadStatus::loaded);
    EXPECT_TRUE(reads_back_as_saved(*p, *loaded));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace chomaru
