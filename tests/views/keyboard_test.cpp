#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "reports/chart_window.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"
#include "trades/dividend_payments.h"

namespace chomaru {
namespace {

// Everything here is done with key events alone.
class Keyboard : public MainWindowTest {
protected:
    // Two stocks; the first with two purchases, 10 for ¥1,000 and 10 for
    // ¥1,400, shown in an active window.
    void start_shown() {
        start_with_stock();
        stock().buys[0] = TradeRecord{"2026/01/05", 100, 10, Currency::from_yen(1000)};
        stock().buys[1] = TradeRecord{"2026/02/05", 140, 10, Currency::from_yen(1400)};
        stock().buy_count = 2;
        stock().held_shares = 20;
        stock().avg_buy_price = 120;
        Stock& second = portfolio->stocks[1];
        second.stock_code = "5678";
        second.stock_name = "乙";
        portfolio->last_stock = 1;
        window->fill_stock_combo();
        window->show_analysis();
        window->show_buy_records();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }

    // Tabs from the first button until the widget has the keyboard.
    int tabs_to(QWidget* target) {
        window->kai_input_key->setFocus();
        for (int n = 1; n <= 20; ++n) {
            key(Qt::Key_Tab);
            if (target->hasFocus()) return n;
        }
        return 0;
    }
};

TEST_F(Keyboard, TabReachesTheSelectorAndTheRecordGridsInReadingOrder) {
    start_shown();
    const int to_selector = tabs_to(window->Combo1);
    const int to_buys = tabs_to(window->buy_fig);
    EXPECT_GT(to_selector, 0);
    EXPECT_GT(to_buys, to_selector);
    window->SSTab1->setCurrentIndex(1);
    EXPECT_GT(tabs_to(window->sell_fig), 0);
}

TEST_F(Keyboard, ArrowsMoveAndEnterOrF2CorrectsTheCurrentCell) {
    start_shown();
    tabs_to(window->buy_fig);
    // The grid starts on the first record's date; Down, Right: the second
    // record's price.
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    platform.answer("150");
    key(Qt::Key_Return);
    ASSERT_EQ(platform.prompts.size(), 1u);
    EXPECT_EQ(platform.prompts[0].default_text, "140");
    EXPECT_EQ(stock().buys[1].price, 150);

    key(Qt::Key_Right);
    platform.answer("30");
    key(Qt::Key_F2);
    ASSERT_EQ(platform.prompts.size(), 2u);
    EXPECT_EQ(platform.prompts[1].default_text, "10");
    EXPECT_EQ(stock().held_shares, 40);
}

TEST_F(Keyboard, DeleteAsksFirstAndNoKeepsTheRecord) {
    start_shown();
    tabs_to(window->buy_fig);
    key(Qt::Key_Down);
    platform.press(QMessageBox::No);
    key(Qt::Key_Delete);
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto& question = platform.messages[0];
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.default_button, QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_TRUE(question.text.startsWith("買い記録 2 を削除します。"));
    EXPECT_TRUE(question.text.contains("2026/02/05　単価 ¥140　10株　代金 ¥1,400"));
    EXPECT_EQ(stock().buy_count, 2);

    platform.press(QMessageBox::Yes);
    key(Qt::Key_Delete);
    EXPECT_EQ(stock().buy_count, 1);
    EXPECT_EQ(stock().held_shares, 10);
    EXPECT_EQ(window->buy_fig->text(2, 1), "");

    // A row without a record asks nothing.
    key(Qt::Key_Delete);
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(Keyboard, DeleteInTheDividendsGridAsksAndDeletesThePayment) {
    start_shown();
    stock().payments = {DividendPayment{"2026/06/20", Currency::from_yen(1000), Currency::from_yen(203)}};
    show_payments(*window->pay_fig, stock(), 12);
    window->SSTab1->setCurrentWidget(window->pay_fig->parentWidget());
    tabs_to(window->pay_fig);
    platform.press(QMessageBox::Yes);
    key(Qt::Key_Delete);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].default_button, QMessageBox::No);
    EXPECT_TRUE(platform.messages[0].text.contains("2026/06/20　税引前 ¥1,000　源泉徴収 ¥203"));
    EXPECT_TRUE(stock().payments.empty());
}

TEST_F(Keyboard, CtrlLGoesToTheSelectorAndArrowsSwitchTheStock) {
    start_shown();
    tabs_to(window->buy_fig);
    key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(window->Combo1->hasFocus());
    key(Qt::Key_Down);
    EXPECT_EQ(portfolio->current_stock, 1);
    EXPECT_EQ(window->infor_fig->text(0, 1), "5678");
}

TEST_F(Keyboard, EscapeClosesTheChartAndTheDialogs) {
    start_shown();
    window->m_chart->trigger();
    auto* chart = window->findChild<ChartWindow*>();
    ASSERT_NE(chart, nullptr);
    chart->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([chart] { return QApplication::activeWindow() == chart; }));
    QTest::keyClick(chart, Qt::Key_Escape);
    EXPECT_FALSE(chart->isVisible());

    // The help in the program's own window.
    write_file_atomically(platform.program / "chomaru.html", "<html><body>動作説明</body></html>");
    platform.desktop_opens_documents = false;
    window->expla->trigger();
    QPointer<QWidget> help = window->findChild<QWidget*>(QStringLiteral("help_window"));
    ASSERT_TRUE(help);
    ASSERT_TRUE(QTest::qWaitFor([&help] { return QApplication::activeWindow() == help; }));
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_TRUE(!help || !help->isVisible());

    // The list and the year's report, shown as dialogs.
    const auto closes_on_escape = [this](auto open) {
        bool closed = false;
        platform.on_dialog([&closed](QDialog& d) {
            d.show();
            QTest::keyClick(&d, Qt::Key_Escape);
            closed = !d.isVisible();
        });
        open();
        return closed;
    };
    EXPECT_TRUE(closes_on_escape([this] { window->all_list_key->click(); }));
    EXPECT_TRUE(closes_on_escape([this] { window->m_year_report->trigger(); }));
    EXPECT_TRUE(closes_on_escape([this] { window->m_nisa->trigger(); }));
}

}  // namespace
}  // namespace chomaru
