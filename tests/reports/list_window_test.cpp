#include "reports/list_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class PortfolioList : public MainWindowTest {
protected:
    Stock& add_stock(const std::string& code, const std::string& name) {
        Stock& s = portfolio->stocks[size_t(++portfolio->last_stock)];
        s.stock_code = code;
        s.stock_name = name;
        return s;
    }

    // Opens the list with the main window's button and keeps what it shows.
    void open_list() {
        platform.on_dialog([this](QDialog& d) {
            auto& list = dynamic_cast<ListWindow&>(d);
            rows = list.all_disp_fig->rows();
            grid.clear();
            for (int r = 0; r < rows; ++r) {
                QStringList row;
                for (int c = 0; c < list.all_disp_fig->cols(); ++c) row << list.all_disp_fig->text(r, c);
                grid << row;
            }
            total = list.all_total->text();
            yield = list.all_rimawari->text();
            list.close_key->click();
        });
        window->all_list_key->click();
        ASSERT_EQ(platform.dialogs.back(), "Form_all_disp");
    }

    int rows = 0;
    QList<QStringList> grid;
    QString total;
    QString yield;
};

TEST_F(PortfolioList, LayoutOfTheWindowAndTheGrid) {
    ListWindow list;
    setup_list_grid(list);
    EXPECT_EQ(list.objectName(), "Form_all_disp");
    EXPECT_EQ(list.windowTitle(), "一覧表");
    EXPECT_EQ(list.Label1->text(), "通算損益：");
    EXPECT_EQ(list.Label2->text(), "通算利回り：");
    EXPECT_EQ(list.all_rimawari->text(), "");
    EXPECT_EQ(list.close_key->text(), "閉じる(&C)");
    FlexGrid* g = list.all_disp_fig;
    EXPECT_EQ(g->rows(), 12);
    EXPECT_EQ(g->cols(), 6);
    EXPECT_EQ(g->font().family(), "IPAPGothic");
    EXPECT_EQ(g->font().pointSizeF(), 9.75);
    QStringList headings;
    for (int c = 0; c < 6; ++c) headings << g->text(0, c);
    EXPECT_EQ(headings, (QStringList{"コード", "銘柄", "平均買い単価", "保有株数", "利益", "配当利回り"}));
    // The heading row is the grid's header, which does not scroll.
    EXPECT_TRUE(g->horizontalHeader()->isVisibleTo(g));
    EXPECT_EQ(g->horizontalHeaderItem(3)->textAlignment(), int(align_centre));
    EXPECT_EQ(g->item(0, 1)->textAlignment(), int(align_centre));
    EXPECT_EQ(g->item(0, 2)->textAlignment(), int(align_right));
    EXPECT_LT(g->columnWidth(0), g->columnWidth(1));
    EXPECT_LT(g->geometry().bottom(), list.all_total->y());
}

TEST_F(PortfolioList, RowsFormatsAndTheHoldingsWeightedYield) {
    start_with_stock(QStringLiteral("1111"), QStringLiteral("甲"));
    Stock& a = stock();
    a.held_shares = 1000;
    a.avg_buy_price = 500;
    a.dividend = 10;
    a.dividend_yield = 0.02f;
    a.realized_profit = Currency::from_units(-125000);
    Stock& b = add_stock("2222", "乙");
    b.held_shares = 100;
    b.avg_buy_price = 2000;
    b.dividend = 40;
    b.dividend_yield = 0.02f;
    b.realized_profit = Currency::from_yen(1234567);
    // Sold out: listed, its profit counted, no cost.
    Stock& c = add_stock("3333", "丙");
    c.avg_buy_price = 700;
    c.dividend = 1000;
    c.realized_profit = Currency::from_yen(100);
    open_list();
    EXPECT_EQ(rows, 12);
    EXPECT_EQ(grid[1], (QStringList{"1111", "甲", "¥500", "1,000", "-¥13", "2.00%"}));
    EXPECT_EQ(grid[2], (QStringList{"2222", "乙", "¥2,000", "100", "¥1,234,567", "2.00%"}));
    EXPECT_EQ(grid[3], (QStringList{"3333", "丙", "¥700", "0", "¥100", "0.00%"}));
    for (int r = 4; r < 12; ++r) EXPECT_EQ(grid[r].join(""), "") << r;
    // 1234567 + 100 - 12.5; dividends 14,000 on a cost of 700,000.
    EXPECT_EQ(total, "¥1,234,655");
    EXPECT_EQ(yield, "2.00%");
}

TEST_F(PortfolioList, AStockWithoutCodeAndNameIsListedUnderAName) {
    start_with_stock(QString(), QString());
    open_list();
    EXPECT_EQ(grid[1].mid(0, 2), (QStringList{"", "（名称なし）"}));
}

TEST_F(PortfolioList, NothingHeldGivesAYieldOfZero) {
    start_with_stock();
    stock().dividend = 50;
    stock().realized_profit = Currency::from_yen(-300);
    open_list();
    EXPECT_EQ(total, "-¥300");
    EXPECT_EQ(yield, "0.00%");
}

TEST_F(PortfolioList, HoldingsWorthMoreThan32BitsAreSummedExactly) {
    start_with_stock();
    stock().held_shares = 100000;
    stock().avg_buy_price = 30000;  // 3,000,000,000 yen
    stock().dividend = 600;
    open_list();
    EXPECT_EQ(grid[1][3], "100,000");
    EXPECT_EQ(yield, "2.00%");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PortfolioList, TheGridGrowsOneRowPerStockFromTheTwelfth) {
    const struct {
        int stocks;
        int rows;
    } cases[] = {{1, 12}, {10, 12}, {11, 12}, {12, 13}, {40, 41}};
    for (const auto& c : cases) {
        portfolio->last_stock = c.stocks - 1;
        for (int i = 0; i < c.stocks; ++i) portfolio->stocks[size_t(i)].stock_code = std::to_string(1000 + i);
        open_list();
        EXPECT_EQ(rows, c.rows) << c.stocks;
        EXPECT_EQ(grid[c.stocks][0], QString::number(999 + c.stocks));
    }
}

// The codes in the order the rows are shown.
QStringList shown_codes(FlexGrid* g) {
    QStringList codes;
    for (int place = 0; place + 1 < g->rows(); ++place) codes << g->text(g->row_at(place) + 1, 0);
    return codes;
}

void click_heading(FlexGrid* g, int col) {
    QHeaderView* h = g->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(col) + 5, 5));
}

TEST_F(PortfolioList, AHeadingSortsByNumberThenBackThenToTheStoredOrder) {
    start_with_stock(QStringLiteral("1111"), QStringLiteral("甲"));
    stock().realized_profit = Currency::from_yen(900);
    add_stock("2222", "乙").realized_profit = Currency::from_yen(-12000);
    add_stock("3333", "丙").realized_profit = Currency::from_yen(10000);
    add_stock("4444", "丁").realized_profit = Currency::from_yen(-5);
    QStringList ascending, descending, stored, by_code_descending;
    platform.on_dialog([&](QDialog& d) {
        auto& list = dynamic_cast<ListWindow&>(d);
        FlexGrid* g = list.all_disp_fig;
        d.show();
        // 利益: -¥12,000 < -¥5 < ¥900 < ¥10,000, as numbers; the empty
        // rows stay below.
        click_heading(g, 4);
        ascending = shown_codes(g).mid(0, 5);
        click_heading(g, 4);
        descending = shown_codes(g).mid(0, 5);
        click_heading(g, 4);
        stored = shown_codes(g).mid(0, 5);
        click_heading(g, 0);
        click_heading(g, 0);
        by_code_descending = shown_codes(g).mid(0, 5);
        // Rows keep their numbers: row 2 is still 乙's.
        EXPECT_EQ(g->text(2, 1), "乙");
    });
    window->all_list_key->click();
    EXPECT_EQ(ascending, (QStringList{"2222", "4444", "1111", "3333", ""}));
    EXPECT_EQ(descending, (QStringList{"3333", "1111", "4444", "2222", ""}));
    EXPECT_EQ(stored, (QStringList{"1111", "2222", "3333", "4444", ""}));
    EXPECT_EQ(by_code_descending, (QStringList{"4444", "3333", "2222", "1111", ""}));
}

TEST_F(PortfolioList, RowsThatFitShowNoScrollBar) {
    // Also at the size the list had with fewer rows.
    platform.settings_file = folder / "places.ini";
    for (const int stocks : {3, 20}) {
        portfolio->last_stock = stocks - 1;
        for (int i = 0; i < stocks; ++i) portfolio->stocks[size_t(i)].stock_code = std::to_string(1000 + i);
        bool scrolls = true;
        platform.on_dialog([&scrolls](QDialog& d) {
            d.show();
            QCoreApplication::processEvents();
            scrolls = dynamic_cast<ListWindow&>(d).all_disp_fig->verticalScrollBar()->isVisible();
            d.hide();
        });
        window->all_list_key->click();
        EXPECT_FALSE(scrolls) << stocks;
    }
}

}  // namespace
}  // namespace chomaru
