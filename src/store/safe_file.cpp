#include "store/safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "store/cp932.h"

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

std::string describe_error(int error_number) {
    switch (error_number) {
    case ENOSPC:
        return "ディスクの空き容量が足りません";
    case EDQUOT:
        return "ディスクの使用量の上限に達しました";
    case EACCES:
    case EPERM:
        return "書き込みの権限がありません";
    case EROFS:
        return "読み取り専用の場所です";
    case ENOENT:
        return "フォルダが見つかりません";
    case EIO:
        return "入出力エラーが発生しました";
    case EISDIR:
        return "同じ名前のフォルダがあります";
    case ENOTDIR:
        return "途中の名前がフォルダではありません";
    case ELOOP:
        return "シンボリックリンクをたどれません";
    case EEXIST:
        return "同じ名前のファイルが既にあります";
    case EXDEV:
        return "別のファイルシステムをまたいで置き換えられません";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます";
    case EFBIG:
        return "ファイルが大きすぎます";
    case EBUSY:
    case ETXTBSY:
        return "ファイルが使用中です";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが足りません";
    case EWOULDBLOCK:
        return "ほかのプログラムが使用中です";
    case 0:
        return "書き込みが途中で止まりました";
    default:
        return "システムエラー（番号 " + std::to_string(error_number) + "）";
    }
}

namespace {

std::string kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "フォルダ";
    if (S_ISFIFO(mode)) return "名前付きパイプ";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "デバイス";
    if (S_ISSOCK(mode)) return "ソケット";
    return "特殊なファイル";
}

[[noreturn]] void fail(const std::filesystem::path& target, int error_number) {
    throw SaveError(path_text(target) + " に保存できませんでした（" + describe_error(error_number) + "）",
                    error_number);
}

// Where a name leads once every symbolic link is followed; the name itself
// when it is no link. A link to a file not yet there leads to that file.
// `error` is set on a loop or a link that cannot be read.
std::filesystem::path follow_links(const std::filesystem::path& name, std::error_code& error) {
    std::filesystem::path current = name;
    for (int hops = 0; hops < 40; ++hops) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) {
            error.clear();
            return current;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(current, error);
        if (error) return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return current;
}

// A save through a symbolic link writes the file the link points to, so the
// link stays a link (for example into a synchronised folder).
std::filesystem::path through_links(const std::filesystem::path& target) {
    std::error_code error;
    const std::filesystem::path reached = follow_links(target, error);
    if (error) fail(target, error.value());
    return reached;
}

bool is_temporary_of(const std::string& name, const std::string& base) {
    return name.size() == base.size() + 14 && name.starts_with("." + base + ".") && name.ends_with(".tmp");
}

// A save killed halfway leaves its temporary file; the next save that
// succeeds removes those of the same file. Links and folders are left alone.
void remove_leftovers(const std::filesystem::path& folder, const std::string& base) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (is_temporary_of(name, base) && it->symlink_status(ignored).type() == std::filesystem::file_type::regular)
            std::filesystem::remove(it->path(), ignored);
    }
}

std::optional<mode_t> regular_file_permissions(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return mode_t(status.st_mode & 07777);
}

mode_t current_umask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Creates a new temporary file under a name nobody else uses, never through
// a link or over an object someone left at a fixed name.
int create_temporary(FileSystem& fs, const std::filesystem::path& folder, const std::string& base,
                     std::filesystem::path& name) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, ' ');
        for (char& c : suffix) c = letters[random() % (sizeof letters - 1)];
        name = folder / ("." + base + "." + suffix + ".tmp");
        const int fd = fs.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes the new file over `target`, whatever stands at its name; failures
// name `requested`, the name the caller asked for.
void write_over(const std::filesystem::path& requested, const std::filesystem::path& target, std::string_view bytes,
                FileSystem& fs, std::optional<mode_t> permissions) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::filesystem::path temporary;
    const int fd = create_temporary(fs, folder, target.filename().string(), temporary);
    if (fd < 0) fail(requested, errno);
    // The file gets the permissions asked for, else those the user gave the
    // file it replaces, else the usual ones under the umask; they are set
    // before a byte of data is written. A link's own mode means nothing.
    if (!permissions) permissions = regular_file_permissions(target).value_or(mode_t(0666 & ~current_umask()));
    ::fchmod(fd, *permissions);

    auto abandon = [&](int error_number) {
        fs.close(fd);
        fs.unlink(temporary.c_str());
        fail(requested, error_number);
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
        fail(requested, error_number);
    }
    if (fs.rename(temporary.c_str(), target.c_str()) != 0) {
        const int error_number = errno;
        fs.unlink(temporary.c_str());
        fail(requested, error_number);
    }
    // Make the rename itself durable; the new file is complete either way.
    const int dir = fs.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir >= 0) {
        fs.fsync(dir);
        fs.close(dir);
    }
    remove_leftovers(folder, target.filename().string());
}

}  // namespace

void write_file_atomically(const std::filesystem::path& target, std::string_view bytes, FileSystem& fs,
                           std::optional<mode_t> permissions) {
    write_over(target, through_links(target), bytes, fs, permissions);
}

void replace_file_atomically(const std::filesystem::path& target, std::string_view bytes, FileSystem& fs,
                             std::optional<mode_t> permissions) {
    write_over(target, target, bytes, fs, permissions);
}

bool name_taken(const std::filesystem::path& name) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(name, error));
}

std::filesystem::path final_target(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path reached = follow_links(file, error);
    const std::filesystem::path folder = std::filesystem::weakly_canonical(
        reached.has_parent_path() ? reached.parent_path() : std::filesystem::path("."), error);
    return error ? reached : folder / reached.filename();
}

std::optional<mode_t> permissions_of(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) return std::nullopt;
    return mode_t(status.st_mode & 07777);
}

std::optional<std::string> read_whole_file(const std::filesystem::path& file) {
    // Opening a pipe waits for a writer; without waiting, its type is seen
    // before anything is read from it.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw std::runtime_error(file.string() + ": " + describe_error(errno));
    }
    std::string content;
    struct stat info {};
    const bool examined = ::fstat(fd, &info) == 0;
    if (!examined || !S_ISREG(info.st_mode)) {
        const std::string why = examined ? kind_of(info.st_mode) : describe_error(errno);
        ::close(fd);
        throw std::runtime_error(file.string() + ": " + why);
    }
    // Room for the whole file at once: growing as it is read would copy a
    // large file several times over.
    if (info.st_size > 0) content.reserve(size_t(info.st_size));
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

std::optional<std::string> irregular_file_kind(const std::filesystem::path& name, bool through_link) {
    struct stat info {};
    if (name.empty() || (through_link ? ::stat(name.c_str(), &info) : ::lstat(name.c_str(), &info)) != 0)
        return std::nullopt;
    if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return std::nullopt;
    return kind_of(info.st_mode);
}

}  // namespace chomaru
