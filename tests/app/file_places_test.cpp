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
