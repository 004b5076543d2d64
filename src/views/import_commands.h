#pragma once

#include <filesystem>

namespace chomaru {

class Session;

// ファイル → 取引履歴の取り込み: a broker's trade history chosen, read,
// previewed row by row and, when the user agrees, imported as one step.
void m_import_click(Session& session);

// ファイル → 保有一覧から現在値を取り込む: the current prices of a broker's
// holdings list, previewed and set as one step.
void m_price_import_click(Session& session);

// A file given to the program: a holdings list, told by its header, takes
// the way of the prices, anything else that of the trade history.
void import_file(Session& session, const std::filesystem::path& file);

}  // namespace chomaru
