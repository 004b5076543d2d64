#pragma once

namespace chomaru {

class StockMain;

// Deleting one buy or sell record by its number, or the selected stock.
void del_kai_fig_click(StockMain& window);
void del_sel_fig_click(StockMain& window);
void del_all_data_click(StockMain& window);

}  // namespace chomaru
