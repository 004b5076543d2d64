#include "store/safe_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/data_file.h"
#include "support/child_process.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("chomaru-safe-file-" + std::to_string(getpid()) + "-" +
                                         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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

TEST_F(SafeFileTest, TheReplacementKeepsThePermissionsOfTheFileItReplaces) {
    write_file_atomically(target_, "old");
    fs::permissions(target_, fs::perms::owner_read | fs::perms::group_read);
    write_file_atomically(target_, "new content");
    EXPECT_EQ(read_whole_file(target_).value(), "new content");
    EXPECT_EQ(fs::status(target_).permissions(), fs::perms::owner_read | fs::perms::group_read);
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

TEST_F(SafeFileTest, ALinkStaysALinkAndItsTargetReceivesTheSave) {
    const fs::path synced = folder_ / "synced";
    fs::create_directories(synced);
    write_file_atomically(synced / "real.txt", "old");
    fs::create_symlink(synced / "real.txt", target_);
    write_file_atomically(target_, "new");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(target_)));
    EXPECT_EQ(read_whole_file(synced / "real.txt"), "new");
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(synced), fs::directory_iterator())), 1u);

    // A link to a file not yet there creates it.
    fs::remove(target_);
    fs::create_symlink("synced/later.txt", target_);
    write_file_atomically(target_, "first");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(target_)));
    EXPECT_EQ(read_whole_file(synced / "later.txt"), "first");
}

TEST_F(SafeFileTest, ObjectsLeftAtTemporaryNamesAreNeverWrittenThroughAndNeverBlockASave) {
    // A link planted where earlier versions put their temporary file, and a
    // directory at the recovery file's old temporary name.
    const fs::path victim = folder_ / "victim.txt";
    write_file_atomically(victim, "someone else's");
    fs::create_symlink(victim, folder_ / ".vavo_data.txt.tmp");
    fs::create_directories(folder_ / ".vavo_data_recovery.txt.tmp");
    write_file_atomically(target_, "portfolio");
    write_file_atomically(folder_ / "vavo_data_recovery.txt", "recovery");
    EXPECT_EQ(read_whole_file(victim), "someone else's");
    EXPECT_EQ(read_whole_file(target_), "portfolio");
    EXPECT_EQ(read_whole_file(folder_ / "vavo_data_recovery.txt"), "recovery");
    EXPECT_EQ(files_in_folder(), 5u);
}

TEST_F(SafeFileTest, PermissionsAskedForAreGivenToANewFileAndAReplacedOne) {
    const auto mode = [](const fs::path& f) { return permissions_of(f).value_or(0); };
    write_file_atomically(target_, "x", real_file_system(), 0600);
    EXPECT_EQ(mode(target_), 0600u);
    fs::permissions(target_, fs::perms(0640));
    write_file_atomically(target_, "y");
    EXPECT_EQ(mode(target_), 0640u);
    write_file_atomically(target_, "z", real_file_system(), 0600);
    EXPECT_EQ(mode(target_), 0600u);
}

TEST(SaveErrorText, EveryReasonIsJapanese) {
    for (int error_number :
         {0,      ENOSPC, EDQUOT,       EACCES, EPERM, EROFS,  ENOENT, EIO,         EISDIR, ENOTDIR, ELOOP,
          EEXIST, EXDEV,  ENAMETOOLONG, EFBIG,  EBUSY, EMFILE, ENOMEM, EWOULDBLOCK, EINVAL, 12345}) {
        const std::string text = describe_error(error_number);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos)
            << text;
    }
}

// Real faults, made in a forked child: mounts live in the child's own mount
// namespace and vanish with it, and dropped privileges stay with it. The
// child reports what it saw as "key=value" lines.
class SaveFaultTest : public SafeFileTest {
protected:
    void SetUp() override {
        SafeFileTest::SetUp();
        fs::remove_all(folder_);
        folder_ = fs::temp_directory_path() / ("chomaru-save-fault-" + std::to_string(getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = folder_ / data_file_name;
    }

    using Report = ChildReport;
    static Report run_in_child(const std::function<Report()>& body) { return chomaru::run_in_child(body); }

    // A private mount namespace, so that mounts neither leak out nor outlive
    // the child; an empty text when mounting is permitted.
    static std::string private_mounts() {
        if (unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("mount: ") + std::strerror(errno);
        return "";
    }

    // A portfolio whose file is about `stocks` × 5.7 KB.
    static std::unique_ptr<Portfolio> portfolio_of(int32_t stocks) { return numbered_portfolio(stocks, max_records); }

    // Saves over `previous` and reports the error and what is left.
    Report save_and_report(const std::string& previous, Portfolio& portfolio) const {
        Report report;
        try {
            save_data_file(target_, portfolio);
            report["saved"] = "yes";
        } catch (const SaveError& e) {
            report["error"] = std::to_string(e.error_number);
            report["message"] = e.what();
        }
        const auto content = read_whole_file(target_);
        report["intact"] = content && *content == previous ? "yes" : "no";
        report["files"] = std::to_string(files_in_folder());
        return report;
    }

    static void expect_refused(const Report& report, int error_number, const fs::path& target) {
        EXPECT_EQ(report.count("failed"), 0u) << report.at("failed");
        EXPECT_EQ(report.count("saved"), 0u);
        EXPECT_EQ(report.count("error") ? report.at("error") : "", std::to_string(error_number));
        const std::string message = report.count("message") ? report.at("message") : "";
        EXPECT_NE(message.find(target.string()), std::string::npos) << message;
        EXPECT_NE(message.find(describe_error(error_number)), std::string::npos) << message;
        EXPECT_EQ(report.count("intact") ? report.at("intact") : "", "yes");
    }
};

TEST_F(SaveFaultTest, AFullDiskKeepsThePreviousFile) {
    // A 64 KB disk: a save far larger than the disk, and a small save onto a
    // disk that another file has filled to its last page.
    const struct {
        int32_t old_stocks;
        bool fill_up;
        int32_t new_stocks;
    } cases[] = {{1, false, 40}, {5, true, 2}};
    for (const auto& c : cases) {
        const Report report = run_in_child([&]() -> Report {
            if (const std::string why = private_mounts(); !why.empty()) return {{"skip", why}};
            if (mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0)
                return {{"skip", std::string("mount tmpfs: ") + std::strerror(errno)}};
            const std::string previous = format_data_file(*portfolio_of(c.old_stocks));
            write_file_atomically(target_, previous);
            const size_t page = 4096;
            const size_t used = (previous.size() + page - 1) / page * page;
            if (c.fill_up) write_file_atomically(folder_ / "filler", std::string(64 * 1024 - used - page, 'f'));
            Report r = save_and_report(previous, *portfolio_of(c.new_stocks));
            // The failed save left nothing behind: the space it took is free
            // again for the next save.
            if (c.fill_up) fs::remove(folder_ / "filler");
            auto small = portfolio_of(2);
            save_data_file(target_, *small);
            r["later"] = read_whole_file(target_) == format_data_file(*small) ? "saved" : "lost";
            return r;
        });
        if (report.count("skip")) GTEST_SKIP() << "cannot mount a small disk: " << report.at("skip");
        expect_refused(report, ENOSPC, target_);
        EXPECT_EQ(report.at("files"), c.fill_up ? "2" : "1") << "the temporary file was left behind";
        EXPECT_EQ(report.at("later"), "saved");
    }
}

TEST_F(SaveFaultTest, AReadOnlyFolderKeepsThePreviousFile) {
    const std::string previous = format_data_file(*portfolio_of(1));
    write_file_atomically(target_, previous);

    const Report read_only_mount = run_in_child([&]() -> Report {
        if (const std::string why = private_mounts(); !why.empty()) return {{"skip", why}};
        if (mount(folder_.c_str(), folder_.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return {{"skip", std::string("bind mount: ") + std::strerror(errno)}};
        return save_and_report(previous, *portfolio_of(2));
    });
    if (read_only_mount.count("skip")) {
        std::printf("read-only mount skipped: %s\n", read_only_mount.at("skip").c_str());
    } else {
        expect_refused(read_only_mount, EROFS, target_);
        EXPECT_EQ(read_only_mount.at("files"), "1");
    }

    // Root ignores the folder's mode; a child that drops to nobody does not.
    const Report unprivileged = run_in_child([&]() -> Report {
        if (chmod(folder_.c_str(), 0555) != 0) return {{"failed", "chmod"}};
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
            return {{"failed", std::string("setresuid: ") + std::strerror(errno)}};
        return save_and_report(previous, *portfolio_of(2));
    });
    chmod(folder_.c_str(), 0755);
    expect_refused(unprivileged, EACCES, target_);
    EXPECT_EQ(unprivileged.at("files"), "1");
    EXPECT_EQ(read_whole_file(target_).value(), previous);
}

}  // namespace
}  // namespace chomaru
