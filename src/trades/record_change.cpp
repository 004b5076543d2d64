#include "trades/record_change.h"

#include <optional>

#include "accounting/position.h"
#include "store/regional_text.h"
#include "ui/platform.h"

namespace chomaru {

void tell_unreadable(Platform& platform, const std::optional<UnreadableDate>& unreadable) {
    if (unreadable)
        platform.message_box(qt_text(unreadable_date_text(*unreadable)) +
                                 QStringLiteral("が読めないため、保有株数、平均買い単価、利益を計算し直していません。"
                                                "記録の日付を直して下さい。"),
                             QMessageBox::Warning, QMessageBox::Ok, program_caption);
}

void tell_nisa_excess(Platform& platform, const std::vector<NisaExcess>& excess) {
    if (excess.empty()) return;
    platform.message_box(
        QStringLiteral("NISAの投資枠を超える買いです（記録はしました）。\r\n") + qt_text(nisa_excess_text(excess)),
        QMessageBox::Warning, QMessageBox::Ok, program_caption);
}

bool confirm_oversale(Platform& platform, const Stock& before, const Stock& after, const QString& action) {
    const std::optional<Oversale> sale = new_oversale(before, after);
    if (!sale) return true;
    const QString date = qt_text(sale->date);
    const QString held = qt_text(format_grouped(sale->held));
    const QString shares = qt_text(format_grouped(sale->shares));
    // The sale asked about is the new one, or the one whose shares the change
    // takes away.
    const bool asked_about =
        sale->index >= before.sell_count || before.sells.at(size_t(sale->index)) != after.sells.at(size_t(sale->index));
    const QString text = asked_about
                             ? QStringLiteral("%1 の保有株数は %2 株です。この売却（%3 株）は保有株数を超えます。")
                                   .arg(date, held, shares)
                             : QStringLiteral("%1 の保有株数は %2 株になり、%1 の売却（%3 株）が保有株数を超えます。")
                                   .arg(date, held, shares);
    return platform.message_box(text + QStringLiteral("\r\n") + action + QStringLiteral("しますか？"),
                                QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, program_caption,
                                QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace chomaru
