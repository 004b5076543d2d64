#pragma once

#include <filesystem>

namespace chomaru {

class Platform;
class StockMain;

// The folder the report files are written to: the user's documents folder,
// or an empty path when there is none.
std::filesystem::path special_folder_path(Platform& platform);

// The two CSV files, the help and the version box.
void m_csvf_click(StockMain& window);
void m_tax_file_click(StockMain& window);
void expla_click(StockMain& window);
void version_key_click(StockMain& window);

}  // namespace chomaru
