#include "views/stock_commands.h"

#include "ui/command_guard.h"
#include "ui/text_checks.h"
#include "store/regional_text.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

void change_dividend(StockMain& window) {
    const QString answer =
        window.platform().input_box(QStringLiteral("配当を記入して下さい"), QStringLiteral("例:5"), QString());
    if (answer.isEmpty()) return;
    Stock& stock = window.stock();
    stock.dividend = text_to_int32(number_text(answer));
    window.show_stock_info();
    if (stock.avg_buy_price > 0)
        stock.dividend_yield = static_cast<float>(double(stock.dividend) / double(stock.avg_buy_price));
    window.show_analysis();
}

}  // namespace

void new_name_key_click(StockMain& window) {
    Platform& platform = window.platform();
    Portfolio& portfolio = window.portfolio();
    if (portfolio.stock_count() >= max_stocks) {
        platform.message_box(QStringLiteral("銘柄は%1までしか登録できません").arg(max_stocks), QMessageBox::Critical,
                             QMessageBox::Ok, program_caption);
        return;
    }
    const std::optional<QString> code = accept_line_text(
        platform, platform.input_box(QStringLiteral("銘柄のコードを入れて下さい"), QStringLiteral("例:1234"), QString()));
    if (!code) return;
    const QString name = platform.input_box(QStringLiteral("銘柄を入れて下さい"), QStringLiteral("例:新日鉄"), QString());
    if (name.isEmpty()) return;
    const std::optional<QString> held_name = accept_line_text(platform, name);
    if (!held_name) return;

    portfolio.last_stock += 1;
    portfolio.current_stock = portfolio.last_stock;
    z_data_init(portfolio);
    window.stock().stock_code = core_text(*code);
    window.stock().stock_name = core_text(*held_name);
    window.show_stock_info();
    window.show_analysis();
    window.clear_trade_grids();
    window.show_ratio_table();
    window.fill_stock_combo();
}

void combo1_click(StockMain& window, int index) {
    if (index < 0 || index > window.portfolio().last_stock) return;
    window.portfolio().current_stock = index;
    window.show_stock_info();
    window.show_analysis();
    window.clear_trade_grids();
    window.show_buy_records();
    window.show_sell_records();
    window.show_ratio_table();
}

void change_code_click(StockMain& window) {
    Platform& platform = window.platform();
    const QString answer =
        platform.input_box(QStringLiteral("銘柄コードを記入して下さい"), QStringLiteral("例:1234"), QString());
    if (answer.isEmpty()) return;
    const std::optional<QString> code = accept_line_text(platform, answer);
    if (!code) return;
    window.stock().stock_code = core_text(*code);
    window.show_stock_info();
}

void change_name_click(StockMain& window) {
    Platform& platform = window.platform();
    const QString answer = platform.input_box(QStringLiteral("銘柄を記入して下さい"), QStringLiteral("例:新日鉄"), QString());
    if (answer.isEmpty()) return;
    const std::optional<QString> name = accept_line_text(platform, answer);
    if (!name) return;
    window.stock().stock_name = core_text(*name);
    window.fill_stock_combo();
    window.show_stock_info();
}

void change_haitou_click(StockMain& window) {
    run_guarded(window.platform(), [&window] { change_dividend(window); });
}

void infor_fig_dbl_click(StockMain& window, int row, int col) {
    if (col != 1) return;
    switch (row) {
    case 0:
        change_code_click(window);
        break;
    case 1:
        change_name_click(window);
        break;
    case 2:
        change_haitou_click(window);
        break;
    default:
        break;
    }
}

}  // namespace chomaru
