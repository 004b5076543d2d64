#include "views/entry_commands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "accounting/position.h"
#include "reports/list_window.h"
#include "support/main_window_fixture.h"
#include "trades/date_picker_dialog.h"
#include "views/account_dialog.h"
#include "views/sort_dialog.h"

namespace chomaru {
namespace {

class EntryCommands : public MainWindowTest {
protected:
    // 7203 トヨタ自動車 with three buys of 100 and a sale of 100: 200 held
    // at an average of 2,667.
    void start_with_holding() {
        start_with_stock(QStringLiteral("7203"), QStringLiteral("トヨタ自動車"));
        for (const TradeRecord& r : {TradeRecord{"2024/01/10", 2500, 100, Currency::from_yen(250000)},
                                     TradeRecord{"2024/02/15", 2800, 100, Currency::from_yen(280000)},
                                     TradeRecord{"2024/03/20", 2700, 100, Currency::from_yen(270000)}})
            append_record(stock().buys, stock().buy_count, r);
        append_record(stock().sells, stock().sell_count,
                      TradeRecord{"2024/05/10", 3000, 100, Currency::from_yen(300000)});
        recompute_figures(stock());
        window->redraw(all_views);
    }
    void pick_date(const char* date) {
        platform.on_dialog([date](QDialog& d) {
            auto& picker = dynamic_cast<DatePickerDialog&>(d);
            picker.l_date->setText(QString::fromLatin1(date));
            picker.k_ok->click();
        });
    }
    QStringList list_row(int row) {
        QStringList texts;
        platform.on_dialog([&](QDialog& d) {
            auto& list = dynamic_cast<ListWindow&>(d);
            for (int c = 0; c < list.all_disp_fig->cols(); ++c) texts << list.all_disp_fig->text(row, c);
            texts << list.all_value->text() << list.all_gain->text() << list.at_cost_note->text();
        });
        window->all_list_key->click();
        return texts;
    }
    QString undo_text() const { return window->m_undo->text(); }
};

TEST_F(EntryCommands, TheAccountIsChosenFromTheListAndTaggedInEveryList) {
    start_with_holding();
    platform.on_dialog([](QDialog& d) {
        auto& dialog = dynamic_cast<AccountDialog&>(d);
        EXPECT_EQ(dialog.account_list->currentItem()->text(), "特定");
        EXPECT_EQ(dialog.account_list->count(), 5);
        dialog.account_list->setCurrentRow(2);
        dialog.k_ok->click();
    });
    window->m_account->trigger();
    EXPECT_EQ(stock().account, AccountType::nisa_growth);
    EXPECT_EQ(window->Combo1->itemText(0), "トヨタ自動車 ［NISA成長］");
    EXPECT_EQ(undo_text(), "元に戻す(&Z): 口座区分の変更 7203 トヨタ自動車");
    EXPECT_EQ(list_row(1).mid(0, 2), (QStringList{"7203", "トヨタ自動車 ［NISA成長］"}));
    platform.on_dialog([](QDialog& d) {
        EXPECT_EQ(dynamic_cast<SortDialog&>(d).base_list->item(0)->text(), "7203 トヨタ自動車 ［NISA成長］");
    });
    window->m_sort->trigger();

    platform.on_dialog([](QDialog& d) { dynamic_cast<AccountDialog&>(d).k_cancel->click(); });
    window->m_account->trigger();
    EXPECT_EQ(undo_text(), "元に戻す(&Z): 口座区分の変更 7203 トヨタ自動車");
    window->m_undo->trigger();
    EXPECT_EQ(window->Combo1->itemText(0), "トヨタ自動車");
}

TEST_F(EntryCommands, APriceShowsWhatTheHoldingIsWorthAndIsClearedOnlyWhenAsked) {
    start_with_holding();
    platform.answer(QStringLiteral("２４５０．５"));
    window->m_price->trigger();
    ASSERT_EQ(platform.prompts.size(), 1u);
    EXPECT_EQ(platform.prompts[0].caption, "現在値を記入して下さい");
    EXPECT_EQ(platform.prompts[0].message, "例:1234.5\r\n空欄にすると現在値を消します");
    // 200 × 2,450.5 = 490,100; less 200 × 2,667 = -43,300, -8.12% of 533,400.
    EXPECT_EQ(column(window->value_fig, 1), (QStringList{"¥2,450.5", "2026/12/07", "¥490,100", "-¥43,300", "-8.12%"}));
    for (int r = 0; r < 5; ++r) EXPECT_EQ(window->value_fig->text_colour(r, 1), r < 3 ? QColor() : QColor(Qt::red));
    // -10% of 2,667 is 2,400.3, the row nearest.
    EXPECT_EQ(window->sample_fig_2->item(0, 1)->toolTip(), "現在値に最も近い行");
    EXPECT_EQ(window->sample_fig_2->item(1, 1)->toolTip(), "");
    EXPECT_EQ(undo_text(), "元に戻す(&Z): 現在値の変更 7203 トヨタ自動車");
    EXPECT_EQ(list_row(1).mid(6), (QStringList{"¥2,450.5", "¥490,100", "-¥43,300", "¥490,100", "-¥43,300", ""}));

    platform.clock = platform.clock.addDays(8);
    window->redraw(View::analysis);
    EXPECT_EQ(window->value_fig->text_colour(1, 1), QColor(Qt::gray));
    EXPECT_EQ(list_row(1)[6], "¥2,450.5 (2026/12/07)");

    platform.prompts.clear();
    platform.cancel().press(QMessageBox::No);
    window->m_price->trigger();
    EXPECT_EQ(platform.prompts[0].default_text, "2450.5");
    EXPECT_EQ(platform.messages.back().text, "現在値（¥2,450.5、2026/12/07）を消しますか？");
    EXPECT_TRUE(stock().price);
    platform.cancel().press(QMessageBox::Yes);
    window->m_price->trigger();
    EXPECT_FALSE(stock().price);
    EXPECT_EQ(column(window->value_fig, 1), (QStringList{"—", "—", "—", "—", "—"}));
    EXPECT_EQ(window->sample_fig_2->item(0, 1)->toolTip(), "");

    platform.answer(QStringLiteral("-1"));
    window->m_price->trigger();
    EXPECT_EQ(platform.messages.back().text, "半角数字でお願いします");
    EXPECT_FALSE(stock().price);
}

TEST_F(EntryCommands, AStockWithoutAPriceCountsAtItsCostInTheList) {
    start_with_holding();
    stock().price = QuotedPrice{Currency::from_yen(3000), "2026/12/07"};
    platform.answer(QStringLiteral("9984")).answer(QStringLiteral("ソフトバンク"));
    window->new_name_key->click();
    append_record(stock().buys, stock().buy_count, TradeRecord{"2024/06/03", 9000, 100, Currency::from_yen(900000)});
    recompute_figures(stock());
    // 600,000 - 533,400 = 66,600; the second stock at its cost of 900,000.
    EXPECT_EQ(list_row(2).mid(6), (QStringList{"—", "¥900,000※", "—", "¥1,500,000※", "¥66,600※",
                                               "※ 現在値のない 1 銘柄は、平均買い単価×保有株数で計上しています"}));
}

// The split changes the position, not the records: the grids show what
// was typed, the shares held double and the average halves.
TEST_F(EntryCommands, ASplitIsListedOnItsTabAndChangesTheFiguresUntilUndone) {
    start_with_holding();
    EXPECT_FALSE(window->SSTab1->isTabVisible(3));
    pick_date("2024/06/01");
    platform.answer(QStringLiteral("１：２"));
    window->m_split->trigger();
    EXPECT_EQ(platform.prompts.back().caption, "分割・併合の比率を記入して下さい");
    EXPECT_EQ(column(window->anal_fig, 1).mid(0, 3), (QStringList{"400", "¥1,333", "¥33,300"}));
    EXPECT_EQ(column(window->buy_fig, 3).mid(1, 3), (QStringList{"100", "100", "100"}));
    EXPECT_TRUE(window->SSTab1->isTabVisible(3));
    EXPECT_EQ(column(window->split_fig, 1).mid(1), (QStringList{"2024/06/01"}));
    EXPECT_EQ(column(window->split_fig, 2).mid(1), (QStringList{"分割 1:2"}));
    EXPECT_EQ(undo_text(), "元に戻す(&Z): 株式分割・併合 7203 トヨタ自動車");
    window->m_undo->trigger();
    EXPECT_EQ(column(window->anal_fig, 1).mid(0, 2), (QStringList{"200", "¥2,667"}));
    EXPECT_FALSE(window->SSTab1->isTabVisible(3));

    window->m_redo->trigger();
    platform.answer(QStringLiteral("1"));
    window->del_split->trigger();
    EXPECT_TRUE(stock().splits.empty());
    EXPECT_EQ(undo_text(), "元に戻す(&Z): 分割・併合の削除 7203 トヨタ自動車");
    window->del_split->trigger();
    EXPECT_EQ(platform.messages.back().text, "この銘柄には分割・併合の記録がありません");
}

TEST_F(EntryCommands, AConsolidationLeavingAFractionSaysSoFirst) {
    start_with_stock();
    append_record(stock().buys, stock().buy_count, TradeRecord{"2024/01/10", 500, 103, Currency::from_yen(51500)});
    recompute_figures(stock());
    pick_date("2024/10/01");
    platform.answer(QStringLiteral("5:1")).press(QMessageBox::Cancel);
    window->m_split->trigger();
    EXPECT_EQ(platform.messages.back().text,
              "2024/10/01 の保有株数 103 株は、併合 5:1 で 20 株になります。\r\n"
              "1株に満たない端数（3/5 "
              "株）は切り捨てます。端数は現金で支払われます。受け取った金額は、売りとして記録できます。");
    EXPECT_TRUE(stock().splits.empty());
    pick_date("2024/10/01");
    platform.answer(QStringLiteral("5:1")).press(QMessageBox::Ok);
    window->m_split->trigger();
    EXPECT_EQ(column(window->anal_fig, 1).mid(0, 2), (QStringList{"20", "¥2,575"}));

    pick_date("2024/10/02");
    platform.answer(QStringLiteral("1.5:3"));
    window->m_split->trigger();
    EXPECT_EQ(platform.messages.back().text,
              "比率は 1:2 や 5:1 のように、前と後の株数を1から1000までの整数で記入して下さい");
    EXPECT_EQ(stock().splits.size(), 1u);
}

}  // namespace
}  // namespace chomaru
