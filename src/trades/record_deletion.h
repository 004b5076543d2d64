#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace chomaru {

class Platform;
class Session;

// Deleting one buy or sell record by its number, or the selected stock.
void del_kai_fig_click(Session& session);
void del_sel_fig_click(Session& session);
void del_all_data_click(Session& session);

// Asks for the number of the row to delete, of `count` rows; the row's
// index (0-based), or none after Cancel, an emptied field or a number that
// names no row, which end the command silently. A number that does not read
// raises as every typed number does.
std::optional<int32_t> asked_row_to_delete(Platform& platform, int32_t count);

// Asks the question with はい/いいえ, いいえ the default; true for はい.
bool deletion_confirmed(Platform& platform, const QString& question);

// Deleting the record shown in grid row `row` (Delete in a record grid),
// after a question whose default is いいえ. A row without a record asks
// nothing.
void buy_fig_delete_key(Session& session, int row);
void sell_fig_delete_key(Session& session, int row);

}  // namespace chomaru
