#include "trades/trade_entry.h"

#include <QStringList>
#include <optional>
#include <utility>

#include "accounting/commission.h"
#include "accounting/position.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "trades/date_picker_dialog.h"
#include "trades/record_change.h"
#include "trades/trade_prompts.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"

namespace chomaru {

namespace {

// The example line of each prompt, an empty line and the running summary of
// the values known so far. The price prompt says under its example that the
// record keeps the unit price in whole yen.
TradePrompts entry_prompts(std::array<QString, 3> captions, std::array<QString, 3> examples, const std::string& date) {
    return TradePrompts{
        std::move(captions),
        [examples = std::move(examples), date](TradeStep step, std::optional<int32_t> price,
                                               std::optional<int32_t> shares) {
            QStringList lines{examples[size_t(step)]};
            if (step == TradeStep::price)
                lines << QStringLiteral("単価は1円単位で記録します（金額は入力どおりの単価で計算します）");
            lines << QStringList{
                QString(),
                QStringLiteral("日付：") + qt_text(date),
                QStringLiteral("単価：") + (price ? qt_text(format_currency(Currency::from_yen(*price))) : QString()),
                QStringLiteral("株数：") + (shares ? qt_text(format_grouped(*shares)) : QString()),
            };
            return lines.join(QStringLiteral("\r\n"));
        },
    };
}

TradePrompts buy_prompts(const std::string& date) {
    return entry_prompts({QStringLiteral("買いの単価を記入して下さい"), QStringLiteral("買いの株数を記入して下さい"),
                          QStringLiteral("買いの払込金を記入して下さい")},
                         {QStringLiteral("例:10000"), QStringLiteral("例:10000"), QStringLiteral("例:100000000")},
                         date);
}

TradePrompts sell_prompts(const std::string& date) {
    return entry_prompts({QStringLiteral("売りの単価を記入して下さい"), QStringLiteral("売りの株数を記入して下さい"),
                          QStringLiteral("受け取り金額を記入して下さい")},
                         {QStringLiteral("例:10000"), QStringLiteral("例:1000"), QStringLiteral("例:1000000")}, date);
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

// What tells a purchase from a sale while its record is asked for.
struct Side {
    // "買い" or "売り", for the message on a full record table.
    QString name;
    int32_t count;
    TradePrompts (*prompts)(const std::string& date);
    Currency (*total)(const FeeTable& table, Currency value);
    // The most shares a record may hold: those held, for a sale.
    std::optional<int32_t> most_shares;
};

// A sale of more shares than were held on its date is stored only when the
// user says so.
bool sale_confirmed(Session& session, const TradeRecord& sale) {
    const Stock& stock = session.stock();
    return confirm_oversale(session.platform, stock, with_record_added(stock, TradeSide::sell, sale),
                            QStringLiteral("記録"));
}

// Asks for the date, the unit price and shares, and the amount of a new
// record; nothing when the user stops or the entry is refused.
std::optional<TradeRecord> ask_record(Session& session, const Side& side) {
    if (!has_room(session.platform, side.count, side.name)) return std::nullopt;
    const std::string date = pick_trade_date(session);
    if (date.empty()) return std::nullopt;
    const TradePrompts prompts = side.prompts(date);
    const std::optional<PriceAndShares> a = ask_price_and_shares(session.platform, prompts);
    if (!a) return std::nullopt;
    if (side.most_shares) {
        if (a->shares > *side.most_shares) {
            refuse(session.platform, QStringLiteral("持ち株数以上は、売ることが出来ません"));
            return std::nullopt;
        }
        if (!sale_confirmed(session, TradeRecord{date, a->price, a->shares, Currency()})) return std::nullopt;
    }
    const Currency proposal = side.total(session.portfolio.fees, a->trade_value());
    const std::optional<Currency> amount = ask_amount(session.platform, prompts, *a, proposal);
    if (!amount) return std::nullopt;
    return TradeRecord{date, a->price, a->shares, *amount};
}

void buy_entry(Session& session) {
    const std::optional<TradeRecord> record =
        ask_record(session, {QStringLiteral("買い"), session.stock().buy_count, buy_prompts, buy_total, std::nullopt});
    if (!record) return;
    // A buy that passes a NISA limit is recorded all the same: the broker
    // has made it already.
    const std::vector<NisaExcess> excess = nisa_excess(session.portfolio, session.portfolio.current_stock, *record);
    tell_unreadable(session.platform, session.document.add_buy(*record));
    tell_nisa_excess(session.platform, excess);
}

void sell_entry(Session& session) {
    const Stock& stock = session.stock();
    if (stock.held_shares == 0) {
        refuse(session.platform, QStringLiteral("買い残がないので、売ることが出来ません"));
        return;
    }
    const std::optional<TradeRecord> record =
        ask_record(session, {QStringLiteral("売り"), stock.sell_count, sell_prompts, sell_total, stock.held_shares});
    if (record) tell_unreadable(session.platform, session.document.add_sale(*record));
}

}  // namespace

void kai_input_key_click(Session& session) {
    run_guarded(session.platform, [&session] { buy_entry(session); });
}

void uri_input_key_click(Session& session) {
    run_guarded(session.platform, [&session] { sell_entry(session); });
}

}  // namespace chomaru
