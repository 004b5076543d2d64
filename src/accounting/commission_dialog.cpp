#include "accounting/commission_dialog.h"

#include "views/main_window.h"

namespace chomaru {

void m_kabusen_click(StockMain&) {}

}  // namespace chomaru
