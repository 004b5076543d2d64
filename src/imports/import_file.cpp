#include "imports/import_file.h"

#include <cerrno>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "imports/csv_text.h"
#include "store/safe_file.h"

namespace chomaru {

namespace {

[[noreturn]] void not_read(int error_number) {
    switch (error_number) {
    case ENOENT:
    case ENOTDIR:
        throw ImportError("ファイルが見つかりません");
    case EACCES:
    case EPERM:
        throw ImportError("ファイルを読む権限がありません");
    default:
        throw ImportError("ファイルを読み込めません（" + describe_error(error_number) + "）");
    }
}

}  // namespace

ImportFile read_import_file(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) not_read(errno);
    if (!S_ISREG(info.st_mode))
        throw ImportError(irregular_file_kind(file, true).value_or("特殊なファイル") +
                          "です。CSVファイルを選んで下さい");
    check_import_file_size(uint64_t(info.st_size));
    // Root reads any file; everyone else is told plainly before reading.
    if (::access(file.c_str(), R_OK) != 0) not_read(errno);

    ImportFile read;
    try {
        std::optional<std::string> bytes = read_whole_file(file);
        if (!bytes) not_read(ENOENT);
        read.bytes = std::move(*bytes);
    } catch (const ImportError&) {
        throw;
    } catch (const std::runtime_error& e) {
        // read_whole_file names the file before its reason.
        const std::string what = e.what();
        const std::string named = file.string() + ": ";
        throw ImportError("ファイルを読み込めません（" + (what.starts_with(named) ? what.substr(named.size()) : what) +
                          "）");
    }
    check_import_file_size(read.bytes.size());
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    read.modified = Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    return read;
}

}  // namespace chomaru
