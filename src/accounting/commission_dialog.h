#pragma once

namespace chomaru {

class StockMain;

// The commission settings dialog.
void m_kabusen_click(StockMain& window);

}  // namespace chomaru
