#pragma once

namespace chomaru {

class Session;

// Registering, selecting and changing stocks.
void new_name_key_click(Session& session);
void combo1_click(Session& session, int index);
void change_code_click(Session& session);
void change_name_click(Session& session);
void change_haitou_click(Session& session);
void infor_fig_dbl_click(Session& session, int row, int col);

}  // namespace chomaru
