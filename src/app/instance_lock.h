#pragma once

#include <filesystem>

namespace chomaru {

// Holds an exclusive lock on a file in the program's folder for the life
// of the process, so that two runs can never write the same data file. The
// lock goes with the process, also when it is killed.
class InstanceLock {
public:
    explicit InstanceLock(const std::filesystem::path& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool acquired() const { return acquired_; }

private:
    int fd_ = -1;
    bool acquired_ = false;
};

}  // namespace chomaru
