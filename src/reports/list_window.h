#pragma once

namespace chomaru {

class StockMain;

// The portfolio list.
void all_list_key_click(StockMain& window);

}  // namespace chomaru
