#pragma once

namespace chomaru {

class StockMain;

// Reordering the stocks.
void m_sort_click(StockMain& window);

}  // namespace chomaru
