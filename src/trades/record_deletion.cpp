#include "trades/record_deletion.h"

#include "accounting/position.h"
#include "ui/command_guard.h"
#include "ui/text_checks.h"
#include "store/regional_text.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// Deletes the record whose number the user types. An empty answer is not
// tested for: it fails the conversion like any text that is not a number.
// A number that names no record deletes nothing, silently.
void delete_one_record(StockMain& window, bool buy_side) {
    const QString answer = window.platform().input_box(QStringLiteral("削除する行数を記入して下さい"),
                                                       QStringLiteral("例:1"), QStringLiteral("1"));
    const int32_t n = text_to_int32(number_text(answer));
    Stock& stock = window.stock();
    int32_t& count = buy_side ? stock.buy_count : stock.sell_count;
    if (n < 1 || n > count) return;
    remove_record(buy_side ? stock.buys : stock.sells, count, n - 1);
    recalc_position(stock);
    window.show_analysis();
    window.clear_trade_grids();
    window.show_buy_records();
    window.show_sell_records();
    window.show_ratio_table();
}

}  // namespace

void del_kai_fig_click(StockMain& window) {
    run_guarded(window.platform(), [&window] { delete_one_record(window, true); });
}

void del_sel_fig_click(StockMain& window) {
    run_guarded(window.platform(), [&window] { delete_one_record(window, false); });
}

void del_all_data_click(StockMain& window) {
    remove_current_stock(window.portfolio());
    window.show_stock_info();
    window.show_analysis();
    window.clear_trade_grids();
    window.show_buy_records();
    window.show_sell_records();
    window.show_ratio_table();
    window.fill_stock_combo();
}

}  // namespace chomaru
