#include "trades/dividend_payments.h"

#include <QStringList>
#include <algorithm>
#include <optional>

#include "accounting/withholding.h"
#include "store/regional_text.h"
#include "trades/date_picker_dialog.h"
#include "trades/record_deletion.h"
#include "ui/command_guard.h"
#include "ui/flex_grid.h"
#include "ui/platform.h"
#include "ui/session.h"
#include "ui/text_checks.h"

namespace chomaru {

namespace {

// A payment is stored only with an amount before tax above zero and a tax
// withheld from zero up to that amount; anything else is refused with why.
bool acceptable(Platform& platform, const DividendPayment& payment) {
    QString why;
    if (payment.gross <= Currency())
        why = QStringLiteral("税引前の金額は0円より多い額を入力して下さい");
    else if (payment.withheld < Currency() || payment.withheld > payment.gross)
        why = QStringLiteral("源泉徴収税額は0円から税引前の金額までで入力して下さい");
    if (why.isEmpty()) return true;
    platform.message_box(why, QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return false;
}

QString summary(const std::string& date, std::optional<Currency> gross) {
    QStringList lines{QString(), QStringLiteral("日付：") + qt_text(date)};
    if (gross) lines << QStringLiteral("税引前：") + qt_text(format_currency(*gross));
    return lines.join(QStringLiteral("\r\n"));
}

void record_payment(Session& session) {
    Platform& platform = session.platform;
    const std::string date = pick_trade_date(session);
    if (date.empty()) return;
    const QString gross_text = platform.input_box(QStringLiteral("配当金（税引前）を記入して下さい"),
                                                  QStringLiteral("例:10000") + summary(date, std::nullopt), QString());
    if (gross_text.isEmpty()) return;
    DividendPayment payment{date, text_to_currency(number_text(gross_text)), Currency()};
    const AccountType account = session.stock().account;
    const QString withheld_text =
        platform.input_box(QStringLiteral("源泉徴収税額を記入して下さい"),
                           QStringLiteral("%1口座：%2")
                                   .arg(qt_text(std::string(account_name(account))),
                                        is_nisa(account) ? QStringLiteral("非課税（0円）")
                                                         : QStringLiteral("20.315%（1円未満切り捨て）")) +
                               summary(date, payment.gross),
                           qt_text(currency_text(default_withholding(payment.gross, account))));
    if (withheld_text.isEmpty()) return;
    payment.withheld = text_to_currency(number_text(withheld_text));
    if (acceptable(platform, payment)) session.document.add_payment(payment);
}

// The stored value of a payment's field, as the data file writes it.
QString stored_text(const DividendPayment& payment, int col) {
    switch (col) {
    case 1:
        return qt_text(payment.date);
    case 2:
        return qt_text(currency_text(payment.gross));
    default:
        return qt_text(currency_text(payment.withheld));
    }
}

// One field of one payment, chosen by its cell: 1 the date, 2 the amount
// before tax, 3 the tax withheld. 受取額 follows from them.
void edit_payment(Session& session, int row, int col) {
    const std::vector<DividendPayment>& payments = session.stock().payments;
    if (row < 1 || row > int(payments.size()) || col < 1 || col > 3) return;
    const int32_t k = row - 1;
    DividendPayment payment = payments[size_t(k)];
    Platform& platform = session.platform;
    const QString answer = platform.input_box(QStringLiteral("変更後の情報を入力して下さい"),
                                              QStringLiteral("変更します"), stored_text(payment, col));
    if (answer.isEmpty()) return;
    if (col == 1) {
        const std::optional<Date> date = accept_trade_date(platform, answer);
        if (!date) return;
        payment.date = short_date_text(*date);
    } else {
        (col == 2 ? payment.gross : payment.withheld) = text_to_currency(number_text(answer));
    }
    if (acceptable(platform, payment)) session.document.change_payment(k, payment);
}

void delete_payment(Session& session) {
    const std::optional<int32_t> k = asked_row_to_delete(session.platform, int32_t(session.stock().payments.size()));
    if (k) session.document.remove_payment(*k);
}

}  // namespace

void record_payment_click(Session& session) {
    run_guarded(session.platform, [&session] { record_payment(session); });
}

void pay_fig_dbl_click(Session& session, int row, int col) {
    run_guarded(session.platform, [&session, row, col] { edit_payment(session, row, col); });
}

void del_payment_click(Session& session) {
    run_guarded(session.platform, [&session] { delete_payment(session); });
}

void pay_fig_delete_key(Session& session, int row) {
    run_guarded(session.platform, [&session, row] {
        const std::vector<DividendPayment>& payments = session.stock().payments;
        if (row < 1 || row > int(payments.size())) return;
        const DividendPayment& p = payments[size_t(row - 1)];
        const QString question =
            QStringLiteral("配当金 %1 を削除します。よろしいですか？\r\n\r\n%2　税引前 %3　源泉徴収 %4")
                .arg(QString::number(row), qt_text(p.date), qt_text(format_currency(p.gross)),
                     qt_text(format_currency(p.withheld)));
        if (deletion_confirmed(session.platform, question)) session.document.remove_payment(row - 1);
    });
}

void setup_payment_grid(FlexGrid& grid) {
    const QString headings[] = {QString(), QStringLiteral("日付"), QStringLiteral("税引前"), QStringLiteral("源泉徴収"),
                                QStringLiteral("受取額")};
    const int widths[] = {400, 1100, 1150, 1000, 1150};
    for (int c = 0; c < 5; ++c) {
        grid.set_text(0, c, headings[c]);
        grid.set_col_width(c, widths[c]);
        grid.set_cell_alignment(0, c, align_centre);
        grid.set_col_alignment(c, c == 1 ? align_centre : align_right);
    }
}

void show_payments(FlexGrid& grid, const Stock& stock, int rows) {
    const int count = int(stock.payments.size());
    grid.set_rows(std::max(rows, count + 1));
    for (int r = 1; r < grid.rows(); ++r) {
        grid.set_text(r, 0, QString::number(r));
        const DividendPayment* p = r <= count ? &stock.payments[size_t(r - 1)] : nullptr;
        grid.set_text(r, 1, p ? qt_text(p->date) : QString());
        grid.set_text(r, 2, p ? qt_text(format_currency(p->gross)) : QString());
        grid.set_text(r, 3, p ? qt_text(format_currency(p->withheld)) : QString());
        grid.set_text(r, 4, p ? qt_text(format_currency(p->gross - p->withheld)) : QString());
    }
    grid.scrollToTop();
}

}  // namespace chomaru
