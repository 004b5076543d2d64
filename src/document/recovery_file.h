#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "store/portfolio.h"
#include "store/safe_file.h"

namespace chomaru {

// Where the recovery file of a data file lies: beside the file the data
// file's name leads to, so that every name of one data file (two data
// folders linked to one synchronised file) finds the same recovery file.
std::filesystem::path recovery_file_path(const std::filesystem::path& data_file);

// The data of a run that is not yet saved, written beside the data file
// after every command that changed it, so that a crash, a kill or a power
// loss never takes a run's work. A normal exit that saved the data file
// removes it.
class RecoveryFile {
public:
    explicit RecoveryFile(const std::filesystem::path& data_file);

    const std::filesystem::path& path() const { return path_; }

    // The data as it stands now is what the saved file holds.
    void remember(const Portfolio& portfolio);
    // The same, for data just read from these bytes. Should they differ from
    // what the program would write for it, the first command writes the
    // recovery file even when it changed nothing.
    void remember(std::string bytes) { last_bytes_ = std::move(bytes); }

    // Writes the portfolio through `fs` when it differs from what was last
    // remembered or written, with the data file's permissions; whatever
    // stands at the recovery file's name, a link too, is replaced, never
    // written through. A failure returns its
    // reason, in Japanese, once for each cause until a write succeeds again,
    // so the user hears of each new trouble without hearing it after every
    // command.
    std::optional<std::string> update(const Portfolio& portfolio, FileSystem& fs);

    void remove();

private:
    std::filesystem::path data_file_;
    std::filesystem::path path_;
    std::string last_bytes_;
    std::set<int> told_;
};

}  // namespace chomaru
