#pragma once

#include <filesystem>
#include <optional>

namespace chomaru {

class Platform;

// Makes sure the data folder can hold the data before any work begins.
// When it cannot, the user is told the folder and the reason and may choose
// another folder or quit. A relative folder, which only a relative HOME
// gives, is refused. Returns the folder to use, or nothing when the user
// quits or the folder is refused.
std::optional<std::filesystem::path> writable_data_folder(Platform& platform, std::filesystem::path folder);

// Looks at the data file before it is read, and returns false when the
// program must end:
// - a folder, a pipe, a device or a socket at its name or at the recovery
//   file's is refused with its name (a pipe would be waited on for ever);
// - a symbolic link that leads nowhere (a synchronised folder not yet
//   there) asks whether to start a new file where it leads, or to quit, the
//   default;
// - a file with other names (hard links) is told once: a save replaces it,
//   and its other names keep the old data.
bool data_file_usable(Platform& platform, const std::filesystem::path& file);

}  // namespace chomaru
