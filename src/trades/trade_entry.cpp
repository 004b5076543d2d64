#include "trades/trade_entry.h"

#include "views/main_window.h"

namespace chomaru {

void kai_input_key_click(StockMain&) {}

void uri_input_key_click(StockMain&) {}

}  // namespace chomaru
