#pragma once

#include <filesystem>
#include <optional>

namespace chomaru {

class Platform;

// Makes sure the data folder can hold the data before any work begins.
// When it cannot, the user is told the folder and the reason and may choose
// another folder or quit. Returns the folder to use, or nothing when the
// user quits.
std::optional<std::filesystem::path> writable_data_folder(Platform& platform, std::filesystem::path folder);

}  // namespace chomaru
