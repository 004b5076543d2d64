#include "trades/dividend_payments.h"

#include <QAction>
#include <QPushButton>
#include <QTabWidget>

#include "support/main_window_fixture.h"
#include "trades/date_picker_dialog.h"

namespace chomaru {
namespace {

class DividendPayments : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start_with_stock("1111", "トヨタ");
    }
    // Today, 2026/12/07, from the picker, then the two amounts.
    void record(const QString& gross, const std::optional<QString>& withheld) {
        platform.on_dialog([](QDialog& d) { dynamic_cast<DatePickerDialog&>(d).k_ok->click(); });
        platform.answer(gross);
        withheld ? platform.answer(*withheld) : platform.accept_default();
        window->record_payment->trigger();
    }
    QStringList row(int r) const {
        QStringList texts;
        for (int c = 1; c < 5; ++c) texts << window->pay_fig->text(r, c);
        return texts;
    }
    void edit(int row, int col, const QString& answer) {
        platform.answer(answer);
        emit window->pay_fig->double_clicked(row, col);
    }
};

// ¥10,000 in 特定 is offered ¥2,031 withheld (2031.5 rounded down), and
// receives ¥7,969; in NISA nothing is withheld. An amount of nothing is
// refused.
TEST_F(DividendPayments, ThePaymentIsAskedForWithTheWithholdingOfItsAccountOffered) {
    record("10000", std::nullopt);
    EXPECT_EQ(platform.prompts.back().default_text, "2031");
    EXPECT_EQ(stock().payments.at(0),
              (DividendPayment{"2026/12/07", Currency::from_yen(10000), Currency::from_yen(2031)}));
    EXPECT_EQ(row(1), QStringList({"2026/12/07", "¥10,000", "¥2,031", "¥7,969"}));
    EXPECT_EQ(window->SSTab1->currentWidget(), window->pay_fig->parentWidget());

    stock().account = AccountType::nisa_tsumitate;
    record("3000", std::nullopt);
    EXPECT_EQ(platform.prompts.back().default_text, "0");
    EXPECT_EQ(row(2), QStringList({"2026/12/07", "¥3,000", "¥0", "¥3,000"}));
    EXPECT_TRUE(platform.messages.empty());
    record("0", QStringLiteral("0"));
    EXPECT_EQ(stock().payments.size(), 2u);
    EXPECT_EQ(platform.messages.size(), 1u);
}

// A corrected date moves the payment to its place in date order; the tax
// withheld and the amount are corrected in place, 受取額 follows.
TEST_F(DividendPayments, ACellIsCorrectedAndARowDeletedByItsNumber) {
    record("10000", std::nullopt);
    record("6000", QStringLiteral("1218"));
    edit(2, 1, "2026/03/31");
    EXPECT_EQ(row(1), QStringList({"2026/03/31", "¥6,000", "¥1,218", "¥4,782"}));
    EXPECT_EQ(row(2), QStringList({"2026/12/07", "¥10,000", "¥2,031", "¥7,969"}));
    edit(2, 3, "2000");
    EXPECT_EQ(row(2), QStringList({"2026/12/07", "¥10,000", "¥2,000", "¥8,000"}));
    edit(2, 2, "1999");  // below the tax withheld: refused
    EXPECT_EQ(stock().payments[1].gross, Currency::from_yen(10000));
    EXPECT_EQ(platform.messages.size(), 1u);
    const size_t prompts = platform.prompts.size();
    emit window->pay_fig->double_clicked(2, 4);  // 受取額 follows from the others
    emit window->pay_fig->double_clicked(3, 1);  // no payment there
    EXPECT_EQ(platform.prompts.size(), prompts);

    platform.answer("3");
    window->del_payment->trigger();
    EXPECT_EQ(stock().payments.size(), 2u);
    platform.answer("1");
    window->del_payment->trigger();
    ASSERT_EQ(stock().payments.size(), 1u);
    EXPECT_EQ(row(1), QStringList({"2026/12/07", "¥10,000", "¥2,000", "¥8,000"}));
    EXPECT_EQ(row(2), QStringList({"", "", "", ""}));
}

}  // namespace
}  // namespace chomaru
