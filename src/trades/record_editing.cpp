#include "trades/record_editing.h"

#include "accounting/position.h"
#include "ui/command_guard.h"
#include "ui/text_checks.h"
#include "store/regional_text.h"
#include "ui/flex_grid.h"
#include "views/main_window.h"

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

// One field of one stored record, chosen by its cell: column 1 the date,
// 2 the unit price, 3 the shares, 4 the amount. The prompt offers the stored
// value itself, so that OK without typing changes nothing.
void edit_record(StockMain& window, FlexGrid* grid, std::array<TradeRecord, max_records>& records, int32_t count,
                 int row, int col) {
    if (row < 1 || row > count || col < 1 || col > 4) return;
    Platform& platform = window.platform();
    TradeRecord& record = records.at(size_t(row - 1));
    const QString answer = platform.input_box(QStringLiteral("変更後の情報を入力して下さい"),
                                              QStringLiteral("変更します"), stored_text(record, col));
    if (answer.isEmpty()) return;
    switch (col) {
    case 1: {
        const std::optional<QString> date = accept_date_text(platform, answer);
        if (!date) return;
        record.date = core_text(*date);
        grid->set_text(row, col, *date);
        return;
    }
    case 2:
        record.price = text_to_int32(number_text(answer));
        grid->set_text(row, col, qt_text(format_currency(Currency::from_yen(record.price))));
        break;
    case 3:
        record.shares = text_to_int32(number_text(answer));
        grid->set_text(row, col, qt_text(format_grouped(record.shares)));
        break;
    default:
        record.amount = text_to_currency(number_text(answer));
        grid->set_text(row, col, qt_text(format_currency(record.amount)));
        break;
    }
    recalc_position(window.stock());
    window.show_analysis();
    window.show_ratio_table();
}

}  // namespace

void buy_fig_dbl_click(StockMain& window, int row, int col) {
    run_guarded(window.platform(), [&window, row, col] {
        Stock& s = window.stock();
        edit_record(window, window.buy_fig, s.buys, s.buy_count, row, col);
    });
}

void sell_fig_dbl_click(StockMain& window, int row, int col) {
    run_guarded(window.platform(), [&window, row, col] {
        Stock& s = window.stock();
        edit_record(window, window.sell_fig, s.sells, s.sell_count, row, col);
    });
}

}  // namespace chomaru
