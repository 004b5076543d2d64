#include "app/data_folder_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "store/data_folder.h"

#include "support/scripted_platform.h"

namespace chomaru {
namespace {

namespace fs = std::filesystem;

class DataFolderCheck : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("chomaru-data-check-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        // A file where a folder is needed: no user, not even root, can write there.
        std::ofstream(root_ / "file") << "x";
        blocked_ = root_ / "file" / "chomaru";
    }
    void TearDown() override {
        EXPECT_TRUE(platform_.script_done());
        fs::remove_all(root_);
    }

    fs::path root_;
    fs::path blocked_;
    ScriptedPlatform platform_;
};

TEST_F(DataFolderCheck, AWritableFolderIsUsedWithoutAWord) {
    EXPECT_EQ(writable_data_folder(platform_, root_ / "data"), root_ / "data");
    EXPECT_TRUE(fs::is_directory(root_ / "data"));
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(DataFolderCheck, TheUserIsToldThePathAndTheReasonAndMayQuit) {
    platform_.press(QMessageBox::Close);
    EXPECT_EQ(writable_data_folder(platform_, blocked_), std::nullopt);
    ASSERT_EQ(platform_.messages.size(), 1u);
    const ScriptedPlatform::Message& message = platform_.messages[0];
    EXPECT_TRUE(message.text.startsWith(QStringLiteral("データを保存するフォルダに書き込めません。\r\n") +
                                        QString::fromStdString(blocked_.string()) + QStringLiteral("\r\n（")))
        << message.text.toStdString();
    EXPECT_EQ(message.icon, QMessageBox::Critical);
    EXPECT_EQ(message.buttons, QMessageBox::Open | QMessageBox::Close);
    EXPECT_EQ(message.caption, "帳丸");
}

TEST_F(DataFolderCheck, AnotherFolderIsCheckedInTurnUntilOneCanBeWritten) {
    platform_.press(QMessageBox::Open).press(QMessageBox::Open).press(QMessageBox::Open);
    platform_.folder_choices = {blocked_, fs::path(), root_ / "chosen"};
    EXPECT_EQ(writable_data_folder(platform_, blocked_), root_ / "chosen");
    EXPECT_EQ(platform_.messages.size(), 3u);
}

TEST_F(DataFolderCheck, ARelativeHomeIsRefusedBeforeAnyFolderIsMade) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    const fs::path started_in = fs::current_path();
    fs::current_path(root_);
    setenv("HOME", "home", 1);
    EXPECT_EQ(writable_data_folder(platform_, user_data_folder(nullptr, "home")), std::nullopt);
    setenv("HOME", home.c_str(), 1);
    fs::current_path(started_in);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_TRUE(platform_.messages[0].text.contains("HOME=home")) << platform_.messages[0].text.toStdString();
    EXPECT_FALSE(fs::exists(root_ / "home"));
}

}  // namespace
}  // namespace chomaru
