#include "reports/simulation_window.h"

#include "views/main_window.h"

namespace chomaru {

void kai_sl_key_click(StockMain&) {}

void uri_sl_key_click(StockMain&) {}

}  // namespace chomaru
