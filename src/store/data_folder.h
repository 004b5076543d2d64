#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace chomaru {

// The data folder holds the data file, its recovery file, the copies kept
// aside and the lock. It is chosen once at start-up and is separate from
// the program's folder, which holds the program and, for a portable copy,
// its help.

// The user's home folder: `home` (the value of HOME) unless it is empty,
// else the one the password database names.
std::filesystem::path home_folder(const char* home);

// The user's own data folder for 帳丸: $XDG_DATA_HOME/chomaru, or
// ~/.local/share/chomaru when XDG_DATA_HOME is unset, empty or relative.
// `home` is the value of HOME, as for home_folder. A relative HOME gives a
// relative folder, which the caller refuses.
std::filesystem::path user_data_folder(const char* xdg_data_home, const char* home);

// The same, from this process's environment.
std::filesystem::path user_data_folder();

// Whether a folder lies under a prefix where the system installs programs
// (/usr, /opt, /snap): a program there is shared, and its folder is never
// the place for one user's data.
bool inside_system_prefix(const std::filesystem::path& folder);

// The file that makes a copy of the program portable: an empty file of this
// name beside the program.
inline constexpr const char* portable_mark = ".portable";

// The data folder, in this order: the folder the user asked for; the
// program's folder when it already holds the data file, or when it holds
// portable_mark and is not inside a system prefix (a portable copy);
// otherwise, also when the program's folder is unknown (empty), the user's
// data folder. A copy merely put in a folder the user can write, such as
// ~/.local/bin, keeps its data in the user's data folder.
std::filesystem::path choose_data_folder(const std::optional<std::filesystem::path>& requested,
                                         const std::filesystem::path& program_folder,
                                         const std::filesystem::path& user_folder);

// Creates the folder when missing (missing parents too, each with mode
// 0700), then creates and removes a file in it. Returns why the folder
// cannot hold the data, in Japanese for the user; nothing when it can. A
// name too long for the system is refused before anything is created.
std::optional<std::string> data_folder_problem(const std::filesystem::path& folder);

}  // namespace chomaru
