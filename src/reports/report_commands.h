#pragma once

namespace chomaru {

class StockMain;

// The two CSV files, the help and the version box.
void m_csvf_click(StockMain& window);
void m_tax_file_click(StockMain& window);
void expla_click(StockMain& window);
void version_key_click(StockMain& window);

}  // namespace chomaru
