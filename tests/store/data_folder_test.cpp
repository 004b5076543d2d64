#include "store/data_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace chomaru {
namespace {

namespace fs = std::filesystem;

TEST(UserDataFolder, FollowsXdgDataHomeOnlyWhenItIsAnAbsolutePath) {
    EXPECT_EQ(user_data_folder("/srv/data", "/home/sato"), fs::path("/srv/data/chomaru"));
    EXPECT_EQ(user_data_folder(nullptr, "/home/sato"), fs::path("/home/sato/.local/share/chomaru"));
    EXPECT_EQ(user_data_folder("", "/home/sato"), fs::path("/home/sato/.local/share/chomaru"));
    EXPECT_EQ(user_data_folder("data", "/home/sato"), fs::path("/home/sato/.local/share/chomaru"));
    // Without HOME the password database names the home folder.
    EXPECT_TRUE(user_data_folder(nullptr, "").is_absolute());
}

TEST(SystemPrefix, ComparesWholeFolderNames) {
    for (const char* inside :
         {"/usr", "/usr/bin", "/usr/local/bin", "/opt/chomaru", "/snap/chomaru/12/bin", "/usr/./bin/"})
        EXPECT_TRUE(inside_system_prefix(inside)) << inside;
    for (const char* outside : {"/home/sato/bin", "/usrlocal/bin", "/optional", "/usr/../home/sato", "/", "/tmp/snap"})
        EXPECT_FALSE(inside_system_prefix(outside)) << outside;
}

class DataFolderChoice : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("chomaru-data-folder-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        program_ = root_ / "portable";
        user_ = root_ / "home" / ".local" / "share" / "chomaru";
        fs::create_directories(program_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path program_;
    fs::path user_;
};

TEST_F(DataFolderChoice, TheRequestedFolderComesFirst) {
    std::ofstream(program_ / "vavo_data.txt") << "0\r\n";
    EXPECT_EQ(choose_data_folder(root_ / "asked", program_, user_), root_ / "asked");
}

// A copy put in ~/.local/bin, which the user can write, is not portable:
// only its data file or a .portable file beside it make it so.
TEST_F(DataFolderChoice, ACopyIsPortableOnlyWithItsDataFileOrAPortableFile) {
    const fs::path bin = root_ / "home" / ".local" / "bin";
    fs::create_directories(bin);
    EXPECT_EQ(choose_data_folder(std::nullopt, bin, user_), user_);
    EXPECT_TRUE(fs::is_empty(bin));
    std::ofstream(bin / ".portable");
    EXPECT_EQ(choose_data_folder(std::nullopt, bin, user_), bin);
    std::ofstream(program_ / "vavo_data.txt") << "0\r\n";
    EXPECT_EQ(choose_data_folder(std::nullopt, program_, user_), program_);
    EXPECT_EQ(choose_data_folder(std::nullopt, "/usr/bin", user_), user_);
}

TEST_F(DataFolderChoice, AProgramFolderThatCannotBeWrittenLeavesTheDataToTheUserFolder) {
    fs::remove(program_);
    EXPECT_EQ(choose_data_folder(std::nullopt, program_, user_), user_);
    // An unknown program folder is not the current folder.
    EXPECT_EQ(choose_data_folder(std::nullopt, fs::path(), user_), user_);
}

TEST(DataFolderProblem, CreatesTheMissingFoldersForTheUserAlone) {
    const fs::path home = fs::temp_directory_path() / ("chomaru-data-home-" + std::to_string(getpid()));
    fs::remove_all(home);
    const fs::path folder = home / ".local" / "share" / "chomaru";
    EXPECT_EQ(data_folder_problem(folder), std::nullopt);
    for (const fs::path& made : {home, home / ".local", home / ".local" / "share", folder}) {
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
    EXPECT_TRUE(fs::is_empty(folder));
    fs::remove_all(home);
}

TEST(DataFolderProblem, AFileInThePlaceOfTheFolderIsAProblem) {
    const fs::path file = fs::temp_directory_path() / ("chomaru-data-file-" + std::to_string(getpid()));
    std::ofstream(file) << "x";
    EXPECT_NE(data_folder_problem(file), std::nullopt);
    EXPECT_NE(data_folder_problem(file / "chomaru"), std::nullopt);
    fs::remove(file);
}

TEST(DataFolderProblem, ANameTooLongIsRefusedBeforeAnyFolderIsMade) {
    const fs::path base = fs::temp_directory_path() / ("chomaru-data-long-" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::path deep = base;
    for (int i = 0; i < 20; ++i) deep /= std::string(250, 'd');  // 5,000 bytes: more than PATH_MAX
    EXPECT_NE(data_folder_problem(deep), std::nullopt);
    EXPECT_NE(data_folder_problem(base / std::string(256, 'n')), std::nullopt);
    EXPECT_FALSE(fs::exists(base));
}

TEST(DataFolderProblem, AFolderOfTheSystemIsOneThatCannotBeWrittenNotOneMissing) {
    const std::optional<std::string> problem = data_folder_problem("/proc");
    ASSERT_NE(problem, std::nullopt);
    EXPECT_NE(problem, "フォルダが見つかりません");
}

}  // namespace
}  // namespace chomaru
