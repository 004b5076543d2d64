#include "trades/record_editing.h"

#include <optional>

#include "accounting/position.h"

#include "store/date_text.h"
#include "store/regional_text.h"
#include "trades/record_change.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

// The stored value of a record's field as the data file writes it: the cell
// shows the amount rounded to whole yen, and OK on that text would store
// the rounded amount.
QString stored_text(const TradeRecord& record, int col) {
    switch (col) {
    case 1:
        return qt_text(record.date);
    case 2:
        return qt_text(int_text(record.price));
    case 3:
        return qt_text(int_text(record.shares));
    default:
        return qt_text(currency_text(record.amount));
    }
}

// The record with one field changed to the answer: column 1 the date, 2 the
// unit price, 3 the shares, 4 the amount; nothing when a date is refused.
// Text that is not a number raises.
std::optional<TradeRecord> changed_record(Platform& platform, TradeRecord record, int col, const QString& answer) {
    switch (col) {
    case 1: {
        const std::optional<Date> date = accept_trade_date(platform, answer);
        if (!date) return std::nullopt;
        record.date = short_date_text(*date);
        break;
    }
    case 2:
        record.price = text_to_int32(number_text(answer));
        break;
    case 3:
        record.shares = text_to_int32(number_text(answer));
        break;
    default:
        record.amount = text_to_currency(number_text(answer));
        break;
    }
    return record;
}

// One field of one stored record, chosen by its cell. The prompt offers the
// stored value itself, so that OK without typing changes nothing; any change
// recomputes the stock's figures, a date's too, since it may move the record
// in date order.
void edit_record(Session& session, bool buy_side, int row, int col) {
    const Stock& stock = session.stock();
    const int32_t count = buy_side ? stock.buy_count : stock.sell_count;
    if (row < 1 || row > count || col < 1 || col > 4) return;
    const size_t k = size_t(row - 1);
    const TradeRecord& record = (buy_side ? stock.buys : stock.sells).at(k);
    Platform& platform = session.platform;
    const QString answer = platform.input_box(QStringLiteral("変更後の情報を入力して下さい"),
                                              QStringLiteral("変更します"), stored_text(record, col));
    if (answer.isEmpty()) return;
    const std::optional<TradeRecord> changed = changed_record(platform, record, col, answer);
    if (!changed || *changed == record) return;

    const TradeSide side = buy_side ? TradeSide::buy : TradeSide::sell;
    const Stock after = with_record_changed(stock, side, int32_t(k), *changed);
    if (!confirm_oversale(platform, stock, after, QStringLiteral("変更"))) return;
    tell_unreadable(platform,
                    session.document.change_record(side, int32_t(k), *changed,
                                                   buy_side ? Operation::buy_correction : Operation::sale_correction));
}

}  // namespace

void buy_fig_dbl_click(Session& session, int row, int col) {
    run_guarded(session.platform, [&session, row, col] { edit_record(session, true, row, col); });
}

void sell_fig_dbl_click(Session& session, int row, int col) {
    run_guarded(session.platform, [&session, row, col] { edit_record(session, false, row, col); });
}

}  // namespace chomaru
