#include "store/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace chomaru {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("chomaru-safe-file-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = folder_ / "vavo_data.txt";
    }
    void TearDown() override { fs::remove_all(folder_); }

    size_t files_in_folder() const {
        return size_t(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    fs::path folder_;
    fs::path target_;
};

// Fails one chosen call with an error number; everything else is real.
class FailingFileSystem : public FileSystem {
public:
    enum class Call { open, write, short_write, fsync, close, rename };
    FailingFileSystem(Call call, int error_number) : call_(call), error_(error_number) {}

    int open(const char* path, int flags, mode_t mode) override {
        if (call_ == Call::open) return fail();
        return FileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (call_ == Call::write) return fail();
        if (call_ == Call::short_write) {
            if (written_) return 0;
            written_ = true;
            return FileSystem::write(fd, data, size / 2);
        }
        return FileSystem::write(fd, data, size);
    }
    int fsync(int fd) override { return call_ == Call::fsync ? fail() : FileSystem::fsync(fd); }
    int close(int fd) override {
        const int r = FileSystem::close(fd);
        return call_ == Call::close ? fail() : r;
    }
    int rename(const char* from, const char* to) override {
        return call_ == Call::rename ? fail() : FileSystem::rename(from, to);
    }

private:
    int fail() {
        errno = error_;
        return -1;
    }
    Call call_;
    int error_;
    bool written_ = false;
};

TEST_F(SafeFileTest, ReplacesTheFileAndLeavesNoTemporary) {
    write_file_atomically(target_, "old");
    write_file_atomically(target_, "new content");
    EXPECT_EQ(read_whole_file(target_).value(), "new content");
    EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(SafeFileTest, EveryFailingCallKeepsThePreviousFileIntact) {
    using Call = FailingFileSystem::Call;
    const std::pair<Call, int> failures[] = {
        {Call::open, EACCES}, {Call::write, ENOSPC}, {Call::short_write, 0},
        {Call::fsync, EIO},   {Call::close, EDQUOT}, {Call::rename, EROFS},
    };
    write_file_atomically(target_, "previous");
    for (const auto& [call, error] : failures) {
        FailingFileSystem failing(call, error);
        try {
            write_file_atomically(target_, std::string(100000, 'x'), failing);
            ADD_FAILURE() << "no error for call " << int(call);
        } catch (const SaveError& e) {
            EXPECT_NE(std::string(e.what()).find("vavo_data.txt"), std::string::npos);
        }
        EXPECT_EQ(read_whole_file(target_).value(), "previous") << int(call);
        EXPECT_EQ(files_in_folder(), 1u) << int(call);
    }
}

TEST_F(SafeFileTest, AMissingFolderIsReported) {
    EXPECT_THROW(write_file_atomically(folder_ / "no" / "file.txt", "x"), SaveError);
    EXPECT_FALSE(read_whole_file(folder_ / "absent").has_value());
}

}  // namespace
}  // namespace chomaru
