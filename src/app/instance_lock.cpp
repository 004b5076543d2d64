#include "app/instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace chomaru {

InstanceLock::InstanceLock(const std::filesystem::path& folder) : path_(folder / ".chomaru.lock") {
    // A lock that cannot be taken never counts as taken: a folder whose lock
    // file is a directory, a link or someone else's file would otherwise let
    // two runs write one data file. The link is never followed.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        error_number_ = errno;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::acquired;
        return;
    }
    error_number_ = errno;
    state_ = error_number_ == EWOULDBLOCK ? State::held_elsewhere : State::failed;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace chomaru
