#pragma once

namespace chomaru {

class StockMain;

// Correcting one field of a stored record by double-clicking its cell.
void buy_fig_dbl_click(StockMain& window, int row, int col);
void sell_fig_dbl_click(StockMain& window, int row, int col);

}  // namespace chomaru
