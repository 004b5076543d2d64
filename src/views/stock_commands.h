#pragma once

namespace chomaru {

class StockMain;

// Registering, selecting and changing stocks.
void new_name_key_click(StockMain& window);
void combo1_click(StockMain& window, int index);
void change_code_click(StockMain& window);
void change_name_click(StockMain& window);
void change_haitou_click(StockMain& window);
void infor_fig_dbl_click(StockMain& window, int row, int col);

}  // namespace chomaru
