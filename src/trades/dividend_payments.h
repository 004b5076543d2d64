#pragma once

namespace chomaru {

class FlexGrid;
class Session;
struct Stock;

// Dividends received by the selected stock: recorded with the payment date
// from the picker, the amount before tax and the tax withheld; corrected by
// double-clicking a cell of their grid; deleted by their number. Each is one
// step of the undo history.
void record_payment_click(Session& session);
void pay_fig_dbl_click(Session& session, int row, int col);
void del_payment_click(Session& session);
// Delete in the grid: the payment of that row, after a はい/いいえ question.
void pay_fig_delete_key(Session& session, int row);

// The grid of the payments: the headings and column widths once, then the
// stock's payments, one a row (日付, 税引前, 源泉徴収, 受取額), at least
// `rows` rows numbered.
void setup_payment_grid(FlexGrid& grid);
void show_payments(FlexGrid& grid, const Stock& stock, int rows);

}  // namespace chomaru
