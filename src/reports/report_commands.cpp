#include "reports/report_commands.h"

#include "views/main_window.h"

namespace chomaru {

void m_csvf_click(StockMain&) {}

void m_tax_file_click(StockMain&) {}

void expla_click(StockMain&) {}

void version_key_click(StockMain&) {}

}  // namespace chomaru
