#include "trades/trade_entry.h"

#include <QStringList>
#include <optional>

#include "accounting/commission.h"
#include "store/numbers.h"
#include "accounting/position.h"
#include "ui/command_guard.h"
#include "ui/text_checks.h"
#include "store/regional_text.h"
#include "trades/date_picker_dialog.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// The captions and example lines of one side's three prompts.
struct TradePrompts {
    QString price_caption;
    QString shares_caption;
    QString amount_caption;
    QString price_example;
    QString shares_example;
    QString amount_example;
};

const TradePrompts buy_prompts{
    QStringLiteral("買いの単価を記入して下さい"), QStringLiteral("買いの株数を記入して下さい"),
    QStringLiteral("買いの払込金を記入して下さい"), QStringLiteral("例:10000"),
    QStringLiteral("例:10000"), QStringLiteral("例:100000000"),
};

const TradePrompts sell_prompts{
    QStringLiteral("売りの単価を記入して下さい"), QStringLiteral("売りの株数を記入して下さい"),
    QStringLiteral("受け取り金額を記入して下さい"), QStringLiteral("例:10000"),
    QStringLiteral("例:1000"), QStringLiteral("例:1000000"),
};

// The example, an empty line and the running summary of the values known so far.
QString summary(const QString& example, const std::string& date, std::optional<int32_t> price,
                std::optional<int32_t> shares) {
    const QStringList lines{
        example,
        QString(),
        QStringLiteral("日付：") + qt_text(date),
        QStringLiteral("単価：") + (price ? qt_text(format_currency(Currency::from_yen(*price))) : QString()),
        QStringLiteral("株数：") + (shares ? qt_text(format_grouped(*shares)) : QString()),
    };
    return lines.join(QStringLiteral("\r\n"));
}

struct TradeAnswers {
    int32_t price = 0;
    int32_t shares = 0;
};

// The unit price and the share count; nothing when either prompt is left empty.
std::optional<TradeAnswers> ask_price_and_shares(Platform& platform, const TradePrompts& p, const std::string& date) {
    const QString price_text =
        platform.input_box(p.price_caption, summary(p.price_example, date, std::nullopt, std::nullopt),
                           QStringLiteral("10000"));
    if (price_text.isEmpty()) return std::nullopt;
    TradeAnswers a;
    a.price = text_to_int32(number_text(price_text));
    const QString shares_text =
        platform.input_box(p.shares_caption, summary(p.shares_example, date, a.price, std::nullopt),
                           QStringLiteral("100"));
    if (shares_text.isEmpty()) return std::nullopt;
    a.shares = text_to_int32(number_text(shares_text));
    return a;
}

// The amount paid or received, offered as the proposal; nothing when left empty.
std::optional<Currency> ask_amount(Platform& platform, const TradePrompts& p, const std::string& date,
                                   const TradeAnswers& a, Currency proposal) {
    const QString text = platform.input_box(p.amount_caption, summary(p.amount_example, date, a.price, a.shares),
                                            qt_text(currency_text(proposal)));
    if (text.isEmpty()) return std::nullopt;
    return text_to_currency(number_text(text));
}

void refuse(Platform& platform, const QString& why) {
    platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
}

// A full record table is refused before the user types anything.
bool has_room(Platform& platform, int32_t count, const QString& side) {
    if (count < max_records) return true;
    refuse(platform, QStringLiteral("この銘柄の%1記録は%2件までです").arg(side).arg(max_records));
    return false;
}

void buy_entry(StockMain& window) {
    Platform& platform = window.platform();
    if (!has_room(platform, window.stock().buy_count, QStringLiteral("買い"))) return;
    const std::string date = pick_trade_date(window);
    if (date.empty()) return;
    const std::optional<TradeAnswers> a = ask_price_and_shares(platform, buy_prompts, date);
    if (!a) return;
    const Currency proposal = buy_total(window.portfolio().fees, a->price, a->shares);
    const std::optional<Currency> amount = ask_amount(platform, buy_prompts, date, *a, proposal);
    if (!amount) return;

    Stock& stock = window.stock();
    const int32_t n = stock.buy_count;
    if (n < 0 || n >= max_records) throw OverflowError("the buy records are full");
    const TradeRecord record{date, a->price, a->shares, *amount};
    window.show_buy_row(n, record);
    stock.buys[size_t(n)] = record;
    stock.buy_count = n + 1;
    recalc_position(stock);
    window.show_analysis();
    window.show_ratio_table();
}

void sell_entry(StockMain& window) {
    Platform& platform = window.platform();
    if (window.stock().held_shares == 0) {
        refuse(platform, QStringLiteral("買い残がないので、売ることが出来ません"));
        return;
    }
    if (!has_room(platform, window.stock().sell_count, QStringLiteral("売り"))) return;
    const std::string date = pick_trade_date(window);
    if (date.empty()) return;
    const std::optional<TradeAnswers> a = ask_price_and_shares(platform, sell_prompts, date);
    if (!a) return;
    if (a->shares > window.stock().held_shares) {
        refuse(platform, QStringLiteral("持ち株数以上は、売ることが出来ません"));
        return;
    }
    const Currency proposal = sell_total(window.portfolio().fees, a->price, a->shares);
    const std::optional<Currency> amount = ask_amount(platform, sell_prompts, date, *a, proposal);
    if (!amount) return;

    Stock& stock = window.stock();
    const int32_t n = stock.sell_count;
    if (n < 0 || n >= max_records) throw OverflowError("the sell records are full");
    const TradeRecord record{date, a->price, a->shares, *amount};
    // The sale is applied whole or not at all before its row is shown, so a
    // sale that cannot be applied leaves no row behind.
    record_sale(stock, record);
    window.show_sell_row(n, record);
    window.show_analysis();
}

}  // namespace

void kai_input_key_click(StockMain& window) {
    run_guarded(window.platform(), [&window] { buy_entry(window); });
}

void uri_input_key_click(StockMain& window) {
    run_guarded(window.platform(), [&window] { sell_entry(window); });
}

}  // namespace chomaru
