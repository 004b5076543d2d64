#include "store/safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chomaru {

int FileSystem::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileSystem::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileSystem::fsync(int fd) { return ::fsync(fd); }
int FileSystem::close(int fd) { return ::close(fd); }
int FileSystem::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileSystem::unlink(const char* path) { return ::unlink(path); }

FileSystem& real_file_system() {
    static FileSystem fs;
    return fs;
}

namespace {
FileSystem* chosen_file_system = nullptr;
}

FileSystem& file_system() { return chosen_file_system ? *chosen_file_system : real_file_system(); }

void set_file_system(FileSystem* fs) { chosen_file_system = fs; }

std::string describe_error(int error_number) {
    switch (error_number) {
    case ENOSPC: return "ディスクの空き容量が足りません";
    case EDQUOT: return "ディスクの使用量の上限に達しました";
    case EACCES:
    case EPERM: return "書き込みの権限がありません";
    case EROFS: return "読み取り専用の場所です";
    case ENOENT: return "フォルダが見つかりません";
    case EIO: return "入出力エラーが発生しました";
    case 0: return "書き込みが途中で止まりました";
    default: return std::string("エラー: ") + std::strerror(error_number);
    }
}

namespace {

[[noreturn]] void fail(const std::filesystem::path& target, int error_number) {
    throw SaveError(target.string() + " に保存できませんでした（" + describe_error(error_number) + "）",
                    error_number);
}

}  // namespace

void write_file_atomically(const std::filesystem::path& target, std::string_view bytes, FileSystem& fs) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::filesystem::path temporary = folder / ("." + target.filename().string() + ".tmp");

    const int fd = fs.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) fail(target, errno);
    // The replacement keeps the permissions the user gave the file it
    // replaces; a new file gets the usual ones under the umask.
    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0) ::fchmod(fd, previous.st_mode & 07777);

    auto abandon = [&](int error_number) {
        fs.close(fd);
        fs.unlink(temporary.c_str());
        fail(target, error_number);
    };

    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = fs.write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        if (n == 0) abandon(ENOSPC);
        written += size_t(n);
    }
    if (fs.fsync(fd) != 0) abandon(errno);
    if (fs.close(fd) != 0) {
        const int error_number = errno;
        fs.unlink(temporary.c_str());
        fail(target, error_number);
    }
    if (fs.rename(temporary.c_str(), target.c_str()) != 0) {
        const int error_number = errno;
        fs.unlink(temporary.c_str());
        fail(target, error_number);
    }
    // Make the rename itself durable; the new file is complete either way.
    const int dir = fs.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir >= 0) {
        fs.fsync(dir);
        fs.close(dir);
    }
}

std::optional<std::string> read_whole_file(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw std::runtime_error(file.string() + ": " + describe_error(errno));
    }
    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error_number = errno;
            ::close(fd);
            throw std::runtime_error(file.string() + ": " + describe_error(error_number));
        }
        if (n == 0) break;
        content.append(buffer, size_t(n));
    }
    ::close(fd);
    return content;
}

}  // namespace chomaru
