// Where the data's files are written, and what the start does with links,
// pipes and other objects at their names, against the real file system.
#include <gtest/gtest.h>

#include <QAction>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "app/application.h"
#include "app/data_folder_check.h"
#include "document/recovery_file.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "support/child_process.h"
#include "support/main_window_fixture.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

namespace fs = std::filesystem;

std::string sample_file() { return format_data_file(*numbered_portfolio(2, 2)); }

using DataFilePlaces = MainWindowTest;

// Two data folders whose vavo_data.txt link to one file in S, as a
// synchronised folder set up twice gives; a run in this process holds A's.
TEST_F(DataFilePlaces, EveryNameOfOneFileMeetsOneLockAndOneRecoveryFile) {
    const fs::path shared = folder / "S", a = folder / "A", b = folder / "B", mounted = folder / "M";
    for (const fs::path& made : {shared, a, b, mounted}) fs::create_directories(made);
    write_file_atomically(shared / data_file_name, sample_file());
    fs::create_symlink(shared / data_file_name, a / data_file_name);
    fs::create_symlink("../S/vavo_data.txt", b / data_file_name);
    std::optional<InstanceLock> lock;
    ASSERT_TRUE(take_lock(platform, lock, a / data_file_name));
    const ChildReport other_run = run_in_child([&]() -> ChildReport {
        ChildReport held;
        if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
            mount(shared.c_str(), mounted.c_str(), nullptr, MS_BIND, nullptr) == 0)
            held["bind mount"] = "";
        for (const fs::path& name : {b, folder / "B/..//A", shared, mounted}) {
            if (name == mounted && !held.count("bind mount")) continue;
            held[name.string()] = InstanceLock(final_target(name / data_file_name).parent_path()).state() ==
                                          InstanceLock::State::held_elsewhere
                                      ? "held"
                                      : "taken";
        }
        return held;
    });
    EXPECT_EQ(other_run.count("failed"), 0u);
    for (const auto& [name, state] : other_run) EXPECT_TRUE(name == "bind mount" || state == "held") << name;
    EXPECT_EQ(recovery_file_path(a / data_file_name), fs::canonical(shared) / "vavo_data_recovery.txt");
    EXPECT_EQ(recovery_file_path(b / data_file_name), recovery_file_path(a / data_file_name));
}

TEST_F(DataFilePlaces, AFolderGivenInShiftJisBytesIsThatFolder) {
    const fs::path data = folder / "archive" / utf8_to_cp932("株式");
    fs::create_directories(data);
    write_file_atomically(data / data_file_name, sample_file());
    EXPECT_TRUE(run_program_until(CHOMARU_EXECUTABLE, {"--data-dir", data.native()}, folder, data / ".chomaru.lock"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "archive"), {}), 1);
    EXPECT_EQ(read_whole_file(data / data_file_name), sample_file());
}

TEST_F(DataFilePlaces, ALinkAtTheRecoveryNameIsReplacedAndWhereItLedStaysEmpty) {
    write_data_file(sample_file());
    fs::permissions(data_file(), fs::perms(0640));
    const fs::path outside = folder / "documents" / "elsewhere.txt";
    const fs::path recovery = platform.data / "vavo_data_recovery.txt";
    fs::create_symlink(outside, recovery);
    start();
    platform.answer("9");
    window->change_haitou->trigger();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(recovery)));
    EXPECT_EQ(permissions_of(recovery), 0640u);
    window->show();
    window->close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(recovery)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
}

TEST_F(DataFilePlaces, ALinkLeadingNowhereAsksAndQuitsUnlessTheUserStartsANewFileThere) {
    const fs::path sync = folder / "sync";
    fs::create_directories(sync);
    fs::create_symlink(sync / data_file_name, data_file());
    platform.press(QMessageBox::No);
    EXPECT_FALSE(data_file_usable(platform, data_file()));
    ASSERT_EQ(platform.messages.size(), 1u);
    const auto& question = platform.messages[0];
    EXPECT_TRUE(question.text.contains(qt_path(data_file())));
    EXPECT_TRUE(question.text.contains(qt_path(fs::canonical(sync) / data_file_name)));
    EXPECT_EQ(question.default_button, QMessageBox::No);
    EXPECT_TRUE(fs::is_empty(sync));

    platform.press(QMessageBox::Yes);
    EXPECT_TRUE(data_file_usable(platform, data_file()));
    start_with_stock();
    window->show();
    window->close();
    EXPECT_TRUE(fs::is_symlink(data_file()));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(sync / data_file_name)));

    // Where not even the link's folder is there, the user is only told.
    fs::remove(data_file());
    fs::create_symlink(folder / "unmounted" / data_file_name, data_file());
    EXPECT_FALSE(data_file_usable(platform, data_file()));
    EXPECT_EQ(platform.messages.back().buttons, QMessageBox::Ok);
}

TEST_F(DataFilePlaces, APipeADeviceOrAFolderAtEitherNameIsRefusedWithItsName) {
    const struct {
        const char* kind;
        std::function<int(const fs::path&)> make;
    } objects[] = {
        {"名前付きパイプ", [](const fs::path& p) { return mkfifo(p.c_str(), 0600); }},
        {"デバイス", [](const fs::path& p) { return mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)); }},
        {"フォルダ", [](const fs::path& p) { return mkdir(p.c_str(), 0700); }},
    };
    for (const fs::path& name : {data_file(), platform.data / "vavo_data_recovery.txt"}) {
        for (const auto& object : objects) {
            ASSERT_EQ(object.make(name), 0);
            platform.messages.clear();
            EXPECT_FALSE(data_file_usable(platform, data_file()));
            ASSERT_EQ(platform.messages.size(), 1u);
            const QString text = platform.messages[0].text;
            EXPECT_TRUE(text.contains(qt_path(name)) && text.contains(object.kind)) << text.toStdString();
            // Should one appear after the check, reading it never waits.
            const LoadStatus read = chomaru::read_data_file(data_file(), *portfolio).status;
            EXPECT_EQ(read, name == data_file() ? LoadStatus::unreadable : LoadStatus::missing);
            fs::remove(name);
        }
    }
}

TEST_F(DataFilePlaces, AHardLinkedFileIsToldOnceAndTheSaveStillLandsUnderItsName) {
    write_data_file(sample_file());
    const fs::path other_name = folder / "documents" / "copy.txt";
    fs::create_hard_link(data_file(), other_name);
    EXPECT_TRUE(data_file_usable(platform, data_file()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(qt_path(data_file())));
    EXPECT_TRUE(platform.messages[0].text.contains("ほかにも 1 個の名前")) << platform.messages[0].text.toStdString();
    start();
    stock().dividend = 5;
    window->show();
    window->close();
    EXPECT_EQ(platform.messages.size(), 1u);
    Portfolio saved;
    ASSERT_EQ(parse_data_file(read_data_file(), saved), LoadStatus::loaded);
    EXPECT_EQ(saved.current().dividend, 5);
    EXPECT_EQ(read_whole_file(other_name), sample_file());
}

}  // namespace
}  // namespace chomaru
