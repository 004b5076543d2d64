#pragma once

#include <filesystem>

namespace chomaru {

// Holds an exclusive lock on a file in the data's folder for the life of
// the process, so that two runs can never write the same data file. The
// lock goes with the process, also when it is killed.
class InstanceLock {
public:
    enum class State {
        acquired,
        held_elsewhere,  // another run holds the folder
        failed,          // the lock file could not be opened or locked
    };

    explicit InstanceLock(const std::filesystem::path& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return state_; }
    bool acquired() const { return state_ == State::acquired; }
    // The errno value of a failure.
    int error_number() const { return error_number_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    State state_ = State::failed;
    int error_number_ = 0;
};

}  // namespace chomaru
