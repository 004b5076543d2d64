#pragma once

#include <filesystem>
#include <vector>

class QWidget;

namespace chomaru {

class Platform;

// Where the help is looked for, in order: beside the program (a portable
// copy), then in the documentation folder of an installed program; nowhere
// when the program's folder is unknown.
std::vector<std::filesystem::path> help_file_places(const std::filesystem::path& program_folder);

// Shows the help in a window of the program's own, for a desktop with no
// program for HTML files, over `owner`. A second call brings the open
// window forward.
void show_help_window(QWidget& owner, const std::filesystem::path& file, Platform& platform);

}  // namespace chomaru
