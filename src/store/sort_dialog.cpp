#include "store/sort_dialog.h"

#include "views/main_window.h"

namespace chomaru {

void m_sort_click(StockMain&) {}

}  // namespace chomaru
