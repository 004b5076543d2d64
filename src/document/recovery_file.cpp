#include "document/recovery_file.h"

#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {

namespace {

// The cause of a failure that is not the file system's.
constexpr int unwritable_data = -1;

}  // namespace

std::filesystem::path recovery_file_path(const std::filesystem::path& data_file) {
    return final_target(data_file).parent_path() / "vavo_data_recovery.txt";
}

RecoveryFile::RecoveryFile(const std::filesystem::path& data_file)
    : data_file_(data_file), path_(recovery_file_path(data_file)) {}

void RecoveryFile::remember(const Portfolio& portfolio) {
    try {
        last_bytes_ = format_data_file(portfolio);
    } catch (const DataFileError&) {
        last_bytes_.clear();
    }
}

std::optional<std::string> RecoveryFile::update(const Portfolio& portfolio, FileSystem& fs) {
    int cause = 0;
    std::string reason;
    try {
        std::string bytes = format_data_file(portfolio);
        if (bytes == last_bytes_) return std::nullopt;
        replace_file_atomically(path_, bytes, fs, permissions_of(data_file_));
        last_bytes_ = std::move(bytes);
        told_.clear();
        return std::nullopt;
    } catch (const DataFileError& e) {
        cause = unwritable_data;
        reason = e.what();
    } catch (const SaveError& e) {
        cause = e.error_number;
        reason = describe_error(e.error_number);
    }
    if (!told_.insert(cause).second) return std::nullopt;
    return reason;
}

void RecoveryFile::remove() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace chomaru
