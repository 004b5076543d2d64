#include "app/recovery_file.h"

#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {

RecoveryFile::RecoveryFile(const std::filesystem::path& data_file)
    : path_(data_file.parent_path() / "vavo_data_recovery.txt") {}

void RecoveryFile::remember(Portfolio& portfolio) {
    try {
        last_bytes_ = format_data_file(portfolio);
    } catch (const DataFileError&) {
        last_bytes_.clear();
    }
}

void RecoveryFile::update(Portfolio& portfolio) {
    try {
        std::string bytes = format_data_file(portfolio);
        if (bytes == last_bytes_) return;
        write_file_atomically(path_, bytes);
        last_bytes_ = std::move(bytes);
    } catch (const DataFileError&) {
    } catch (const SaveError&) {
    }
}

void RecoveryFile::remove() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace chomaru
