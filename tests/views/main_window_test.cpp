#include "views/main_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include "support/main_window_fixture.h"
#include "ui/twips.h"

namespace chomaru {
namespace {

using MainWindowLayout = MainWindowTest;
using Refresh = MainWindowTest;

TEST_F(MainWindowLayout, CaptionsButtonsAndFrames) {
    EXPECT_EQ(window->windowTitle(), "帳丸");
    EXPECT_EQ(window->Frame3->title(), "記録する");
    EXPECT_EQ(window->Frame4->title(), "売買シミュレーション");
    EXPECT_EQ(window->Frame1->title(), "銘柄");
    EXPECT_EQ(window->Frame2->title(), "買い単価比株価");
    EXPECT_EQ(window->kai_input_key->text(), "買い(&K)");
    EXPECT_EQ(window->uri_input_key->text(), "売り(&U)");
    EXPECT_EQ(window->kai_sl_key->text(), "買い(&G)");
    EXPECT_EQ(window->uri_sl_key->text(), "売り(&R)");
    EXPECT_EQ(window->new_name_key->text(), "新銘柄(&N)");
    EXPECT_EQ(window->all_list_key->text(), "一覧表(&I)");
    EXPECT_EQ(window->kai_input_key->parent(), window->Frame3);
    EXPECT_EQ(window->kai_sl_key->parent(), window->Frame4);
    EXPECT_EQ(window->SSTab1->tabText(0), "買い記録");
    EXPECT_EQ(window->SSTab1->tabText(1), "売り記録");
    EXPECT_EQ(window->SSTab1->currentIndex(), 0);
    // The grouping: records and simulation on top, the stock frame left of
    // the price table, the record tabs on the right.
    EXPECT_LT(window->Frame3->x(), window->Frame4->x());
    EXPECT_LT(window->Frame1->x(), window->Frame2->x());
    EXPECT_LT(window->Frame2->x(), window->SSTab1->x());
    EXPECT_LT(window->Frame3->y(), window->Frame1->y());
}

TEST_F(MainWindowLayout, MenuTree) {
    QStringList menus;
    for (QAction* a : window->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "変更(&C)", "削除(&D)", "分析(&S)", "ヘルプ(&H)"}));
    const auto items = [this](const char* menu) {
        QStringList texts;
        for (QAction* a : window->menuBar()->findChild<QMenu*>(menu)->actions()) texts << a->text();
        return texts;
    };
    EXPECT_EQ(items("file"),
              (QStringList{"取引履歴の取り込み(&I)…", "保有一覧から現在値を取り込む(&H)…", "", "並べ替え(&Y)",
                           "CSVファイルの出力(&O)", "申告ファイルの作成(&T)", "手数料設定(&J)", "終了(&E)"}));
    EXPECT_EQ(items("modify"),
              (QStringList{"元に戻す(&Z)", "やり直し(&R)", "", "コードの変更(&B)", "銘柄名の変更(&O)", "配当の変更(&P)",
                           "口座区分(&A)…", "現在値(&G)…", "株式分割・併合(&S)…", "配当金の記録(&V)…"}));
    EXPECT_EQ(items("menu_delete"),
              (QStringList{"買い記録の１行削除(&W)", "売り記録の１行削除(&X)", "分割・併合の１行削除(&S)",
                           "配当金の１行削除(&V)", "全記録の削除(&A)"}));
    EXPECT_EQ(items("analysis"), (QStringList{"年間損益(&N)", "推移グラフ(&G)", "NISA投資枠(&A)"}));
    EXPECT_EQ(items("menu_help"), (QStringList{"動作説明(&M)", "バージョン情報(&V)"}));
}

TEST_F(MainWindowLayout, GridLabelsHeadingsAndNumbers) {
    start_with_stock();
    EXPECT_EQ(column(window->infor_fig, 0), (QStringList{"コード", "銘柄", "配当"}));
    EXPECT_EQ(column(window->anal_fig, 0), (QStringList{"保有株数", "平均買い単価", "利益", "配当利回り"}));
    EXPECT_EQ(column(window->sample_fig_1, 0),
              (QStringList{"+100%", "+90%", "+80%", "+70%", "+60%", "+50%", "+40%", "+30%", "+20%", "+10%"}));
    EXPECT_EQ(column(window->sample_fig_2, 0), (QStringList{"-10%", "-20%", "-30%", "-40%", "-50%"}));
    for (FlexGrid* g : {window->buy_fig, window->sell_fig}) {
        ASSERT_EQ(g->rows(), 15);
        ASSERT_EQ(g->cols(), 5);
        EXPECT_EQ(g->text(0, 0), "");
        EXPECT_EQ(g->text(0, 1), "日付");
        EXPECT_EQ(g->text(0, 2), "単価");
        EXPECT_EQ(g->text(0, 3), "株数");
        EXPECT_EQ(g->text(0, 4), "代金");
        for (int n = 1; n <= 14; ++n) {
            EXPECT_EQ(g->text(n, 0), QString::number(n));
            for (int c = 1; c < 5; ++c) EXPECT_EQ(g->text(n, c), "");
        }
        EXPECT_EQ(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
}

TEST_F(MainWindowLayout, TheWidestPriceTableLabelFitsItsColumn) {
    start_with_stock();
    for (FlexGrid* g : {window->sample_fig_1, window->sample_fig_2}) {
        // The label with the cell's padding and grid line; the two columns
        // keep their width together.
        EXPECT_GE(g->columnWidth(0), g->fontMetrics().horizontalAdvance(QStringLiteral("+100%")) + 6);
        EXPECT_EQ(g->columnWidth(0) + g->columnWidth(1), twips(g, 540) + twips(g, 1060));
    }
}

TEST_F(Refresh, AFreshStockShowsZeros) {
    start_with_stock(QStringLiteral("9984"), QStringLiteral("ソフトバンク"));
    EXPECT_EQ(column(window->infor_fig, 1), (QStringList{"9984", "ソフトバンク", "0"}));
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"0", "¥0", "¥0", "0.00%"}));
    for (const QString& cell : column(window->sample_fig_1, 1) + column(window->sample_fig_2, 1)) EXPECT_EQ(cell, "¥0");
}

TEST_F(Refresh, RatioTableForAnAverageOf1000) {
    start_with_stock();
    stock().avg_buy_price = 1000;
    window->show_ratio_table();
    EXPECT_EQ(column(window->sample_fig_1, 1), (QStringList{"¥2,000", "¥1,900", "¥1,800", "¥1,700", "¥1,600", "¥1,500",
                                                            "¥1,400", "¥1,300", "¥1,200", "¥1,100"}));
    EXPECT_EQ(column(window->sample_fig_2, 1), (QStringList{"¥900", "¥800", "¥700", "¥600", "¥500"}));
    stock().avg_buy_price = 5;
    window->show_ratio_table();
    EXPECT_EQ(window->sample_fig_1->text(5, 1), "¥8");  // 7.5 shown rounded half away from zero
}

TEST_F(Refresh, BreakEvenRowAndItsLineInThePriceTable) {
    start_with_stock();
    EXPECT_EQ(window->bep_fig->text(0, 0), "損益分岐単価");
    EXPECT_EQ(window->bep_fig->text(0, 1), "—");
    const int lower_top = window->sample_fig_2->y();

    // 1036000 - (9324 + 2500) x 1.05 - 10878 = 1012707 covers 1012 x 1000.
    stock().held_shares = 1000;
    stock().avg_buy_price = 1012;
    window->show_analysis();
    EXPECT_EQ(window->bep_fig->text(0, 1), "¥1,036");
    ASSERT_EQ(window->sample_fig_1->rows(), 10);
    ASSERT_EQ(window->sample_fig_2->rows(), 6);
    EXPECT_EQ(window->sample_fig_2->text(5, 0), "+2.37%");
    EXPECT_EQ(window->sample_fig_2->verticalHeader()->visualIndex(5), 0);  // shown above -10%
    EXPECT_EQ(window->sample_fig_2->y(), lower_top);

    // Ten shares: the minimum charge puts the price above +100%.
    stock().held_shares = 10;
    stock().avg_buy_price = 100;
    window->show_analysis();
    ASSERT_EQ(window->sample_fig_1->rows(), 11);
    EXPECT_EQ(window->sample_fig_1->text(10, 0), "+267.00%");
    EXPECT_EQ(window->sample_fig_1->text(10, 1), "¥367");
    EXPECT_EQ(window->sample_fig_1->verticalHeader()->visualIndex(10), 0);
    EXPECT_EQ(window->sample_fig_1->verticalHeader()->visualIndex(0), 1);
    EXPECT_GT(window->sample_fig_2->y(), lower_top);
    EXPECT_GE(window->sample_fig_1->columnWidth(0), window->fontMetrics().horizontalAdvance("+267.00%"));

    stock().held_shares = 0;
    window->show_analysis();
    EXPECT_EQ(window->bep_fig->text(0, 1), "—");
    EXPECT_EQ(window->sample_fig_1->rows(), 10);
    EXPECT_EQ(window->sample_fig_1->verticalHeader()->visualIndex(0), 0);
    EXPECT_EQ(window->sample_fig_2->y(), lower_top);
}

TEST_F(Refresh, AnalysisFormats) {
    start_with_stock();
    stock().held_shares = 12345;
    stock().avg_buy_price = -700;
    stock().realized_profit = Currency::from_units(-125000);
    stock().dividend_yield = 0.05f;
    stock().dividend = -3;
    window->show_analysis();
    window->show_stock_info();
    EXPECT_EQ(column(window->anal_fig, 1), (QStringList{"12,345", "-¥700", "-¥13", "5.00%"}));
    EXPECT_EQ(window->infor_fig->text(2, 1), "-3");
}

TEST_F(Refresh, RecordGridsGrowBeyondFourteenRowsAndShrinkBack) {
    start_with_stock();
    portfolio->last_stock = 1;
    Stock& many = portfolio->stocks[0];
    many.buy_count = 20;
    for (int k = 0; k < 20; ++k)
        many.buys[size_t(k)] = TradeRecord{"2024/01/01", 1000 + k, 100, Currency::from_yen(100000)};
    Stock& few = portfolio->stocks[1];
    few.buy_count = 3;
    for (int k = 0; k < 3; ++k) few.buys[size_t(k)] = TradeRecord{"2025/02/02", 7, 1, Currency::from_yen(7)};

    window->clear_trade_grids();
    window->show_buy_records();
    ASSERT_EQ(window->buy_fig->rows(), 21);
    for (int n = 15; n <= 20; ++n) EXPECT_EQ(window->buy_fig->text(n, 0), QString::number(n));
    EXPECT_EQ(window->buy_fig->text(20, 2), "¥1,019");
    EXPECT_EQ(window->buy_fig->text(20, 3), "100");
    EXPECT_EQ(window->buy_fig->text(20, 4), "¥100,000");

    portfolio->current_stock = 1;
    window->clear_trade_grids();
    window->show_buy_records();
    ASSERT_EQ(window->buy_fig->rows(), 15);
    EXPECT_EQ(window->buy_fig->text(3, 1), "2025/02/02");
    EXPECT_EQ(window->buy_fig->text(4, 1), "");
    EXPECT_EQ(window->buy_fig->text(14, 0), "14");
    EXPECT_EQ(window->sell_fig->rows(), 15);
}

TEST_F(Refresh, ARefillStartsAtTheTopWithTheHeadingRowAlwaysInView) {
    start_with_stock();
    window->show();
    stock().buy_count = 40;
    for (int k = 0; k < 40; ++k) stock().buys[size_t(k)] = TradeRecord{"2024/01/01", 1000, 1, Currency::from_yen(1000)};
    window->show_buy_records();
    QCoreApplication::processEvents();  // the view lays out its new rows later
    QScrollBar* bar = window->buy_fig->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(bar->maximum());
    ASSERT_GT(bar->value(), 0);
    // The heading row is the header: it does not scroll with the records.
    EXPECT_TRUE(window->buy_fig->horizontalHeader()->isVisible());
    EXPECT_EQ(window->buy_fig->text(0, 1), "日付");
    EXPECT_EQ(window->buy_fig->text(40, 0), "40");

    emit window->Combo1->activated(0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(Refresh, SelectorListsEveryStockByIndexWithTheSelectedOneShown) {
    start_with_stock(QStringLiteral("1"), QStringLiteral("同名"));
    portfolio->last_stock = 2;
    portfolio->current_stock = 1;
    portfolio->stocks[1].stock_name = "同名";
    portfolio->stocks[2].stock_name = "別";
    window->fill_stock_combo();
    ASSERT_EQ(window->Combo1->count(), 3);
    EXPECT_EQ(window->Combo1->itemText(1), "同名");
    EXPECT_EQ(window->Combo1->itemText(2), "別");
    EXPECT_EQ(window->Combo1->currentIndex(), 1);
}

}  // namespace
}  // namespace chomaru
