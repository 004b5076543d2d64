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
        EXPECT_EQ(row(w.year_fig, 1), QStringList({"2020", "-¥20,000", "¥0", "-¥20,000", "¥20,000", "¥0"}));
        EXPECT_EQ(row(w.year_fig, 5), QStringList({"2024", "¥15,000", "¥0", "¥15,000", "¥0", "¥3,047"}));
        EXPECT_TRUE(red(w.year_fig, 1, 1));
        EXPECT_FALSE(red(w.year_fig, 1, 4));

        EXPECT_EQ(w.year_fig->currentRow(), 4);  // the table's last row
        // 乙 sold 5 shares on 2024/01/05, before it bought any.
        EXPECT_EQ(w.sales_caption->text(), "2024年の売却（銘柄別）　保有株数を超える売却があります");
        EXPECT_EQ(w.year_fig->item(4, 0)->toolTip(), "保有株数を超える売却があります");
        EXPECT_EQ(w.year_fig->item(3, 0)->toolTip(), "");
        EXPECT_EQ(w.sales_fig->item(1, 1)->toolTip(), "保有株数を超える売却があります");
        EXPECT_EQ(w.sales_fig->item(0, 1)->toolTip(), "");
        EXPECT_EQ(w.left_out->text(), "");
        EXPECT_EQ(row(w.sales_fig, 1), QStringList({"1111", "甲", "10", "¥20,000", "¥10,000", "¥10,000"}));
        EXPECT_EQ(row(w.sales_fig, 2), QStringList({"2222", "乙", "5", "¥5,001", "¥0", "¥5,000"}));

        QTest::keyClick(w.year_fig, Qt::Key_Up);
        EXPECT_EQ(w.sales_caption->text(), "2023年の売却（銘柄別）");
        EXPECT_EQ(row(w.sales_fig, 2), QStringList({"", "", "", "", "", ""}));
        QTest::keyClick(w.year_fig, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(w.sales_caption->text(), "2020年の売却（銘柄別）");
        EXPECT_EQ(row(w.sales_fig, 1), QStringList({"1111", "甲", "50", "¥30,000", "¥50,000", "-¥20,000"}));
        EXPECT_TRUE(red(w.sales_fig, 1, 5));
        EXPECT_FALSE(red(w.sales_fig, 1, 4));

        QSignalSpy rejected(&w, &QDialog::rejected);
        QTest::keyClick(w.year_fig, Qt::Key_Escape);
        EXPECT_EQ(rejected.count(), 1);
    });
}

TEST_F(YearWindowTest, TheButtonWritesTheFileAndSaysWhere) {
    write_file_atomically(year_file(), "an older file of the same day");
    open([](YearWindow& w) { w.csv_key->click(); });
    const std::string written = read_whole_file(year_file()).value_or(std::string());
    EXPECT_EQ(written.substr(0, written.find("\r\n")), utf8_to_cp932("年,コード,銘柄名,売却株数,売却代金,取得費,損益"));
    EXPECT_NE(written.find("2024,2222," + utf8_to_cp932("乙,5,5000.5,0,5000,保有株数を超える売却があります\r\n")),
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
        EXPECT_EQ(row(w.year_fig, 5), QStringList({"2024", "¥10,000", "¥0", "¥10,000", "¥0", "¥2,031"}));
        EXPECT_EQ(w.sales_caption->text(), "2024年の売却（銘柄別）");
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

}  // namespace
}  // namespace chomaru
