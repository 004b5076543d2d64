#include "reports/simulation_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <optional>

#include "accounting/commission.h"
#include "reports/report_figures.h"
#include "store/regional_text.h"
#include "trades/trade_prompts.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/twips.h"
#include "ui/widgets.h"

namespace chomaru {

namespace {

// The captions of the six value labels.
struct Preview {
    QString num;
    QString price;
    QString profit;
    QString risi;
    QString cost_i;
    QString num_i;
};

QString before_after(const std::string& before, const std::string& after) { return qt_text(before + " → " + after); }

QString yen(int32_t value) { return qt_text(format_currency(Currency::from_yen(value))); }

// The three answers of a preview: unit price, share count and the amount,
// whose default is the estimate for the first two. Empty when the user
// cancels or empties a prompt; a text that is not a number raises.
struct Trade {
    int32_t price;
    int32_t shares;
    Currency amount;
};

std::optional<Trade> ask_trade(Platform& platform, const QString& price_message, const QString& amount_message,
                               Currency (*estimate)(const FeeTable&, Currency), const FeeTable& fees) {
    const TradePrompts prompts{
        {QStringLiteral("いくらにしますか？"), QStringLiteral("どのくらいにしましょう？"),
         QStringLiteral("これでいいですか")},
        [&](TradeStep step, std::optional<int32_t>, std::optional<int32_t>) {
            const QString messages[] = {price_message, QStringLiteral("株数は？"), amount_message};
            return messages[size_t(step)];
        },
    };
    const std::optional<PriceAndShares> a = ask_price_and_shares(platform, prompts);
    if (!a) return std::nullopt;
    const std::optional<Currency> amount = ask_amount(platform, prompts, *a, estimate(fees, a->trade_value()));
    if (!amount) return std::nullopt;
    return Trade{a->price, a->shares, *amount};
}

void show_preview(Session& session, const Preview& preview) {
    SimulationWindow form(session.dialog_parent);
    form.l_sl_num->setText(preview.num);
    form.l_sl_price->setText(preview.price);
    form.l_sl_profit->setText(preview.profit);
    form.l_sl_risi->setText(preview.risi);
    form.l_sl_cost_i->setText(preview.cost_i);
    form.l_sl_num_i->setText(preview.num_i);
    session.platform.run_modal(form);
}

// Runs a preview: every prompt and every figure under the one error
// message; the window is shown only when all of them succeeded.
void simulate(Session& session, const std::function<std::optional<Preview>()>& compute) {
    std::optional<Preview> preview;
    run_guarded(session.platform, [&] { preview = compute(); });
    if (preview) show_preview(session, *preview);
}

}  // namespace

SimulationWindow::SimulationWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_sl"));
    setWindowTitle(QStringLiteral("売買シミュレーション"));
    setFixedSize(twips(this, 4065), twips(this, 2370));

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("株数"), 120, 120, 735);
    l_sl_num = label(this, QStringLiteral("l_sl_num"), QString(), 1320, 120, 2535);
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("平均買い単価"), 120, 480, 1095);
    l_sl_price = label(this, QStringLiteral("l_sl_price"), QString(), 1320, 480, 2535);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("利益"), 120, 840, 855);
    l_sl_profit = label(this, QStringLiteral("l_sl_profit"), QString(), 1320, 840, 2535);
    Label4 = label(this, QStringLiteral("Label4"), QStringLiteral("利回り"), 120, 1200, 975);
    l_sl_risi = label(this, QStringLiteral("l_sl_risi"), QString(), 1320, 1200, 2055);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    place(Line1, 120, 1545, 3840, 30);

    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("単価"), 120, 1680, 615);
    l_sl_cost_i = label(this, QStringLiteral("l_sl_cost_i"), QString(), 840, 1680, 1695);
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("株数"), 120, 2040, 615);
    l_sl_num_i = label(this, QStringLiteral("l_sl_num_i"), QString(), 840, 2040, 1695);

    Command1 = accept_button(this, QStringLiteral("Command1"), QStringLiteral("閉じる(&C)"), 2760, 1680, 1215, 495);
}

void kai_sl_key_click(Session& session) {
    simulate(session, [&session]() -> std::optional<Preview> {
        const std::optional<Trade> t = ask_trade(session.platform, QStringLiteral("買値は？"),
                                                 QStringLiteral("払込金額は？"), buy_total, session.portfolio.fees);
        if (!t) return std::nullopt;
        const Stock& s = session.stock();
        const BuySimulation after = simulate_buy(s, t->shares, t->amount);
        return Preview{
            before_after(format_grouped(s.held_shares), format_grouped(after.shares_after)),
            before_after(format_currency(Currency::from_yen(s.avg_buy_price)), format_currency(after.average_after)),
            before_after(format_currency(s.realized_profit), format_currency(s.realized_profit)),
            before_after(format_percent(double(s.dividend_yield)), format_percent(double(after.yield_after))),
            yen(t->price),
            qt_text(format_grouped(t->shares)),
        };
    });
}

void uri_sl_key_click(Session& session) {
    simulate(session, [&session]() -> std::optional<Preview> {
        const std::optional<Trade> t =
            ask_trade(session.platform, QStringLiteral("売り値は？"), QStringLiteral("受け取り金額は？"), sell_total,
                      session.portfolio.fees);
        if (!t) return std::nullopt;
        const Stock& s = session.stock();
        const SellSimulation after = simulate_sell(s, t->shares, t->amount);
        const std::string average = format_currency(Currency::from_yen(s.avg_buy_price));
        const std::string yield = format_percent(double(s.dividend_yield));
        return Preview{
            before_after(format_grouped(s.held_shares), format_grouped(after.shares_after)),
            before_after(average, average),
            before_after(format_currency(s.realized_profit), format_currency(after.profit_after)),
            before_after(yield, yield),
            yen(t->price),
            qt_text(int_text(t->shares)),
        };
    });
}

}  // namespace chomaru
