#pragma once

#include <filesystem>

namespace chomaru {

class Platform;
class Session;
struct Portfolio;

// The folder the report files are written to: the user's documents folder,
// or an empty path when there is none.
std::filesystem::path special_folder_path(Platform& platform);

// The two CSV files, the help and the version box.
void m_csvf_click(Session& session);
void m_tax_file_click(Session& session);
void expla_click(Session& session);
void version_key_click(Session& session);

// The realised gains by year, for the 年間損益 window's button. A stock whose
// trades cannot be replayed stops the file after its heading, and the
// message names the stock, as the tax file's does.
void write_year_file(Platform& platform, const Portfolio& portfolio);

}  // namespace chomaru
