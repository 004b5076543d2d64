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

// The whole content of a file, or nothing when it does not exist. Other
// failures raise SaveError's sibling, std::runtime_error.
std::optional<std::string> read_whole_file(const std::filesystem::path& file);

// The permission bits of a file, or nothing when it cannot be examined.
std::optional<mode_t> permissions_of(const std::filesystem::path& file);

// A Japanese description of an errno value, for messages to the user.
std::string describe_error(int error_number);

}  // namespace chomaru
