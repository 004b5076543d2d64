#include "trades/record_editing.h"

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>

#include "reports/chart_window.h"
#include "reports/list_window.h"
#include "reports/tax_csv.h"
#include "store/cp932.h"
#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class RecordEditing : public MainWindowTest {
protected:
    // Two purchases, 10 shares for 1,000 and 10 for 1,400, and one sale of
    // 5 shares for 700, shown as after a start.
    void start_with_records() {
        start_with_stock();
        stock().dividend = 3;
        stock().buys[0] = TradeRecord{"2026/01/05", 100, 10, Currency::from_yen(1000)};
        stock().buys[1] = TradeRecord{"2026/02/05", 140, 10, Currency::from_yen(1400)};
        stock().buy_count = 2;
        stock().held_shares = 20;
        stock().avg_buy_price = 120;
        stock().sells[0] = TradeRecord{"2026/03/05", 140, 5, Currency::from_yen(700)};
        stock().sell_count = 1;
        stock().held_shares = 15;
        stock().realized_profit = Currency::from_yen(100);
        window->show_analysis();
        window->show_buy_records();
        window->show_sell_records();
        window->show_ratio_table();
    }
    void double_click(FlexGrid* grid, int row, int col) { emit grid->double_clicked(row, col); }
    void expect_prompt(const QString& default_text) {
        ASSERT_EQ(platform.prompts.size(), 1u);
        EXPECT_EQ(platform.prompts[0].caption, "変更後の情報を入力して下さい");
        EXPECT_EQ(platform.prompts[0].message, "変更します");
        EXPECT_EQ(platform.prompts[0].default_text, default_text);
    }
};

TEST_F(RecordEditing, OnlyCellsOfStoredRecordsOpenThePrompt) {
    start_with_records();
    for (auto [row, col] : {std::pair{0, 1}, {1, 0}, {3, 1}, {14, 4}, {2, 0}}) double_click(window->buy_fig, row, col);
    for (auto [row, col] : {std::pair{2, 1}, {0, 2}}) double_click(window->sell_fig, row, col);
    EXPECT_TRUE(platform.prompts.empty());
}

TEST_F(RecordEditing, TheDefaultIsTheStoredValueAndOkKeepsIt) {
    start_with_records();
    // The cell shows the amount rounded to ¥542,598; its default is exact.
    stock().buys[1].amount = Currency::from_units(5425975000);
    stock().buys[1].shares = 12345;
    window->show_buy_records();
    const TradeRecord before = stock().buys[1];
    const QStringList defaults{"2026/02/05", "140", "12345", "542597.5"};
    const QStringList cells{"2026/02/05", "¥140", "12,345", "¥542,598"};
    for (int col = 1; col <= 4; ++col) {
        SCOPED_TRACE(col);
        platform.prompts.clear();
        platform.accept_default();
        double_click(window->buy_fig, 2, col);
        expect_prompt(defaults[col - 1]);
        EXPECT_EQ(stock().buys[1], before);
        EXPECT_EQ(window->buy_fig->text(2, col), cells[col - 1]);
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RecordEditing, ChangingSharesRecomputesAndRedrawsTheAnalysis) {
    start_with_records();
    platform.answer("20");
    double_click(window->buy_fig, 1, 3);
    expect_prompt("10");
    EXPECT_EQ(stock().buys[0].shares, 20);
    EXPECT_EQ(window->buy_fig->text(1, 3), "20");
    // 30 shares for 2,400 average 80; the sale of 5 for 700 gains 300.
    EXPECT_EQ(stock().held_shares, 25);
    EXPECT_EQ(stock().avg_buy_price, 80);
    EXPECT_EQ(stock().realized_profit, Currency::from_yen(300));
    EXPECT_FLOAT_EQ(stock().dividend_yield, float(3.0 / 80.0));
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"25", "¥80", "¥300", "3.75%"}));
    EXPECT_EQ(window->sample_fig_1->text(0, 1), "¥160");
}

TEST_F(RecordEditing, PriceAndAmountCellsAreRewrittenInTheirFormat) {
    start_with_records();
    platform.answer("1500.5").answer("2500.25");
    double_click(window->sell_fig, 1, 2);
    double_click(window->sell_fig, 1, 4);
    EXPECT_EQ(stock().sells[0].price, 1500);
    EXPECT_EQ(window->sell_fig->text(1, 2), "¥1,500");
    EXPECT_EQ(stock().sells[0].amount, Currency::from_units(25002500));
    EXPECT_EQ(window->sell_fig->text(1, 4), "¥2,500");
    // The sale of 5 at the average of 120 now gains 1,900.25; a sale leaves
    // the average as it was.
    EXPECT_EQ(stock().avg_buy_price, 120);
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"15", "¥120", "¥1,900", "2.50%"}));
}

// Moved after the sale, the second buy no longer counts in the sale's cost:
// 5 of 10 shares at 100 sold for 700 gain 200, and the 5 left (500) with the
// 10 bought for 1,400 average 126.7 → 127.
TEST_F(RecordEditing, ADateIsStoredZeroPaddedAndMovesTheRecordInDateOrder) {
    start_with_records();
    platform.answer("２０２６／３／１０");
    double_click(window->buy_fig, 2, 1);
    expect_prompt("2026/02/05");
    EXPECT_EQ(stock().buys[1].date, "2026/03/10");
    EXPECT_EQ(window->buy_fig->text(2, 1), "2026/03/10");
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"15", "¥127", "¥200", "2.36%"}));
    EXPECT_TRUE(platform.messages.empty());
}

// 300 shares bought for ¥828,300 (¥2,761 each), 150 sold for ¥465,000:
// ¥50,850 of profit. Corrected to ¥480,000 the sale gains ¥65,850, and the
// 150 shares left keep their average of ¥2,761.
TEST_F(RecordEditing, ACorrectedSaleGivesOneProfitInTheWindowTheListTheChartAndTheTaxFile) {
    start_with_stock();
    stock().buys[0] = TradeRecord{"2026/01/05", 2761, 300, Currency::from_yen(828300)};
    stock().buy_count = 1;
    stock().sells[0] = TradeRecord{"2026/02/05", 3100, 150, Currency::from_yen(465000)};
    stock().sell_count = 1;
    stock().held_shares = 150;
    stock().avg_buy_price = 2761;
    stock().realized_profit = Currency::from_yen(50850);
    window->m_chart->trigger();
    platform.answer("480000");
    double_click(window->sell_fig, 1, 4);
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"150", "¥2,761", "¥65,850", "0.00%"}));

    platform.on_dialog([](QDialog& d) {
        auto& list = dynamic_cast<ListWindow&>(d);
        EXPECT_EQ(list.all_disp_fig->text(1, 2), "¥2,761");
        EXPECT_EQ(list.all_disp_fig->text(1, 4), "¥65,850");
        EXPECT_EQ(list.all_total->text(), "¥65,850");
    });
    window->all_list_key->click();

    const auto charts = window->findChildren<ChartWindow*>();
    ASSERT_EQ(charts.size(), 1);
    QList<QPointF> profit;
    for (QAbstractSeries* s : qobject_cast<QChartView*>(charts.front()->chart_view)->chart()->series())
        if (s->name() == "通算損益") profit = static_cast<QXYSeries*>(s)->points();
    ASSERT_FALSE(profit.isEmpty());
    EXPECT_EQ(profit.back().y(), 65850);

    EXPECT_NE(tax_csv(*portfolio).bytes.find(",,,,2026/02/05,3100,150,480000,2761,150,65850,65850\r\n"),
              std::string::npos);
}

TEST_F(RecordEditing, TextThatIsNotADateOrANumberIsRefused) {
    const struct {
        int col;
        QString typed;
        QString message;
    } cases[] = {
        {1, "2026/ 01/05",
         "日付として読めません。\r\n2026/01/05、2026/1/5、2026-01-05、20260105 のように入力して下さい"},
        {1, "1969/12/31", "日付は 1970/01/01 から 2027/12/07 までで入力して下さい"},
        {2, "abc", "半角数字でお願いします"},
        {3, "2147483648", "半角数字でお願いします"},
        {4, "百円", "半角数字でお願いします"},
    };
    start_with_records();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        platform.messages.clear();
        const TradeRecord before = stock().buys[0];
        const QString cell = window->buy_fig->text(1, c.col);
        platform.answer(c.typed);
        double_click(window->buy_fig, 1, c.col);
        expect_one_message(c.message);
        EXPECT_EQ(stock().buys[0], before);
        EXPECT_EQ(window->buy_fig->text(1, c.col), cell);
    }
}

TEST_F(RecordEditing, CancelOrAnEmptiedFieldChangesNothing) {
    start_with_records();
    platform.cancel().answer("");
    double_click(window->buy_fig, 1, 1);
    double_click(window->sell_fig, 1, 4);
    EXPECT_EQ(stock().buys[0].date, "2026/01/05");
    EXPECT_EQ(stock().sells[0].amount, Currency::from_yen(700));
    EXPECT_EQ(window->sell_fig->text(1, 4), "¥700");
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace chomaru
