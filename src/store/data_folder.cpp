#include "store/data_folder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {

namespace {

// The longest name the program gives a file in the data folder: a copy
// kept aside under a dated name, or a temporary file.
constexpr size_t longest_name_inside = 64;

// Whether a folder's name, or the name of a file in it, is longer than the
// system takes; checked first, so that a refused folder leaves no folders
// made on the way.
bool too_long_for_data(const std::filesystem::path& folder) {
    if (folder.native().size() + 1 + longest_name_inside >= PATH_MAX) return true;
    for (const std::filesystem::path& part : folder)
        if (part.native().size() > NAME_MAX) return true;
    return false;
}

}  // namespace

std::filesystem::path home_folder(const char* home) {
    if (home && home[0]) return home;
    // A process started without HOME.
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::filesystem::path user_data_folder(const char* xdg_data_home, const char* home) {
    if (xdg_data_home && xdg_data_home[0] == '/') return std::filesystem::path(xdg_data_home) / "chomaru";
    return home_folder(home) / ".local" / "share" / "chomaru";
}

std::filesystem::path user_data_folder() { return user_data_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

bool inside_system_prefix(const std::filesystem::path& folder) {
    const std::filesystem::path normal = folder.lexically_normal();
    for (const char* prefix : {"/usr", "/opt", "/snap"}) {
        const std::filesystem::path relative = normal.lexically_relative(prefix);
        if (!relative.empty() && *relative.begin() != "..") return true;
    }
    return false;
}

std::filesystem::path choose_data_folder(const std::optional<std::filesystem::path>& requested,
                                         const std::filesystem::path& program_folder,
                                         const std::filesystem::path& user_folder) {
    if (requested) return *requested;
    if (program_folder.empty()) return user_folder;
    std::error_code error;
    if (std::filesystem::exists(program_folder / data_file_name, error)) return program_folder;
    if (std::filesystem::exists(program_folder / portable_mark, error) && !inside_system_prefix(program_folder))
        return program_folder;
    return user_folder;
}

std::optional<std::string> data_folder_problem(const std::filesystem::path& folder) {
    if (too_long_for_data(folder)) return describe_error(ENAMETOOLONG);
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return describe_error(errno);
    }
    std::string probe = (folder / ".chomaru_write_test_XXXXXX").string();
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    // A folder of the system's own (/proc) says the file it refused to make
    // is not there.
    if (fd < 0) return errno == ENOENT ? "このフォルダにはファイルを作れません" : describe_error(errno);
    ::close(fd);
    if (::unlink(probe.c_str()) != 0) return describe_error(errno);
    return std::nullopt;
}

}  // namespace chomaru
