#pragma once

namespace chomaru {

class StockMain;

// Previews of a buy or a sell.
void kai_sl_key_click(StockMain& window);
void uri_sl_key_click(StockMain& window);

}  // namespace chomaru
