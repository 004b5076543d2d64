#pragma once

namespace chomaru {

class Session;

// Deleting one buy or sell record by its number, or the selected stock.
void del_kai_fig_click(Session& session);
void del_sel_fig_click(Session& session);
void del_all_data_click(Session& session);

}  // namespace chomaru
