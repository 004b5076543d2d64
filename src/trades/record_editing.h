#pragma once

namespace chomaru {

class Session;

// Correcting one field of a stored record by double-clicking its cell.
void buy_fig_dbl_click(Session& session, int row, int col);
void sell_fig_dbl_click(Session& session, int row, int col);

}  // namespace chomaru
