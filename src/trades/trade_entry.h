#pragma once

namespace chomaru {

class StockMain;

// Buy and sell entry: the date, the unit price, the shares and the amount, then the new record.
void kai_input_key_click(StockMain& window);
void uri_input_key_click(StockMain& window);

}  // namespace chomaru
