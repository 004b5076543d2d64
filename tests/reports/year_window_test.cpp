#include "reports/year_window.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "store/cp932.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

class YearWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        *portfolio = *carried_loss_portfolio();
        platform.clock = QDateTime(QDate(2025, 2, 10), QTime(9, 0));
    }

    // Opens the window from the menu and runs `action` on it.
    void open(const std::function<void(YearWindow&)>& action) {
        platform.on_dialog([&](QDialog& d) { action(dynamic_cast<YearWindow&>(d)); });
        window->m_year_report->trigger();
        ASSERT_EQ(platform.dialogs.back(), "Form_year");
    }

    QStringList row(FlexGrid* g, int r) const {
        QStringList texts;
        for (int c = 0; c < g->cols(); ++c) texts << g->text(r, c);
        return texts;
    }

    // Row r of the grid; row 0 is its heading, the table's header.
    static bool red(FlexGrid* g, int r, int c) { return g->item(r - 1, c)->foreground().color() == Qt::red; }

    QString in_documents(const char* rest) const { return qt_text(platform.documents.string()) + rest; }
    std::filesystem::path year_file() const { return platform.documents / "stc_2025_2_10_year.csv"; }
};

TEST_F(YearWindowTest, TheLatestYearIsSelectedAndTheKeysChooseAnother) {
    open([this](YearWindow& w) {
        EXPECT_EQ(w.windowTitle(), "年間損益");
        EXPECT_TRUE(w.year_fig->horizontalHeader()->isVisibleTo(&w));  // headings stay in view
        EXPECT_EQ(column(w.year_fig, 0), QStringList({"年", "2020", "2021", "2022", "2023", "2024"}));
        EXPECT_EQ(row(w.year_fig, 1), QStringList({"2020", "-¥20,000", "¥0", "-¥20,000", "¥20,000", "¥0", "¥0", "¥0"}));
        EXPECT_EQ(row(w.year_fig, 5), QStringList({"2024", "¥15,000", "¥0", "¥15,000", "¥0", "¥3,047", "¥0", "¥0"}));
        EXPECT_TRUE(red(w.year_fig, 1, 1));
        EXPECT_FALSE(red(w.year_fig, 1, 4));

        EXPECT_EQ(w.year_fig->currentRow(), 4);  // the table's last row
        // 乙 sold 5 shares on 2024/01/05, before it bought any.
        EXPECT_EQ(w.sales_caption->text(), "2024年の売却（受渡日基準、特定・一般）　保有株数を超える売却があります");
        EXPECT_EQ(w.year_fig->item(4, 0)->toolTip(), "保有株数を超える売却があります");
        EXPECT_EQ(w.year_fig->item(3, 0)->toolTip(), "");
        EXPECT_EQ(w.sales_fig->item(0, 1)->toolTip(), "保有株数を超える売却があります");
        EXPECT_EQ(w.sales_fig->item(1, 1)->toolTip(), "");
        EXPECT_EQ(w.left_out->text(), "");
        // In the order they settle: 乙's sale after 成人の日, 甲's in February.
        EXPECT_EQ(row(w.sales_fig, 1),
                  QStringList({"2024/01/05", "2024/01/10", "2222", "乙", "5", "¥5,001", "¥0", "¥5,000"}));
        EXPECT_EQ(row(w.sales_fig, 2),
                  QStringList({"2024/02/01", "2024/02/05", "1111", "甲", "10", "¥20,000", "¥10,000", "¥10,000"}));
        EXPECT_EQ(w.nisa_fig->text(1, 0), "");
        EXPECT_EQ(w.dividend_note->text(), "");

        QTest::keyClick(w.year_fig, Qt::Key_Up);
        EXPECT_EQ(w.sales_caption->text(), "2023年の売却（受渡日基準、特定・一般）");
        EXPECT_EQ(row(w.sales_fig, 2), QStringList({"", "", "", "", "", "", "", ""}));
        QTest::keyClick(w.year_fig, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(w.sales_caption->text(), "2020年の売却（受渡日基準、特定・一般）");
        EXPECT_EQ(row(w.sales_fig, 1),
                  QStringList({"2020/06/01", "2020/06/03", "1111", "甲", "50", "¥30,000", "¥50,000", "-¥20,000"}));
        EXPECT_TRUE(red(w.sales_fig, 1, 7));
        EXPECT_FALSE(red(w.sales_fig, 1, 6));

        QSignalSpy rejected(&w, &QDialog::rejected);
        QTest::keyClick(w.year_fig, Qt::Key_Escape);
        EXPECT_EQ(rejected.count(), 1);
    });
}

TEST_F(YearWindowTest, TheButtonWritesTheFileAndSaysWhere) {
    write_file_atomically(year_file(), "an older file of the same day");
    open([](YearWindow& w) { w.csv_key->click(); });
    const std::string written = read_whole_file(year_file()).value_or(std::string());
    EXPECT_EQ(written.substr(0, written.find("\r\n")),
              utf8_to_cp932("年,約定日,受渡日,コード,銘柄名,売却株数,売却代金,取得費,損益"));
    EXPECT_NE(written.find("2024,2024/01/05,2024/01/10,2222," +
                           utf8_to_cp932("乙,5,5000.5,0,5000,保有株数を超える売却があります\r\n")),
              std::string::npos);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, in_documents("に stc_2025_2_10_year.csv を上書きしました\r\nEXCELで読めます"));
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(platform.messages[0].caption, "CSVファイルの出力");
}

// The years go on without the stock, which is named under the tables, at
// the end of the file and in the message.
TEST_F(YearWindowTest, ADateThatIsNotADateLeavesItsStockOutAndNamesIt) {
    portfolio->stocks[1].buys[0].date = "昨日";
    const QString named = "2222乙：買い記録 1 の日付「昨日」が読めないため、この銘柄を除いています";
    open([&](YearWindow& w) {
        EXPECT_EQ(w.left_out->text(), named);
        ASSERT_EQ(w.year_fig->rows(), 6);
        // Without 乙's gain the 2024 profit is 甲's ¥10,000, taxed ¥2,031.
        EXPECT_EQ(row(w.year_fig, 5), QStringList({"2024", "¥10,000", "¥0", "¥10,000", "¥0", "¥2,031", "¥0", "¥0"}));
        EXPECT_EQ(w.sales_caption->text(), "2024年の売却（受渡日基準、特定・一般）");
        w.csv_key->click();
    });
    const std::string written = read_whole_file(year_file()).value_or(std::string());
    EXPECT_NE(written.find("2024,10000,0,10000,0,2031\r\n\r\n" + utf8_to_cp932(core_text(named)) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(written.find(utf8_to_cp932("乙,")), std::string::npos);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              named + "\r\n\r\n" + in_documents("に stc_2025_2_10_year.csv を作成しました\r\nEXCELで読めます"));
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(portfolio->stocks[1].buys[0].date, "昨日");
}

// A 特定 loss sold on 2025/12/30 settles in 2026, beside a NISA gain that
// counts in no total; the 特定 dividends of 2026 (¥10,000, ¥2,031 withheld)
// would be offset against the loss and the ¥2,031 given back.
TEST_F(YearWindowTest, NisaSalesStandApartAndDividendsAreOfferedAgainstALoss) {
    Portfolio& p = *portfolio;
    p = Portfolio();
    p.last_stock = 1;
    Stock& taxed = p.stocks[0];
    taxed.stock_code = "1111";
    taxed.stock_name = "甲";
    taxed.buys[0] = {"2025/06/02", 1000, 100, Currency::from_yen(100000)};
    taxed.sells[0] = {"2025/12/30", 700, 100, Currency::from_yen(70000)};
    taxed.buy_count = taxed.sell_count = 1;
    taxed.payments = {{"2026/03/02", Currency::from_yen(10000), Currency::from_yen(2031)}};
    Stock& nisa = p.stocks[1];
    nisa.stock_code = "2222";
    nisa.stock_name = "乙";
    nisa.account = AccountType::nisa_growth;
    nisa.buys[0] = {"2026/01/05", 1000, 100, Currency::from_yen(100000)};
    nisa.sells[0] = {"2026/02/02", 1200, 100, Currency::from_yen(120000)};
    nisa.buy_count = nisa.sell_count = 1;
    open([this](YearWindow& w) {
        EXPECT_EQ(column(w.year_fig, 0), QStringList({"年", "2026"}));
        EXPECT_EQ(row(w.year_fig, 1),
                  QStringList({"2026", "-¥30,000", "¥0", "-¥30,000", "¥30,000", "¥0", "¥10,000", "¥2,031"}));
        EXPECT_EQ(row(w.sales_fig, 1),
                  QStringList({"2025/12/30", "2026/01/06", "1111", "甲", "100", "¥70,000", "¥100,000", "-¥30,000"}));
        EXPECT_EQ(row(w.nisa_fig, 1), QStringList({"2026/02/02", "2026/02/04", "2222", "乙", "NISA成長", "100",
                                                   "¥120,000", "¥100,000", "¥20,000"}));
        EXPECT_TRUE(w.dividend_note->text().contains("2026年の損失のうち¥10,000を配当と相殺でき、還付見込みは¥2,031"));
    });
}

}  // namespace
}  // namespace chomaru
