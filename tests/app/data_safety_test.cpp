// Start-up and recovery against the real file system: locks that cannot be
// taken, files read only in part, copies and their permissions, a recovery
// file that cannot be written, and folder names that are not UTF-8.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "app/application.h"
#include "app/instance_lock.h"
#include "app/lifecycle.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "support/child_process.h"
#include "support/main_window_fixture.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

namespace fs = std::filesystem;

std::string sample_file(int32_t stocks) { return format_data_file(*numbered_portfolio(stocks, 2)); }

mode_t mode_of(const fs::path& file) { return permissions_of(file).value_or(0); }

using Lock = MainWindowTest;

TEST_F(Lock, OnlyAnotherRunGivesAlreadyRunningAndEveryOtherFailureRefusesTheFolder) {
    const fs::path lock_folder = platform.data;
    std::optional<InstanceLock> first, second;
    ASSERT_TRUE(take_lock(platform, first, data_file()));
    EXPECT_FALSE(take_lock(platform, second, data_file()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "帳丸は既に起動しています。");
    first.reset();
    second.reset();
    platform.messages.clear();

    // A directory at the lock's name.
    fs::remove(lock_folder / ".chomaru.lock");
    fs::create_directory(lock_folder / ".chomaru.lock");
    EXPECT_FALSE(take_lock(platform, first, data_file()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(platform.messages[0].text.contains(qt_path(lock_folder / ".chomaru.lock")));
    EXPECT_TRUE(platform.messages[0].text.contains("同じ名前のフォルダがあります"));

    // A link is never followed, so the file it names is not created.
    fs::remove(lock_folder / ".chomaru.lock");
    fs::create_symlink(lock_folder / "elsewhere", lock_folder / ".chomaru.lock");
    EXPECT_FALSE(take_lock(platform, first, data_file()));
    EXPECT_FALSE(fs::exists(lock_folder / "elsewhere"));
    EXPECT_EQ(platform.messages.size(), 2u);
}

TEST(InstanceLockFailure, ALockFileOfAnotherAccountIsNotTaken) {
    const fs::path folder = fs::temp_directory_path() / ("chomaru-foreign-lock-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    { InstanceLock root_run(folder); }  // left behind by a run under sudo: root's, 0600
    fs::permissions(folder, fs::perms(0777));
    const ChildReport report = run_in_child([&]() -> ChildReport {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0))
            return {{"failed", std::string("setresuid: ") + std::strerror(errno)}};
        InstanceLock lock(folder);
        return {{"state", lock.state() == InstanceLock::State::failed ? "failed" : "taken"},
                {"error", std::to_string(lock.error_number())}};
    });
    fs::remove_all(folder);
    EXPECT_EQ(report.count("failed"), 0u) << report.at("failed");
    EXPECT_EQ(report.at("state"), "failed");
    EXPECT_EQ(report.at("error"), std::to_string(EACCES));
}

using DamagedFile = MainWindowTest;

TEST_F(DamagedFile, AFileNotReadWholeIsKeptByteForByteAndTheUserIsToldWhatWasNotRead) {
    std::string bytes = sample_file(3);  // 3 + 3 × 11 + 20 = 56 lines
    bytes[0] = '0';                      // the first line says one stock
    write_data_file(bytes);
    fs::permissions(data_file(), fs::perms(0600));
    start();
    const fs::path copy = platform.data / "vavo_data_damaged_20261207_093015.txt";
    EXPECT_EQ(read_whole_file(copy), bytes);
    EXPECT_EQ(mode_of(copy), 0600u);
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_EQ(platform.messages[0].caption, "帳丸");
    EXPECT_TRUE(text.contains("42 行を読み込めませんでした（15 行目から 56 行目まで）")) << text.toStdString();
    EXPECT_TRUE(text.contains("手数料")) << text.toStdString();
    EXPECT_TRUE(text.contains("vavo_data_damaged_20261207_093015.txt"));
    EXPECT_TRUE(platform.dialogs.empty());  // no welcome: the first stock was read
    EXPECT_EQ(portfolio->last_stock, 0);
}

// A setting the user made is never reset silently: a rate that does not
// read is reported, the file is kept aside as it was, and the rate that
// does read is taken, also in full-width digits.
TEST_F(DamagedFile, ASettingThatDoesNotReadIsReportedAndTheFileKeptAside) {
    const std::string bytes = sample_file(3) + utf8_to_cp932("消費税率=１０\r\n売却時の税率=10%\r\n");
    write_data_file(bytes);
    start();
    EXPECT_EQ(read_whole_file(platform.data / "vavo_data_damaged_20261207_093015.txt"), bytes);
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_TRUE(text.contains("読み込めなかった設定の行があります（58 行目）")) << text.toStdString();
    EXPECT_EQ(portfolio->fees.consumption_tax, 1000);
    EXPECT_EQ(portfolio->fees.sale_levy, 10500);
}

TEST_F(DamagedFile, AFileReadWholeMakesNoCopyAndNoMessage) {
    write_data_file(sample_file(3) + "\r\n");
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(platform.data), {}), 1);
}

// Fails every file the program creates whose name holds `part`.
class RefusingFileSystem : public FileSystem {
public:
    explicit RefusingFileSystem(std::string part, int error_number) : part_(std::move(part)), error_(error_number) {}
    int open(const char* path, int flags, mode_t mode) override {
        if (refusing && std::strstr(path, part_.c_str()) && (flags & O_CREAT)) {
            errno = error_;
            return -1;
        }
        return FileSystem::open(path, flags, mode);
    }
    bool refusing = true;

private:
    std::string part_;
    int error_;
};

TEST_F(DamagedFile, WithoutACopyTheProgramDoesNotStart) {
    std::string bytes = sample_file(2);
    bytes[0] = '0';
    write_data_file(bytes);
    RefusingFileSystem refusing("vavo_data_damaged_", ENOSPC);
    platform.files = &refusing;
    EXPECT_FALSE(start_up(*window, Portfolio::create()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(read_data_file(), bytes);
}

using RecoveryWrite = MainWindowTest;

TEST_F(RecoveryWrite, AFailureIsToldOncePerCauseAndAgainAfterItWorkedAgain) {
    write_data_file(sample_file(1));
    fs::permissions(data_file(), fs::perms(0600));
    start();
    RefusingFileSystem refusing("vavo_data_recovery", ENOSPC);
    platform.files = &refusing;
    window->show();

    // Each change is a new dividend typed into its prompt.
    const auto change_dividend = [this](const char* dividend) {
        platform.answer(dividend);
        window->change_haitou->trigger();
    };
    platform.press(QMessageBox::No);
    change_dividend("11");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text.left(platform.messages[0].text.indexOf("。") + 1),
              "復旧用ファイルを書けません：ディスクの空き容量が足りません。");
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Warning);

    change_dividend("12");
    EXPECT_EQ(platform.messages.size(), 1u);  // the same cause is not told again

    refusing.refusing = false;
    change_dividend("13");
    EXPECT_EQ(mode_of(platform.data / "vavo_data_recovery.txt"), 0600u);

    // Failing again after it worked: told again; this time the user saves.
    refusing.refusing = true;
    platform.press(QMessageBox::Yes);
    change_dividend("14");
    ASSERT_EQ(platform.messages.size(), 2u);
    Portfolio saved;
    ASSERT_EQ(parse_data_file(read_data_file(), saved), LoadStatus::loaded);
    EXPECT_EQ(saved.stocks[0].dividend, 14);
    EXPECT_FALSE(fs::exists(platform.data / "vavo_data_recovery.txt"));
}

TEST(ProgramFolder, AFolderNamedInShiftJisIsFoundAsItsBytes) {
    const fs::path base = fs::temp_directory_path() / ("chomaru-sjis-" + std::to_string(getpid()));
    const fs::path folder = base / utf8_to_cp932("帳丸フォルダ");
    fs::remove_all(base);
    fs::create_directories(folder);
    fs::create_symlink(folder / "chomaru", base / "exe");
    EXPECT_EQ(executable_folder(base / "exe"), folder);
    EXPECT_EQ(qt_path(folder.filename()), "帳丸フォルダ");
    EXPECT_TRUE(executable_folder(base / "missing").empty());
    fs::remove_all(base);
}

}  // namespace
}  // namespace chomaru
