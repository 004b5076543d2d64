#include "views/entry_commands.h"

#include <optional>

#include "accounting/position.h"
#include "store/numbers.h"
#include "store/regional_text.h"
#include "trades/date_picker_dialog.h"
#include "trades/record_change.h"
#include "trades/record_deletion.h"
#include "ui/command_guard.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"
#include "views/account_dialog.h"

namespace chomaru {

namespace {

bool asked(Platform& platform, const QString& question, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton yes, QMessageBox::StandardButton by_default) {
    return platform.message_box(question, icon, buttons, program_caption, by_default) == yes;
}

// The input box gives the same empty text for Cancel as for an emptied
// field, so a price is cleared only when the user says so.
void set_price(Session& session) {
    Platform& platform = session.platform;
    const std::optional<QuotedPrice>& quoted = session.stock().price;
    const QString answer = platform.input_box(QStringLiteral("現在値を記入して下さい"),
                                              QStringLiteral("例:1234.5\r\n空欄にすると現在値を消します"),
                                              quoted ? qt_text(currency_text(quoted->price)) : QString());
    if (answer.isEmpty()) {
        if (quoted &&
            asked(platform,
                  QStringLiteral("現在値（%1、%2）を消しますか？")
                      .arg(qt_text(format_price(quoted->price)), qt_text(quoted->date)),
                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No))
            session.document.set_price(std::nullopt);
        return;
    }
    const Currency price = text_to_currency(number_text(answer));
    if (price < Currency()) throw ConversionError("a price below zero");
    session.document.set_price(QuotedPrice{price, short_date_text(platform.today())});
}

// A consolidation of shares that are not a multiple of its first number
// leaves a fraction of a share, which the company pays in cash: the shares
// held are rounded down, and the user is told before anything is stored.
bool fraction_accepted(Session& session, const Split& split) {
    const int32_t held = PositionReplay(session.stock()).held_for_split(text_to_date(split.date));
    const int32_t fraction = split_fraction(split, held);
    if (fraction == 0) return true;
    const int32_t after = split_position(split, held, Currency(), 0).held;
    return asked(session.platform,
                 QStringLiteral("%1 の保有株数 %2 株は、%3 で %4 株になります。\r\n"
                                "1株に満たない端数（%5/%6 株）は切り捨てます。端数は現金で支払われます。"
                                "受け取った金額は、売りとして記録できます。")
                     .arg(qt_text(split.date), qt_text(format_grouped(held)), qt_text(split_text(split)),
                          qt_text(format_grouped(after)))
                     .arg(fraction)
                     .arg(split.before),
                 QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Ok);
}

void add_split(Session& session) {
    Platform& platform = session.platform;
    std::string date;
    DatePickerDialog picker(platform, date, session.dialog_parent);
    platform.run_modal(picker);
    if (date.empty()) return;
    const QString answer = platform.input_box(
        QStringLiteral("分割・併合の比率を記入して下さい"),
        QStringLiteral("例:1:2（1株が2株になる分割）、5:1（5株が1株になる併合）\r\n\r\n日付：") + qt_text(date),
        QStringLiteral("1:2"));
    if (answer.isEmpty()) return;
    std::optional<Split> split = split_ratio(number_text(answer));
    if (!split) {
        platform.message_box(QStringLiteral("比率は 1:2 や 5:1 のように、前と後の株数を1から1000までの整数で"
                                            "記入して下さい"),
                             QMessageBox::Critical, QMessageBox::Ok, program_caption);
        return;
    }
    split->date = date;
    if (!fraction_accepted(session, *split)) return;
    Stock after = session.stock();
    after.splits.push_back(*split);
    if (!confirm_oversale(platform, session.stock(), after, QStringLiteral("記録"))) return;
    tell_unreadable(platform, session.document.add_split(*split));
}

void delete_split(Session& session) {
    Platform& platform = session.platform;
    const Stock& stock = session.stock();
    if (stock.splits.empty()) {
        platform.message_box(QStringLiteral("この銘柄には分割・併合の記録がありません"), QMessageBox::Information,
                             QMessageBox::Ok, program_caption);
        return;
    }
    const std::optional<int32_t> k = asked_row_to_delete(platform, int32_t(stock.splits.size()));
    if (!k) return;
    Stock after = stock;
    after.splits.erase(after.splits.begin() + *k);
    if (!confirm_oversale(platform, stock, after, QStringLiteral("削除"))) return;
    tell_unreadable(platform, session.document.remove_split(*k));
}

}  // namespace

void m_account_click(Session& session) {
    AccountDialog dialog(session.stock().account, session.dialog_parent);
    session.platform.run_modal(dialog);
    if (dialog.result() == QDialog::Accepted) session.document.set_account(dialog.chosen());
}

void m_price_click(Session& session) {
    run_guarded(session.platform, [&session] { set_price(session); });
}

void m_split_click(Session& session) {
    run_guarded(
        session.platform, [&session] { add_split(session); },
        QStringLiteral("分割・併合の後の株数が扱える範囲を超えるため、記録できません"));
}

void del_split_click(Session& session) {
    run_guarded(session.platform, [&session] { delete_split(session); });
}

}  // namespace chomaru
