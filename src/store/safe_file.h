#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace chomaru {

// A file that could not be written; the message names the file and the
// reason, in Japanese, ready to be shown to the user.
struct SaveError : std::runtime_error {
    SaveError(const std::string& message, int error) : std::runtime_error(message), error_number(error) {}
    int error_number;
};

// The file system calls a save makes, so that tests can make each of them fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
};

FileSystem& real_file_system();

// Writes `bytes` to a new temporary file in the target's folder, syncs it
// and renames it over the target, so the target is at every moment either
// the old file or the new one, complete. A target that is a symbolic link is
// written where the link points. The file gets `permissions` when given,
// else those of the file it replaces. On failure the temporary file is
// removed, the target is untouched and SaveError is raised.
void write_file_atomically(const std::filesystem::path& target, std::string_view bytes,
                           FileSystem& fs = real_file_system(), std::optional<mode_t> permissions = std::nullopt);

// The same for a file that is the program's own at its name (a report, the
// recovery file, a copy kept aside): whatever is at the name, a symbolic
// link included, is replaced by the new file, and nothing outside the
// target's folder is ever written. Without `permissions` the file gets
// those of the regular file it replaces, else the usual ones.
void replace_file_atomically(const std::filesystem::path& target, std::string_view bytes,
                             FileSystem& fs = real_file_system(), std::optional<mode_t> permissions = std::nullopt);

// Whether anything stands at a name, a symbolic link leading nowhere too.
bool name_taken(const std::filesystem::path& name);

// The file a name stands for once every symbolic link is followed, with its
// folder spelled as the system resolves it (no links, no "..", no "//"), so
// that every spelling of one file gives one path. The file need not exist;
// a missing folder is kept as far as it cannot be resolved.
std::filesystem::path final_target(const std::filesystem::path& file);

// The whole content of a regular file, or nothing when it does not exist.
// Anything else at the name (a folder, a pipe, a device) and other failures
// raise SaveError's sibling, std::runtime_error; a pipe or a device is never
// waited on.
std::optional<std::string> read_whole_file(const std::filesystem::path& file);

// What stands at a name when it is neither a regular file nor missing, in
// Japanese for the user ("フォルダ", "名前付きパイプ", ...); nothing for a
// regular file or an empty name. `through_link` looks at what a symbolic
// link leads to (nothing when it leads nowhere); otherwise a link counts as
// nothing, as something the program may replace.
std::optional<std::string> irregular_file_kind(const std::filesystem::path& name, bool through_link);

// The permission bits of a file, or nothing when it cannot be examined.
std::optional<mode_t> permissions_of(const std::filesystem::path& file);

// A Japanese description of an errno value, for messages to the user.
std::string describe_error(int error_number);

}  // namespace chomaru
