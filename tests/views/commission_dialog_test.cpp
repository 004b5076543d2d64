#include "views/commission_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

class CommissionSettings : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        portfolio->fees = FeeTable::defaults();
    }

    // Opens the dialog from the menu and runs `action` on it.
    void open(const std::function<void(CommissionDialog&)>& action) {
        platform.on_dialog([action](QDialog& d) { action(dynamic_cast<CommissionDialog&>(d)); });
        window->m_kabusen->trigger();
        ASSERT_EQ(platform.dialogs.back(), "Form_tesuryo");
    }
};

QStringList texts(const std::array<QLineEdit*, fee_brackets>& boxes) {
    QStringList t;
    for (QLineEdit* b : boxes) t << b->text();
    return t;
}

TEST_F(CommissionSettings, LayoutCaptionsAndToolTips) {
    FeeTable table;
    CommissionDialog d(table, platform);
    EXPECT_EQ(d.windowTitle(), "株式売買の手数料の設定");
    EXPECT_EQ(d.Label1->text(), "約定代金");
    EXPECT_EQ(d.Label3->text(), "手数料率");
    EXPECT_EQ(d.Label4->text(), "付加");
    EXPECT_EQ(d.Label5->text(), "下限");
    EXPECT_EQ(d.Label6->text(), "上限");
    EXPECT_EQ(d.k_sen_ok->text(), "OK(&Z)");
    EXPECT_EQ(d.l_sep_cost[5]->text(), "それ以上");
    for (QLabel* l : d.Label2) EXPECT_EQ(l->text(), "以下");
    for (QLineEdit* b : d.l_sep_riritu) EXPECT_EQ(b->toolTip(), "1%は、0.01です");
    EXPECT_EQ(d.l_mini->toolTip(), "0は設定なし");
    EXPECT_EQ(d.l_max->toolTip(), "0は設定なし");
    // Each row reads bound, "以下", rate, addition, one row under the other.
    for (size_t i = 0; i + 1 < fee_brackets; ++i) {
        EXPECT_LT(d.l_sep_cost[i]->x(), d.Label2[i]->x());
        EXPECT_LT(d.Label2[i]->x(), d.l_sep_riritu[i]->x());
        EXPECT_LT(d.l_sep_riritu[i]->x(), d.l_sep_add[i]->x());
        EXPECT_LT(d.l_sep_add[i]->y(), d.l_sep_add[i + 1]->y());
    }
}

TEST_F(CommissionSettings, OpeningAndOkWithoutAChangeKeepsTheTable) {
    open([](CommissionDialog& d) {
        EXPECT_EQ(texts(d.l_sep_cost),
                  (QStringList{"¥1,000,000", "¥5,000,000", "¥10,000,000", "¥30,000,000", "¥50,000,000", "それ以上"}));
        EXPECT_EQ(texts(d.l_sep_riritu), (QStringList{"0.01115", "0.009", "0.007", "0.00575", "0.00375", "0"}));
        EXPECT_EQ(texts(d.l_sep_add), (QStringList{"¥0", "¥2,500", "¥12,500", "¥25,000", "¥85,000", "¥272,500"}));
        EXPECT_EQ(d.l_mini->text(), "2500");
        EXPECT_EQ(d.l_max->text(), "0");
        d.k_sen_ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(portfolio->fees, FeeTable::defaults());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(CommissionSettings, AnyTableOfSevenDigitRatesRoundTrips) {
    FeeTable t;
    t.fee_limit = {-5, 0, 2147483647, 3, -2147483647 - 1, 0};
    t.fee_rate = {0.1234567f, 1e-05f, 12345670.0f, -0.5f, 0.0f, 3.402823e+38f};
    t.fee_add = {1, -1, 0, 999999, 2147483647, 7};
    t.fee_min = -20;
    t.fee_max = 10000;
    portfolio->fees = t;
    open([](CommissionDialog& d) { d.k_sen_ok->click(); });
    EXPECT_EQ(portfolio->fees, t);
}

TEST_F(CommissionSettings, TypedFormsAreStored) {
    open([](CommissionDialog& d) {
        d.l_sep_cost[0]->setText("5,000,000");
        d.l_sep_cost[1]->setText("\\5,000,000");
        d.l_sep_cost[2]->setText("￥7,000,000");
        d.l_sep_add[0]->setText(" 2.5 ");  // a fraction rounds to even
        d.l_sep_riritu[1]->setText("1E-05");
        d.l_sep_cost[3]->setText("￥２０，０００，０００");  // as an input method types it
        d.l_sep_riritu[2]->setText("０．００８");
        d.l_mini->clear();
        d.l_max->clear();
        d.k_sen_ok->click();
    });
    const FeeTable& t = portfolio->fees;
    EXPECT_EQ(t.fee_limit[0], 5000000);
    EXPECT_EQ(t.fee_limit[1], 5000000);
    EXPECT_EQ(t.fee_limit[2], 7000000);
    EXPECT_EQ(t.fee_add[0], 2);
    EXPECT_EQ(t.fee_rate[1], 1e-05f);
    EXPECT_EQ(t.fee_limit[3], 20000000);
    EXPECT_EQ(t.fee_rate[2], 0.008f);
    EXPECT_EQ(t.fee_min, 0);
    EXPECT_EQ(t.fee_max, 0);
    EXPECT_EQ(t.fee_limit[5], FeeTable::defaults().fee_limit[5]);
}

TEST_F(CommissionSettings, ABoxThatDoesNotConvertChangesNothingAndKeepsTheDialogOpen) {
    const struct {
        const char* what;
        std::function<QLineEdit*(CommissionDialog&)> box;
        const char* typed;
    } cases[] = {
        {"an emptied rate", [](CommissionDialog& d) { return d.l_sep_riritu[2]; }, ""},
        {"a percent sign", [](CommissionDialog& d) { return d.l_sep_riritu[0]; }, "1%"},
        {"letters", [](CommissionDialog& d) { return d.l_sep_add[5]; }, "abc"},
        {"beyond 32 bits", [](CommissionDialog& d) { return d.l_sep_cost[4]; }, "3000000000"},
        {"a blank minimum", [](CommissionDialog& d) { return d.l_mini; }, " "},
        {"a letter maximum", [](CommissionDialog& d) { return d.l_max; }, "x"},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        open([&c](CommissionDialog& d) {
            // Boxes before and after the failing one are changed too.
            d.l_sep_cost[0]->setText("1");
            d.l_max->setText("999");
            c.box(d)->setText(c.typed);
            d.k_sen_ok->click();
            EXPECT_NE(d.result(), QDialog::Accepted) << c.what;
            EXPECT_EQ(c.box(d)->text(), c.typed);
            EXPECT_EQ(d.l_sep_cost[0]->text(), "1");
        });
        EXPECT_EQ(portfolio->fees, FeeTable::defaults()) << c.what;
        ASSERT_EQ(platform.messages.size(), 1u) << c.what;
        EXPECT_EQ(platform.messages[0].text, "数字でお願いします");
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
        EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Ok);
        EXPECT_EQ(platform.messages[0].caption, "帳丸");
    }
}

TEST_F(CommissionSettings, CorrectingTheBoxAfterTheMessageStoresTheTable) {
    open([](CommissionDialog& d) {
        d.l_sep_riritu[3]->setText("abc");
        d.k_sen_ok->click();
        d.l_sep_riritu[3]->setText("0.006");
        d.k_sen_ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(portfolio->fees.fee_rate[3], 0.006f);
}

TEST_F(CommissionSettings, ClosingFromTheTitleBarStoresNothing) {
    open([](CommissionDialog& d) {
        d.l_sep_cost[0]->setText("1");
        d.l_mini->setText("0");
        d.close();
    });
    EXPECT_EQ(portfolio->fees, FeeTable::defaults());
}

TEST_F(CommissionSettings, TaxRatesPresetsAndRefusals) {
    open([this](CommissionDialog& d) {
        EXPECT_EQ(d.l_tax_rate->text(), "5");
        EXPECT_EQ(d.l_sale_tax->text(), "1.05");
        d.k_tax_now->click();
        EXPECT_EQ(d.l_tax_rate->text(), "10");
        EXPECT_EQ(d.l_sale_tax->text(), "0");
        d.k_no_fee->click();
        EXPECT_EQ(texts(d.l_sep_riritu), QStringList(6, "0"));
        EXPECT_EQ(texts(d.l_sep_add), QStringList(6, "¥0"));
        EXPECT_EQ(d.l_sep_cost[1]->text(), "¥5,000,000");
        EXPECT_EQ(portfolio->fees, FeeTable::defaults());  // the buttons store nothing

        for (const char* refused : {"-1", "0.00001", ""}) {
            d.l_sale_tax->setText(refused);
            d.k_sen_ok->click();
            EXPECT_NE(d.result(), QDialog::Accepted) << refused;
        }
        EXPECT_EQ(portfolio->fees, FeeTable::defaults());
        d.l_tax_rate->setText("０８.５０");  // full-width digits read as half-width
        d.l_sale_tax->setText("0.0001");
        d.k_sen_ok->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    ASSERT_EQ(platform.messages.size(), 3u);
    for (const auto& m : platform.messages) EXPECT_EQ(m.text, "数字でお願いします");
    FeeTable expected = FeeTable::defaults();
    expected.fee_rate.fill(0.0f);
    expected.fee_add.fill(0);
    expected.fee_min = 0;
    expected.consumption_tax = 850;
    expected.sale_levy = 1;
    EXPECT_EQ(portfolio->fees, expected);
}

}  // namespace
}  // namespace chomaru
