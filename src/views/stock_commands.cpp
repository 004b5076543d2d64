#include "views/stock_commands.h"

#include "views/main_window.h"

namespace chomaru {

void new_name_key_click(StockMain&) {}

void combo1_click(StockMain&, int) {}

void change_code_click(StockMain&) {}

void change_name_click(StockMain&) {}

void change_haitou_click(StockMain&) {}

void infor_fig_dbl_click(StockMain&, int, int) {}

}  // namespace chomaru
