#include "trades/record_editing.h"

#include "views/main_window.h"

namespace chomaru {

void buy_fig_dbl_click(StockMain&, int, int) {}

void sell_fig_dbl_click(StockMain&, int, int) {}

}  // namespace chomaru
