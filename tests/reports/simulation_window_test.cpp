#include "reports/simulation_window.h"

#include <QLabel>
#include <QPushButton>

#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

// The captions of the result window's value labels, as shown.
struct Shown {
    QString num, price, profit, risi, cost_i, num_i;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
    for (const QString& t : {s.num, s.price, s.profit, s.risi, s.cost_i, s.num_i}) *os << t.toStdString() << " | ";
}

class Simulation : public MainWindowTest {
protected:
    // A holding of 10 shares at an average of 12, a dividend of 3 and a
    // profit of 30 so far.
    void start_with_holding() {
        start_with_stock();
        Stock& s = stock();
        s.held_shares = 10;
        s.avg_buy_price = 12;
        s.dividend = 3;
        s.dividend_yield = 0.25f;
        s.realized_profit = Currency::from_yen(30);
    }

    // The next result window is read and closed with its button.
    void read_result_window() {
        platform.on_dialog([this](QDialog& d) {
            auto& form = dynamic_cast<SimulationWindow&>(d);
            EXPECT_EQ(form.windowTitle(), "売買シミュレーション");
            EXPECT_EQ(form.Command1->text(), "閉じる(&C)");
            shown = {form.l_sl_num->text(),  form.l_sl_price->text(),  form.l_sl_profit->text(),
                     form.l_sl_risi->text(), form.l_sl_cost_i->text(), form.l_sl_num_i->text()};
            form.Command1->click();
            EXPECT_FALSE(form.isVisible());
        });
    }

    void expect_stock_untouched() {
        const Stock& s = stock();
        EXPECT_EQ(s.held_shares, 10);
        EXPECT_EQ(s.avg_buy_price, 12);
        EXPECT_EQ(s.realized_profit, Currency::from_yen(30));
        EXPECT_EQ(s.dividend_yield, 0.25f);
        EXPECT_EQ(s.buy_count + s.sell_count, 0);
        EXPECT_EQ(window->anal_fig->text(0, 1), "0");  // no view was refreshed
    }

    Shown shown;
};

TEST_F(Simulation, BuyWithTheThreeDefaultsOnAnEmptyStock) {
    start_with_stock();
    platform.accept_default().accept_default().accept_default();
    read_result_window();
    window->kai_sl_key->click();
    ASSERT_EQ(platform.prompts.size(), 3u);
    EXPECT_EQ(platform.prompts[0].caption, "いくらにしますか？");
    EXPECT_EQ(platform.prompts[0].message, "買値は？");
    EXPECT_EQ(platform.prompts[0].default_text, "10000");
    EXPECT_EQ(platform.prompts[1].caption, "どのくらいにしましょう？");
    EXPECT_EQ(platform.prompts[1].message, "株数は？");
    EXPECT_EQ(platform.prompts[1].default_text, "100");
    EXPECT_EQ(platform.prompts[2].caption, "これでいいですか");
    EXPECT_EQ(platform.prompts[2].message, "払込金額は？");
    // 1,000,000 stays in the first bracket: 11150 x 1.05 = 11707.5, to even.
    EXPECT_EQ(platform.prompts[2].default_text, "1011708");
    ASSERT_EQ(platform.dialogs, std::vector<QString>{"Form_sl"});
    EXPECT_EQ(shown, (Shown{"0 → 100", "¥0 → ¥10,117", "¥0 → ¥0", "0.00% → 0.00%", "¥10,000", "100"}));
    EXPECT_TRUE(platform.messages.empty());
}

// The estimates take the typed price exactly: ¥2,850.5 × 100 is ¥285,050,
// plus the charge 3178 × 1.05 → 3337.
TEST_F(Simulation, BothEstimatesTakeAFractionalPriceExactly) {
    start_with_holding();
    platform.answer("2850.5").answer("100").cancel();
    window->kai_sl_key->click();
    EXPECT_EQ(platform.prompts[2].default_text, "288387");
    platform.answer("2850.5").answer("10").cancel();
    window->uri_sl_key->click();
    // ¥28,505 less the minimum charge 2500 × 1.05 = 2625 and the levy 299.3 → 299.
    EXPECT_EQ(platform.prompts[5].default_text, "25581");
    expect_stock_untouched();
}

TEST_F(Simulation, BuyAndSellExamples) {
    const struct {
        bool buy;
        const char* price;
        const char* shares;
        const char* amount;
        Shown expected;
    } cases[] = {
        {true, "16", "10", "160", {"10 → 20", "¥12 → ¥14", "¥30 → ¥30", "25.00% → 21.43%", "¥16", "10"}},
        {false, "16", "5", "80", {"10 → 5", "¥12 → ¥12", "¥30 → ¥50", "25.00% → 25.00%", "¥16", "5"}},
        // More shares than held: a negative holding, no refusal. The sell
        // shows the count as plain digits, the buy with separators.
        {false,
         "1,000",
         "1500",
         "1400000",
         {"10 → -1,490", "¥12 → ¥12", "¥30 → ¥1,382,030", "25.00% → 25.00%", "¥1,000", "1500"}},
        {true,
         "¥1,000",
         "1500",
         "1,500,120",
         {"10 → 1,510", "¥12 → ¥994", "¥30 → ¥30", "25.00% → 0.30%", "¥1,000", "1,500"}},
    };
    start_with_holding();
    for (const auto& c : cases) {
        platform.prompts.clear();
        platform.answer(c.price).answer(c.shares).answer(c.amount);
        read_result_window();
        (c.buy ? window->kai_sl_key : window->uri_sl_key)->click();
        EXPECT_EQ(shown, c.expected) << c.price << " " << c.shares;
        ASSERT_EQ(platform.prompts.size(), 3u);
        EXPECT_EQ(platform.prompts[0].message, c.buy ? "買値は？" : "売り値は？");
        EXPECT_EQ(platform.prompts[2].message, c.buy ? "払込金額は？" : "受け取り金額は？");
        expect_stock_untouched();
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Simulation, TheSellEstimateIsTheDefaultOfTheAmount) {
    start_with_holding();
    platform.answer("10").answer("100").cancel();
    window->uri_sl_key->click();
    ASSERT_EQ(platform.prompts.size(), 3u);
    EXPECT_EQ(platform.prompts[0].caption, "いくらにしますか？");
    EXPECT_EQ(platform.prompts[0].default_text, "10000");
    EXPECT_EQ(platform.prompts[1].caption, "どのくらいにしましょう？");
    // 1000 less the minimum charge 2625 and the levy 10.5, rounded to 10.
    EXPECT_EQ(platform.prompts[2].caption, "これでいいですか");
    EXPECT_EQ(platform.prompts[2].default_text, "-1635");
}

TEST_F(Simulation, CancelAtAnyPromptEndsSilently) {
    start_with_holding();
    for (bool buy : {true, false}) {
        for (int at = 0; at < 3; ++at) {
            platform.prompts.clear();
            for (int k = 0; k < at; ++k) platform.accept_default();
            platform.cancel();
            (buy ? window->kai_sl_key : window->uri_sl_key)->click();
            EXPECT_EQ(platform.prompts.size(), size_t(at + 1));
        }
    }
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.dialogs.empty());
    expect_stock_untouched();
}

TEST_F(Simulation, ErrorsEndWithTheOneMessageAndNoWindow) {
    const struct {
        bool buy;
        std::vector<const char*> answers;
    } cases[] = {
        {true, {"abc"}},
        {true, {"100", "x"}},
        {false, {"100", "100", "百"}},
        {true, {"100", "-10", "0"}},         // no shares after the buy: division by zero
        {true, {"100", "10", "-120"}},       // an average of 0 after the buy
        {true, {"100000", "100000"}},        // price x shares beyond 32 bits
        {true, {"0", "2147483647", "100"}},  // shares after beyond 32 bits
        {true, {" "}},                       // a blank is not empty text
    };
    start_with_holding();
    for (const auto& c : cases) {
        platform.messages.clear();
        for (const char* a : c.answers) platform.answer(a);
        (c.buy ? window->kai_sl_key : window->uri_sl_key)->click();
        ASSERT_EQ(platform.messages.size(), 1u) << c.answers.back();
        EXPECT_EQ(platform.messages[0].text, "半角数字でお願いします");
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
        EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Ok);
        EXPECT_EQ(platform.messages[0].caption, "帳丸");
    }
    EXPECT_TRUE(platform.dialogs.empty());
    expect_stock_untouched();
}

TEST_F(Simulation, ABuyOfNoSharesOnAnEmptyStockIsAnError) {
    start_with_stock();
    platform.accept_default().answer("0").accept_default();
    window->kai_sl_key->click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "半角数字でお願いします");
    EXPECT_TRUE(platform.dialogs.empty());
}

TEST_F(Simulation, TheResultWindowLayout) {
    SimulationWindow form;
    EXPECT_EQ(form.objectName(), "Form_sl");
    EXPECT_EQ(form.Label1->text(), "株数");
    EXPECT_EQ(form.Label2->text(), "平均買い単価");
    EXPECT_EQ(form.Label3->text(), "利益");
    EXPECT_EQ(form.Label4->text(), "利回り");
    EXPECT_EQ(form.Label5->text(), "単価");
    EXPECT_EQ(form.Label6->text(), "株数");
    // Labels on the left, before and after figures beside them, the line
    // between the figures and the entered values.
    EXPECT_LT(form.Label1->x(), form.l_sl_num->x());
    EXPECT_LT(form.l_sl_num->y(), form.l_sl_price->y());
    EXPECT_LT(form.l_sl_profit->y(), form.l_sl_risi->y());
    EXPECT_LT(form.l_sl_risi->y(), form.Line1->y());
    EXPECT_LT(form.Line1->y(), form.l_sl_cost_i->y());
    EXPECT_LT(form.l_sl_cost_i->y(), form.l_sl_num_i->y());
    EXPECT_LE(form.Command1->geometry().right(), form.width());
}

}  // namespace
}  // namespace chomaru
