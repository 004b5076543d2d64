#include "trades/record_deletion.h"

#include "store/regional_text.h"
#include "trades/record_change.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

// Deletes the record whose number the user types.
void delete_one_record(Session& session, bool buy_side) {
    const Stock& stock = session.stock();
    const std::optional<int32_t> k =
        asked_row_to_delete(session.platform, buy_side ? stock.buy_count : stock.sell_count);
    if (!k) return;
    tell_unreadable(session.platform, session.document.remove_record(buy_side ? TradeSide::buy : TradeSide::sell, *k));
}

// The record of a grid row, named with its number and its figures as the
// grid shows them.
void delete_record_of_row(Session& session, bool buy_side, int row) {
    const Stock& stock = session.stock();
    if (row < 1 || row > (buy_side ? stock.buy_count : stock.sell_count)) return;
    const TradeRecord& r = (buy_side ? stock.buys : stock.sells).at(size_t(row - 1));
    const QString text = QStringLiteral("%1記録 %2 を削除します。よろしいですか？\r\n\r\n%3　単価 %4　%5株　代金 %6")
                             .arg(buy_side ? QStringLiteral("買い") : QStringLiteral("売り"), QString::number(row),
                                  qt_text(r.date), qt_text(format_currency(Currency::from_yen(r.price))),
                                  qt_text(format_grouped(r.shares)), qt_text(format_currency(r.amount)));
    if (!deletion_confirmed(session.platform, text)) return;
    tell_unreadable(session.platform,
                    session.document.remove_record(buy_side ? TradeSide::buy : TradeSide::sell, row - 1));
}

}  // namespace

std::optional<int32_t> asked_row_to_delete(Platform& platform, int32_t count) {
    const QString answer = platform.input_box(QStringLiteral("削除する行番号を記入して下さい"), QStringLiteral("例:1"),
                                              QStringLiteral("1"));
    if (answer.isEmpty()) return std::nullopt;
    const int32_t n = text_to_int32(number_text(answer));
    if (n < 1 || n > count) return std::nullopt;
    return n - 1;
}

void del_kai_fig_click(Session& session) {
    run_guarded(session.platform, [&session] { delete_one_record(session, true); });
}

void del_sel_fig_click(Session& session) {
    run_guarded(session.platform, [&session] { delete_one_record(session, false); });
}

// One stray keystroke must not take a stock's whole history: the deletion
// is asked for first, with いいえ as the default.
void del_all_data_click(Session& session) {
    const Stock& stock = session.stock();
    const QMessageBox::StandardButton answer = session.platform.message_box(
        qt_text(stock.stock_code) + QStringLiteral(" ") + qt_text(stock.stock_name) +
            QStringLiteral(" の全記録を削除します。よろしいですか？"),
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, program_caption, QMessageBox::No);
    if (answer == QMessageBox::Yes) session.document.remove_selected_stock();
}

bool deletion_confirmed(Platform& platform, const QString& question) {
    return platform.message_box(question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, program_caption,
                                QMessageBox::No) == QMessageBox::Yes;
}

void buy_fig_delete_key(Session& session, int row) { delete_record_of_row(session, true, row); }
void sell_fig_delete_key(Session& session, int row) { delete_record_of_row(session, false, row); }

}  // namespace chomaru
