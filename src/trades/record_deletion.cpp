#include "trades/record_deletion.h"

#include "views/main_window.h"

namespace chomaru {

void del_kai_fig_click(StockMain&) {}

void del_sel_fig_click(StockMain&) {}

void del_all_data_click(StockMain&) {}

}  // namespace chomaru
