#include "reports/list_window.h"

#include "views/main_window.h"

namespace chomaru {

void all_list_key_click(StockMain&) {}

}  // namespace chomaru
