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
#include "app/recovery_file.h"
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
    stock().dividend = 9;
    window->version_key->trigger();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(recovery)));
    EXPECT_EQ(permissions_of(recovery), 0640u);
    window->show();
    window->close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(recovery)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
}

}  // namespace
}  // namespace chomaru
