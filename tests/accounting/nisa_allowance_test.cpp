#include "accounting/nisa_allowance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace chomaru {
namespace {

Currency y(int64_t v) { return Currency::from_yen(v); }

TradeRecord rec(const char* date, int32_t shares, int64_t amount) {
    return TradeRecord{date, 1000, shares, Currency::from_yen(amount)};
}

Stock& entry(Portfolio& p, int32_t i, AccountType account, std::initializer_list<TradeRecord> buys,
             std::initializer_list<TradeRecord> sells = {}) {
    p.last_stock = std::max(p.last_stock, i);
    Stock& s = p.stocks[size_t(i)];
    s.account = account;
    for (const TradeRecord& r : buys) s.buys[size_t(s.buy_count++)] = r;
    for (const TradeRecord& r : sells) s.sells[size_t(s.sell_count++)] = r;
    return s;
}

// 成長: 1,000 shares for ¥2,000,000 in 2024, half sold in 2024 (book
// ¥1,000,000 freed in 2025), 400 more for ¥1,200,000 in 2025, all 900 sold
// in 2025 (book ¥2,200,000 freed in 2026), 100 for ¥250,000 in 2026.
// つみたて: ¥1,200,000 in 2024, ¥600,000 in 2025. 旧NISA: ¥1,000,000 in 2020.
// 特定: counts nowhere.
std::unique_ptr<Portfolio> three_years() {
    auto p = Portfolio::create();
    entry(*p, 0, AccountType::nisa_growth,
          {rec("2024/02/01", 1000, 2'000'000), rec("2025/03/03", 400, 1'200'000), rec("2026/01/05", 100, 250'000)},
          {rec("2024/11/01", 500, 1'400'000), rec("2025/10/01", 900, 2'000'000)});
    entry(*p, 1, AccountType::nisa_tsumitate, {rec("2024/01/04", 100, 1'200'000), rec("2025/01/06", 50, 600'000)});
    entry(*p, 2, AccountType::old_nisa, {rec("2020/03/02", 100, 1'000'000)});
    entry(*p, 3, AccountType::tokutei, {rec("2025/01/06", 100, 5'000'000)});
    return p;
}

TEST(NisaAllowance, ASaleFreesLifetimeRoomFromTheNextYear) {
    const NisaAllowance a = nisa_allowance(*three_years(), 2026);
    ASSERT_EQ(a.years.size(), 3u);
    // year, 成長, つみたて, lifetime, of which 成長, 旧NISA
    const std::array<int64_t, 6> expected[] = {
        // The 2024 sale frees nothing in 2024: 2,000,000 + 1,200,000.
        {2024, 2'000'000, 1'200'000, 3'200'000, 2'000'000, 1'000'000},
        // 2,000,000 + 1,200,000 − 1,000,000, and 1,800,000 つみたて.
        {2025, 1'200'000, 600'000, 4'000'000, 2'200'000, 1'000'000},
        // 3,450,000 − 1,000,000 − 2,200,000.
        {2026, 250'000, 0, 2'050'000, 250'000, 1'000'000},
    };
    for (size_t i = 0; i < 3; ++i) {
        const NisaYear& f = a.years[i];
        const auto yen = [](Currency c) { return c.units() / Currency::units_per_yen; };
        EXPECT_EQ((std::array<int64_t, 6>{f.year, yen(f.growth), yen(f.tsumitate), yen(f.lifetime),
                                          yen(f.growth_lifetime), yen(f.old_nisa)}),
                  expected[i]);
    }
    // What is left to buy: 2,400,000 − 2,000,000 and nothing of つみたて in
    // 2024; 2,400,000 − 250,000 and all 1,200,000 in 2026.
    EXPECT_EQ(nisa_room(a.years[0]).growth, y(400'000));
    EXPECT_EQ(nisa_room(a.years[0]).tsumitate, y(0));
    EXPECT_EQ(nisa_room(a.years[2]).growth, y(2'150'000));
    EXPECT_EQ(nisa_room(a.years[2]).tsumitate, y(1'200'000));
    EXPECT_TRUE(nisa_allowance(*three_years(), 2023).years.empty());
}

// The lifetime room caps what a year's allowance leaves: with ¥17,500,000
// held, only ¥500,000 may still be bought.
TEST(NisaAllowance, TheLifetimeRoomCapsTheYearsRoom) {
    NisaYear year{2030, y(0), y(0), y(17'500'000), y(11'900'000), y(0)};
    EXPECT_EQ(nisa_room(year).growth, y(100'000));
    EXPECT_EQ(nisa_room(year).tsumitate, y(500'000));
}

TEST(NisaAllowance, ABuyPassingALimitIsNamedWithTheExcess) {
    const auto p = three_years();
    const struct {
        const char* what;
        int32_t stock;
        TradeRecord buy;
        const char* warning;
    } cases[] = {
        {"成長 in 2025, 1,200,000 + 1,300,000", 0, rec("2025/12/01", 100, 1'300'000),
         "2025年の成長投資枠（年間¥2,400,000）を¥100,000超えています"},
        // 2024: 成長 2,000,000 + 15,000,000 = 17,000,000; with つみたて 18,200,000.
        {"far beyond", 0, rec("2024/12/02", 100, 15'000'000),
         "2024年の成長投資枠（年間¥2,400,000）を¥14,600,000超えています\r\n"
         "2024年の生涯投資枠（¥18,000,000）を¥200,000超えています\r\n"
         "2024年の生涯投資枠のうち成長投資枠（¥12,000,000）を¥5,000,000超えています"},
        {"つみたて in 2024, already full", 1, rec("2024/07/01", 1, 1),
         "2024年のつみたて投資枠（年間¥1,200,000）を¥1超えています"},
        {"つみたて in 2025, 600,000 + 600,000: to the limit", 1, rec("2025/07/01", 1, 600'000), ""},
        {"旧NISA", 2, rec("2025/07/01", 1, 9'000'000), ""},
        {"特定", 3, rec("2025/07/01", 1, 9'000'000), ""},
        {"before 2024", 0, rec("2023/07/03", 1, 9'000'000), ""},
        {"a date that does not read", 0, rec("2025/02/30", 1, 9'000'000), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(nisa_excess_text(nisa_excess(*p, c.stock, c.buy)), c.warning) << c.what;
}

}  // namespace
}  // namespace chomaru
