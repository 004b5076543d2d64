#pragma once

#include <filesystem>
#include <string>

#include "store/portfolio.h"

namespace chomaru {

// The data of a run that is not yet saved, written beside the data file
// after every command that changed it, so that a crash, a kill or a power
// loss never takes a run's work. A normal exit that saved the data file
// removes it.
class RecoveryFile {
public:
    explicit RecoveryFile(const std::filesystem::path& data_file);

    const std::filesystem::path& path() const { return path_; }

    // The data as it stands now is what the saved file holds.
    void remember(Portfolio& portfolio);

    // Writes the portfolio when it differs from what was last remembered
    // or written. A failure is not fatal: the data file is still written at exit.
    void update(Portfolio& portfolio);

    void remove();

private:
    std::filesystem::path path_;
    std::string last_bytes_;
};

}  // namespace chomaru
