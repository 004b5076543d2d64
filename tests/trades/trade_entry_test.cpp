#include "trades/trade_entry.h"

#include <QCalendarWidget>
#include <QPushButton>
#include <QTabWidget>

#include "accounting/commission.h"
#include "support/main_window_fixture.h"
#include "trades/date_picker_dialog.h"

namespace chomaru {
namespace {

const QString crlf = QStringLiteral("\r\n");

QString summary(const QString& example, const QString& date, const QString& price, const QString& shares) {
    return example + crlf + crlf + "日付：" + date + crlf + "単価：" + price + crlf + "株数：" + shares;
}

// The price prompt's text says that the unit price is kept in whole yen.
QString price_summary(const QString& date) {
    return summary("例:10000" + crlf + "単価は1円単位で記録します（金額は入力どおりの単価で計算します）", date, "", "");
}

class TradeEntry : public MainWindowTest {
protected:
    // The date picker answered with OK on today's date.
    void pick_today() {
        platform.on_dialog([](QDialog& d) { dynamic_cast<DatePickerDialog&>(d).k_ok->click(); });
    }
    void buy(const QString& price, const QString& shares, const QString& amount) {
        pick_today();
        platform.answer(price).answer(shares).answer(amount);
        window->kai_input_key->click();
    }
    void expect_no_change_messages() { EXPECT_TRUE(platform.messages.empty()); }
    // A stock holding `shares` bought at an average of `average`, shown.
    void hold(int32_t shares, int32_t average) {
        stock().buys[0] = TradeRecord{"2026/01/05", average, shares, Currency::from_yen(int64_t(average) * shares)};
        stock().buy_count = 1;
        stock().held_shares = shares;
        stock().avg_buy_price = average;
        window->show_buy_records();
        window->show_analysis();
        window->show_ratio_table();
    }
};

using BuyEntry = TradeEntry;
using SellEntry = TradeEntry;

TEST_F(BuyEntry, ThreePromptsThenTheRecordItsRowAndTheFigures) {
    start_with_stock();
    pick_today();
    platform.answer("1000").answer("1000").accept_default();
    window->kai_input_key->click();

    EXPECT_EQ(platform.dialogs, std::vector<QString>{"sel_date"});
    ASSERT_EQ(platform.prompts.size(), 3u);
    EXPECT_EQ(platform.prompts[0].caption, "買いの単価を記入して下さい");
    EXPECT_EQ(platform.prompts[0].message, price_summary("2026/12/07"));
    EXPECT_EQ(platform.prompts[0].default_text, "10000");
    EXPECT_EQ(platform.prompts[1].caption, "買いの株数を記入して下さい");
    EXPECT_EQ(platform.prompts[1].message, summary("例:10000", "2026/12/07", "¥1,000", ""));
    EXPECT_EQ(platform.prompts[1].default_text, "100");
    EXPECT_EQ(platform.prompts[2].caption, "買いの払込金を記入して下さい");
    EXPECT_EQ(platform.prompts[2].message, summary("例:100000000", "2026/12/07", "¥1,000", "1,000"));
    // 1000000 stays in bracket 0: 11150 x 1.05 = 11707.5, rounded to even.
    EXPECT_EQ(platform.prompts[2].default_text, "1011708");
    expect_no_change_messages();

    ASSERT_EQ(stock().buy_count, 1);
    EXPECT_EQ(stock().buys[0], (TradeRecord{"2026/12/07", 1000, 1000, buy_total(portfolio->fees, 1000, 1000)}));
    EXPECT_EQ(window->buy_fig->rows(), 15);
    EXPECT_EQ(window->buy_fig->text(1, 1), "2026/12/07");
    EXPECT_EQ(window->buy_fig->text(1, 2), "¥1,000");
    EXPECT_EQ(window->buy_fig->text(1, 3), "1,000");
    EXPECT_EQ(window->buy_fig->text(1, 4), "¥1,011,708");
    EXPECT_EQ(stock().held_shares, 1000);
    EXPECT_EQ(stock().avg_buy_price, 1012);
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"1,000", "¥1,012", "¥0", "0.00%"}));
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥2,024");
    EXPECT_EQ(window->sample_fig_2->text(4, 1), "¥506");
}

TEST_F(BuyEntry, TheTypedAmountReplacesTheProposalAndFeedsTheAverage) {
    start_with_stock();
    stock().dividend = 3;
    buy("100", "10", "100");
    buy("140.5", "10.5", "¥140");  // fractions round to even: 140 and 10
    ASSERT_EQ(stock().buy_count, 2);
    EXPECT_EQ(stock().buys[1], (TradeRecord{"2026/12/07", 140, 10, Currency::from_yen(140)}));
    EXPECT_EQ(stock().held_shares, 20);
    EXPECT_EQ(stock().avg_buy_price, 12);
    EXPECT_FLOAT_EQ(stock().dividend_yield, 0.25f);
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"20", "¥12", "¥0", "25.00%"}));
    EXPECT_EQ(window->buy_fig->text(2, 2), "¥140");
}

// ¥2,500,000 bought in NISA成長 on 2026/12/07 passes the year's
// ¥2,400,000 by ¥100,000: recorded, and the user told.
TEST_F(BuyEntry, ABuyPassingANisaLimitIsRecordedWithAWarning) {
    start_with_stock();
    stock().account = AccountType::nisa_growth;
    buy("10000", "250", "2500000");
    EXPECT_EQ(stock().buy_count, 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "NISAの投資枠を超える買いです（記録はしました）。\r\n"
              "2026年の成長投資枠（年間¥2,400,000）を¥100,000超えています");
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Warning);
}

TEST_F(BuyEntry, CancelOrAnEmptyAnswerAtAnyPromptChangesNothing) {
    start_with_stock();
    for (int at = 0; at < 3; ++at) {
        SCOPED_TRACE(at);
        platform.prompts.clear();
        pick_today();
        for (int i = 0; i < at; ++i) platform.answer("100");
        if (at == 1)
            platform.answer("");
        else
            platform.cancel();
        window->kai_input_key->click();
        EXPECT_EQ(platform.prompts.size(), size_t(at + 1));
        EXPECT_EQ(stock().buy_count, 0);
        EXPECT_EQ(window->buy_fig->text(1, 1), "");
        EXPECT_EQ(window->anal_fig->text(0, 1), "0");
        expect_no_change_messages();
    }
}

TEST_F(BuyEntry, TextThatIsNotANumberOrAnOverflowGivesTheMessage) {
    const struct {
        std::vector<QString> answers;
    } cases[] = {{{"abc"}},
                 {{"100", "百"}},
                 {{"100", "100", "1万"}},
                 {{"2147483648"}},
                 {{"30000", "100000"}}};  // the last one: price x shares beyond 32 bits
    start_with_stock();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers.back().toStdString());
        platform.messages.clear();
        pick_today();
        for (const QString& a : c.answers) platform.answer(a);
        window->kai_input_key->click();
        expect_one_message("半角数字でお願いします");
        EXPECT_EQ(stock().buy_count, 0);
        EXPECT_EQ(window->buy_fig->text(1, 1), "");
    }
}

TEST_F(BuyEntry, FullWidthDigitsOfAnInputMethodAreNumbers) {
    start_with_stock();
    buy("１６５００", "１００", "１，６５２，５００．５");
    EXPECT_EQ(stock().buys[0], (TradeRecord{"2026/12/07", 16500, 100, Currency::from_units(16525005000)}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TradeEntry, TheNewRowIsBroughtIntoViewWithItsTabInFront) {
    start_with_stock();
    window->show();
    for (int k = 0; k < 40; ++k) stock().buys[size_t(k)] = TradeRecord{"2026/01/05", 100, 1, Currency::from_yen(100)};
    stock().buy_count = 40;
    window->show_buy_records();
    window->SSTab1->setCurrentIndex(1);
    buy("100", "1", "100");
    EXPECT_EQ(window->SSTab1->currentIndex(), 0);
    // The grid's row 41 is the table's row 40, under the heading.
    FlexGrid* g = window->buy_fig;
    EXPECT_TRUE(g->viewport()->rect().contains(g->visualItemRect(g->item(40, 1))));
}

// With its tab already in front the grid has to scroll further each time.
TEST_F(TradeEntry, EachNewRowOfALongGridIsWhollyInView) {
    start_with_stock();
    window->show();
    for (int k = 0; k < 53; ++k) stock().buys[size_t(k)] = TradeRecord{"2026/01/05", 100, 1, Currency::from_yen(100)};
    stock().buy_count = 53;
    window->show_buy_records();
    FlexGrid* g = window->buy_fig;
    for (int n = 54; n <= 56; ++n) {
        buy("100", "1", "100");
        EXPECT_TRUE(g->viewport()->rect().contains(g->visualItemRect(g->item(n - 1, 1)))) << n;
    }
}

// ¥2,850.5 × 100 is worth ¥285,050: the fee 3178.3 → 3178 × 1.05 = 3336.9
// → 3337 is added. The record keeps ¥2,850 (ties to even) as its unit price.
TEST_F(BuyEntry, AFractionalPriceProposesTheExactAmount) {
    start_with_stock();
    pick_today();
    platform.answer("2850.5").answer("100").accept_default();
    window->kai_input_key->click();
    EXPECT_EQ(platform.prompts[2].default_text, "288387");
    EXPECT_EQ(stock().buys[0], (TradeRecord{"2026/12/07", 2850, 100, Currency::from_yen(288387)}));
}

TEST_F(BuyEntry, TheFifteenthRecordGrowsTheGrid) {
    start_with_stock();
    for (int k = 0; k < 14; ++k) stock().buys[size_t(k)] = TradeRecord{"2026/01/05", 100, 1, Currency::from_yen(100)};
    stock().buy_count = 14;
    window->show_buy_records();
    ASSERT_EQ(window->buy_fig->rows(), 15);
    buy("200", "1", "200");
    ASSERT_EQ(window->buy_fig->rows(), 16);
    EXPECT_EQ(window->buy_fig->text(15, 0), "15");
    EXPECT_EQ(window->buy_fig->text(15, 2), "¥200");
    EXPECT_EQ(stock().buy_count, 15);
    EXPECT_EQ(stock().held_shares, 15);
}

TEST_F(BuyEntry, TheTwoHundredFiftySeventhRecordIsRefusedBeforeThePicker) {
    start_with_stock();
    for (int k = 0; k < max_records; ++k)
        stock().buys[size_t(k)] = TradeRecord{"2026/01/05", 100 + k, 1, Currency::from_yen(100)};
    stock().buy_count = max_records;
    window->show_buy_records();
    const auto before = stock().buys;
    window->kai_input_key->click();
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_TRUE(platform.prompts.empty());
    expect_one_message("この銘柄の買い記録は256件までです");
    EXPECT_EQ(stock().buy_count, max_records);
    EXPECT_EQ(stock().buys, before);
    EXPECT_EQ(window->buy_fig->rows(), max_records + 1);
    EXPECT_EQ(window->buy_fig->text(max_records, 2), "¥355");
}

TEST_F(TradeEntry, APickerClosedWithoutOkBeforeAnyDateEndsTheEntry) {
    start_with_stock();
    hold(100, 10);
    window->kai_input_key->click();
    window->uri_input_key->click();
    EXPECT_EQ(platform.dialogs.size(), 2u);
    EXPECT_TRUE(platform.prompts.empty() && platform.messages.empty());
    EXPECT_EQ(stock().buy_count + stock().sell_count, 1);
}

TEST_F(BuyEntry, APickerClosedWithoutOkUsesTheDatePickedLast) {
    start_with_stock();

    platform.on_dialog([](QDialog& d) {
        auto& picker = dynamic_cast<DatePickerDialog&>(d);
        picker.MonthView1->setSelectedDate(QDate(2026, 3, 2));
        picker.k_ok->click();
    });
    platform.cancel();
    window->kai_input_key->click();  // a date is picked, the entry cancelled
    platform.answer("100").answer("1").answer("100");
    window->kai_input_key->click();
    EXPECT_EQ(platform.prompts.back().message, summary("例:100000000", "2026/03/02", "¥100", "1"));
    ASSERT_EQ(stock().buy_count, 1);
    EXPECT_EQ(stock().buys[0].date, "2026/03/02");
    EXPECT_EQ(window->buy_fig->text(1, 1), "2026/03/02");
}

TEST_F(SellEntry, NothingHeldIsRefusedBeforeTheDatePicker) {
    start_with_stock();
    window->uri_input_key->click();
    expect_one_message("買い残がないので、売ることが出来ません");
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_TRUE(platform.prompts.empty());
}

TEST_F(SellEntry, ASaleUpdatesHeldAndProfitInPlaceAndKeepsTheAverage) {
    start_with_stock();
    hold(1000, 1000);
    pick_today();
    platform.answer("1200").answer("500").answer("600000");
    window->uri_input_key->click();

    EXPECT_EQ(platform.dialogs, std::vector<QString>{"sel_date"});
    ASSERT_EQ(platform.prompts.size(), 3u);
    EXPECT_EQ(platform.prompts[0].caption, "売りの単価を記入して下さい");
    EXPECT_EQ(platform.prompts[0].message, price_summary("2026/12/07"));
    EXPECT_EQ(platform.prompts[0].default_text, "10000");
    EXPECT_EQ(platform.prompts[1].caption, "売りの株数を記入して下さい");
    EXPECT_EQ(platform.prompts[1].message, summary("例:1000", "2026/12/07", "¥1,200", ""));
    EXPECT_EQ(platform.prompts[1].default_text, "100");
    EXPECT_EQ(platform.prompts[2].caption, "受け取り金額を記入して下さい");
    EXPECT_EQ(platform.prompts[2].message, summary("例:1000000", "2026/12/07", "¥1,200", "500"));
    // 600000 less the charge 6690 x 1.05 = 7024.5 -> 7024 and the levy 6300.
    EXPECT_EQ(platform.prompts[2].default_text, "586676");
    expect_no_change_messages();

    ASSERT_EQ(stock().sell_count, 1);
    EXPECT_EQ(stock().sells[0], (TradeRecord{"2026/12/07", 1200, 500, Currency::from_yen(600000)}));
    EXPECT_EQ(stock().held_shares, 500);
    EXPECT_EQ(stock().realized_profit, Currency::from_yen(100000));
    EXPECT_EQ(stock().avg_buy_price, 1000);
    EXPECT_EQ(window->sell_fig->text(1, 1), "2026/12/07");
    EXPECT_EQ(window->sell_fig->text(1, 2), "¥1,200");
    EXPECT_EQ(window->sell_fig->text(1, 3), "500");
    EXPECT_EQ(window->sell_fig->text(1, 4), "¥600,000");
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"500", "¥1,000", "¥100,000", "0.00%"}));
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥2,000");
}

// ¥1,500.7 × 300 is worth ¥450,210: less the charge (5020 × 1.05 = 5271)
// and the levy (4727.2 → 4727).
TEST_F(SellEntry, AFractionalPriceProposesTheExactAmount) {
    start_with_stock();
    hold(1000, 1000);
    pick_today();
    platform.answer("1500.7").answer("300").accept_default();
    window->uri_input_key->click();
    EXPECT_EQ(platform.prompts[2].default_text, "440212");
    EXPECT_EQ(stock().sells[0], (TradeRecord{"2026/12/07", 1501, 300, Currency::from_yen(440212)}));
}

// 300 shares bought on 2021/03/01; a sale of 100 dated 2020/12/01 would
// sell shares not yet held.
TEST_F(SellEntry, ASaleBeforeTheSharesWereHeldIsStoredOnlyWhenConfirmed) {
    start_with_stock();
    stock().buys[0] = TradeRecord{"2021/03/01", 2000, 300, Currency::from_yen(600000)};
    stock().buy_count = 1;
    stock().held_shares = 300;
    stock().avg_buy_price = 2000;
    const auto sell_on_december_first = [this](QMessageBox::StandardButton answer) {
        platform.on_dialog([](QDialog& d) {
            auto& picker = dynamic_cast<DatePickerDialog&>(d);
            picker.MonthView1->setSelectedDate(QDate(2020, 12, 1));
            picker.k_ok->click();
        });
        platform.answer("1500").answer("100").press(answer);
        if (answer == QMessageBox::Yes) platform.answer("150000");
        window->uri_input_key->click();
    };
    sell_on_december_first(QMessageBox::No);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "2020/12/01 の保有株数は 0 株です。この売却（100 株）は保有株数を超えます。\r\n記録しますか？");
    EXPECT_EQ(platform.messages[0].default_button, QMessageBox::No);
    EXPECT_EQ(platform.prompts.size(), 2u);
    EXPECT_EQ(stock().sell_count, 0);

    sell_on_december_first(QMessageBox::Yes);
    ASSERT_EQ(stock().sell_count, 1);
    // The sale first, costed at nothing; then the buy averages ¥600,000 over
    // the 200 shares left.
    EXPECT_EQ(stock().held_shares, 200);
    EXPECT_EQ(stock().realized_profit, Currency::from_yen(150000));
    EXPECT_EQ(stock().avg_buy_price, 3000);
}

TEST_F(SellEntry, TodaysRatesProposeTheChargeAtTenPercentAndNoLevy) {
    start_with_stock();
    portfolio->fees.consumption_tax = 1000;
    portfolio->fees.sale_levy = 0;
    hold(1000, 1000);
    // 1013000 - (9117 + 2500) x 1.1 = 1000221 covers the cost; 1012 does not.
    EXPECT_EQ(window->bep_fig->text(0, 1), "¥1,013");
    pick_today();
    platform.answer("1200").answer("900").accept_default();
    window->uri_input_key->click();
    // 1080000 less the charge (9720 + 2500) x 1.1 = 13442, and no levy.
    EXPECT_EQ(platform.prompts[2].default_text, "1066558");
    ASSERT_EQ(stock().held_shares, 100);
    // On 100 shares the minimum charge 2750 decides: 102800 - 2750 ≥ 100000.
    EXPECT_EQ(window->bep_fig->text(0, 1), "¥1,028");
}

TEST_F(SellEntry, NoMoreThanTheSharesHeldCanBeSold) {
    start_with_stock();
    hold(1000, 1000);
    pick_today();
    platform.answer("1000").answer("1001");
    window->uri_input_key->click();
    EXPECT_EQ(platform.prompts.size(), 2u);
    expect_one_message("持ち株数以上は、売ることが出来ません");
    EXPECT_EQ(stock().sell_count, 0);
    EXPECT_EQ(stock().held_shares, 1000);

    platform.messages.clear();
    pick_today();
    platform.answer("1000").answer("1000").answer("1000000");
    window->uri_input_key->click();
    expect_no_change_messages();
    EXPECT_EQ(stock().held_shares, 0);
    EXPECT_EQ(stock().realized_profit, Currency());
    EXPECT_EQ(window->anal_fig->text(0, 1), "0");

    window->uri_input_key->click();
    expect_one_message("買い残がないので、売ることが出来ません");
}

TEST_F(SellEntry, CancelAtAnyPromptChangesNothing) {
    start_with_stock();
    hold(100, 500);
    for (int at = 0; at < 3; ++at) {
        SCOPED_TRACE(at);
        platform.prompts.clear();
        pick_today();
        for (int i = 0; i < at; ++i) platform.answer("10");
        platform.cancel();
        window->uri_input_key->click();
        EXPECT_EQ(platform.prompts.size(), size_t(at + 1));
        EXPECT_EQ(stock().sell_count, 0);
        EXPECT_EQ(stock().held_shares, 100);
        EXPECT_EQ(stock().realized_profit, Currency());
        EXPECT_EQ(window->sell_fig->text(1, 1), "");
        expect_no_change_messages();
    }
}

TEST_F(SellEntry, AFractionalAmountEntersTheProfitExactly) {
    start_with_stock();
    hold(10, 100);
    pick_today();
    platform.answer("120").answer("5").answer("600.25");
    window->uri_input_key->click();
    EXPECT_EQ(stock().sells[0].amount, Currency::from_units(6002500));
    EXPECT_EQ(stock().realized_profit, Currency::from_units(1002500));
}

TEST_F(SellEntry, TheCostOfTheSharesSoldMayExceedThirtyTwoBits) {
    start_with_stock();
    hold(100000, 100000);
    pick_today();
    platform.answer("1").answer("100000").answer("10000000000");
    window->uri_input_key->click();
    expect_no_change_messages();
    ASSERT_EQ(stock().sell_count, 1);
    EXPECT_EQ(stock().held_shares, 0);
    EXPECT_EQ(stock().realized_profit, Currency());
    EXPECT_EQ(window->sell_fig->text(1, 4), "¥10,000,000,000");
}

TEST_F(SellEntry, AFullSellTableIsRefusedAndNothingChanges) {
    start_with_stock();
    hold(1000, 100);
    for (int k = 0; k < max_records; ++k) stock().sells[size_t(k)] = TradeRecord{"2026/01/06", 1, 0, Currency()};
    stock().sell_count = max_records;
    window->uri_input_key->click();
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_TRUE(platform.prompts.empty());
    expect_one_message("この銘柄の売り記録は256件までです");
    EXPECT_EQ(stock().sell_count, max_records);
    EXPECT_EQ(stock().held_shares, 1000);
    EXPECT_EQ(stock().realized_profit, Currency());
    EXPECT_EQ(window->sell_fig->rows(), 15);
}

}  // namespace
}  // namespace chomaru
