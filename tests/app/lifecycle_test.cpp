#include "app/lifecycle.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <unistd.h>

#include "app/application.h"
#include "app/instance_lock.h"
#include "app/read_me_dialog.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

std::string two_stock_file() {
    std::string s;
    for (const char* line : {"1",        "1",
                             "",         "1111",
                             "トヨタ",   "50",
                             "0",        "0",
                             "0",        "0",
                             "0",        "0",
                             "2222",     "ソニー",
                             "30",       "1",
                             "0",        "5000",
                             "100",      "0",
                             "0.006",    "2024/01/05 5000 100 500000",
                             "1000000",  "0.01115",
                             "0",        "5000000",
                             "0.009",    "2500",
                             "10000000", "0.007",
                             "12500",    "30000000",
                             "0.00575",  "25000",
                             "50000000", "0.00375",
                             "85000",    "0",
                             "0",        "272500",
                             "2500",     "0"})
        s += utf8_to_cp932(line) + "\r\n";
    return s;
}

size_t line_count(const std::string& bytes) {
    size_t n = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == '\r' && bytes[i + 1] == '\n') ++n;
    return n;
}

using StartUp = MainWindowTest;

TEST_F(StartUp, AValidFileShowsTheStockSelectedAtTheLastExit) {
    write_data_file(two_stock_file());
    start();
    EXPECT_TRUE(platform.prompts.empty());
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_EQ(window->infor_fig->text(0, 1), "2222");
    EXPECT_EQ(window->infor_fig->text(1, 1), "ソニー");
    EXPECT_EQ(window->infor_fig->text(2, 1), "30");
    EXPECT_EQ(window->anal_fig->text(0, 1), "100");
    EXPECT_EQ(window->anal_fig->text(1, 1), "¥5,000");
    EXPECT_EQ(window->buy_fig->text(1, 1), "2024/01/05");
    EXPECT_EQ(window->buy_fig->text(1, 4), "¥500,000");
    ASSERT_EQ(window->Combo1->count(), 2);
    EXPECT_EQ(window->Combo1->itemText(0), "トヨタ");
    EXPECT_EQ(window->Combo1->currentText(), "ソニー");
}

TEST_F(StartUp, NoFileWelcomesAndAsksForTheFirstStock) {
    platform.on_dialog([](QDialog& d) {
        auto& welcome = dynamic_cast<ReadMeDialog&>(d);
        EXPECT_EQ(welcome.windowTitle(), "はじめまして");
        EXPECT_EQ(welcome.Command1->text(), "OK");
        welcome.Command1->click();
    });
    platform.answer("7203").answer("トヨタ自動車");
    start();
    ASSERT_EQ(platform.dialogs, std::vector<QString>{"Form_read_me"});
    ASSERT_EQ(platform.prompts.size(), 2u);
    EXPECT_EQ(platform.prompts[0].caption, "銘柄のコードを入れて下さい");
    EXPECT_EQ(platform.prompts[0].message, "例:1234");
    EXPECT_EQ(platform.prompts[0].default_text, "");
    EXPECT_EQ(platform.prompts[1].caption, "銘柄を入れて下さい");
    EXPECT_EQ(platform.prompts[1].message, "例:日本製鉄");
    EXPECT_EQ(window->infor_fig->text(0, 1), "7203");
    EXPECT_EQ(window->infor_fig->text(1, 1), "トヨタ自動車");
    EXPECT_EQ(portfolio->fees, FeeTable::defaults());

    ASSERT_EQ(shut_down(*window), Shutdown::saved);
    const std::string saved = read_data_file();
    EXPECT_EQ(line_count(saved), 32u);
    EXPECT_EQ(saved.substr(0, 6), "0\r\n0\r\n");
}

TEST_F(StartUp, TheWelcomeTextHasItsLineBreaks) {
    EXPECT_EQ(ReadMeDialog::welcome_text.count("\n\n"), 3);
    EXPECT_EQ(ReadMeDialog::welcome_text.count("\n"), 9);
    EXPECT_TRUE(ReadMeDialog::welcome_text.startsWith("帳丸をインストールして頂き、有難うございます。\n\n帳丸は、"));
    EXPECT_TRUE(ReadMeDialog::welcome_text.endsWith("計算します。\n\n詳しくは、ヘルプをご覧下さい。"));
}

TEST_F(StartUp, AnEmptyFileIsAFirstRunAndBothPromptsMayBeCancelled) {
    write_data_file("");
    platform.cancel().cancel();
    start();
    EXPECT_EQ(platform.dialogs.size(), 1u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(portfolio->last_stock, 0);
    EXPECT_EQ(stock().stock_code, "");
    EXPECT_EQ(stock().stock_name, "");
    EXPECT_EQ(stock().buy_count, 0);
    ASSERT_EQ(shut_down(*window), Shutdown::saved);
    EXPECT_EQ(line_count(read_data_file()), 32u);
}

TEST_F(StartUp, RefusedFirstStockTextIsAskedForAgainUntilCancel) {
    platform.answer("12\r\n34").answer("\u00A51234").answer("한국").cancel();
    start();
    ASSERT_EQ(platform.prompts.size(), 4u);
    EXPECT_EQ(platform.prompts[1].caption, "銘柄のコードを入れて下さい");
    EXPECT_EQ(platform.prompts[3].caption, "銘柄を入れて下さい");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "改行は使えません");
    EXPECT_EQ(platform.messages[1].text, "使えない文字が含まれています：한국");
    EXPECT_EQ(platform.messages[1].caption, "帳丸");
    EXPECT_EQ(stock().stock_code, "￥1234");
    EXPECT_EQ(stock().stock_name, "");
}

TEST_F(StartUp, AnUnreadableFileIsKeptAsideBeforeTheFirstRun) {
    const std::string damaged = "0\r\n0\r\n\r\n1234\r\n";
    write_data_file(damaged);
    platform.answer("1").answer("A");
    start();
    const auto copy = platform.data / "vavo_data_unreadable_20261207_093015.txt";
    ASSERT_EQ(read_whole_file(copy), damaged);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "帳丸");
    EXPECT_TRUE(platform.messages[0].text.contains("vavo_data_unreadable_20261207_093015.txt"));
    EXPECT_EQ(platform.dialogs.size(), 1u);  // then the welcome

    // A second unreadable start in the same second does not overwrite the first copy.
    ASSERT_EQ(shut_down(*window), Shutdown::saved);
    write_data_file("garbage");
    platform.answer("2").answer("B");
    start();
    EXPECT_EQ(read_whole_file(copy), damaged);
    EXPECT_EQ(read_whole_file(platform.data / "vavo_data_unreadable_20261207_093015_2.txt"), "garbage");
}

TEST_F(StartUp, WithoutADataFileNoCopyIsMade) {
    platform.answer("1").answer("A");
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(platform.data), {}), 0);
}

using Exit = MainWindowTest;

TEST_F(Exit, ARunThatChangesNothingWritesTheSameFile) {
    write_data_file(two_stock_file());
    start();
    std::filesystem::remove(data_file());
    window->show();
    window->close();
    EXPECT_EQ(read_data_file(), two_stock_file());
}

TEST_F(Exit, TheMenuItemAndTheTitleBarCloseTheSameWay) {
    write_data_file(two_stock_file());
    start();
    window->show();
    window->suspend->trigger();
    EXPECT_FALSE(window->isVisible());
    const std::string by_menu = read_data_file();
    std::filesystem::remove(data_file());

    MainWindowTest::TearDown();
    SetUp();
    write_data_file(two_stock_file());
    start();
    window->show();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(read_data_file(), by_menu);
    EXPECT_EQ(by_menu, two_stock_file());
}

TEST_F(Exit, ASaveFailureKeepsTheProgramOpenUntilTheDataIsSavedOrDiscarded) {
    start_with_stock();
    window->show();
    std::filesystem::remove_all(platform.data);  // the folder is gone: the save fails

    platform.press(QMessageBox::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "帳丸");
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(platform.messages[0].text.contains("vavo_data.txt"));

    // Retry fails again; then the data goes to another file.
    const auto elsewhere = folder / "documents" / "saved.txt";
    platform.save_choices.push_back(elsewhere);
    platform.press(QMessageBox::Retry).press(QMessageBox::Save);
    window->close();
    EXPECT_FALSE(window->isVisible());
    Portfolio back;
    EXPECT_EQ(load_data_file(elsewhere, back), LoadStatus::loaded);
    EXPECT_EQ(back.stocks[0].stock_name, "新日鉄");
}

TEST_F(Exit, DiscardingNeedsAConfirmation) {
    start_with_stock();
    std::filesystem::remove_all(platform.data);
    platform.press(QMessageBox::Discard).press(QMessageBox::No).press(QMessageBox::Discard).press(QMessageBox::Yes);
    EXPECT_EQ(shut_down(*window), Shutdown::discarded);
    EXPECT_EQ(platform.messages.size(), 4u);
}

using Recovery = MainWindowTest;

std::filesystem::path recovery_file(const ScriptedPlatform& platform) {
    return platform.data / "vavo_data_recovery.txt";
}

TEST_F(Recovery, EveryChangingCommandLeavesTheRunsDataAndASavedExitRemovesIt) {
    write_data_file(two_stock_file());
    start();
    window->show();
    window->version_key->trigger();  // a command that changes nothing
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));

    platform.answer("77");
    window->change_haitou->trigger();
    Portfolio recovered;
    ASSERT_EQ(parse_data_file(read_whole_file(recovery_file(platform)).value(), recovered), LoadStatus::loaded);
    EXPECT_EQ(recovered.stocks[1].dividend, 77);

    window->close();
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));
    EXPECT_NE(read_data_file(), two_stock_file());
}

// The state a killed run leaves: the saved file and a newer recovery file.
class RecoveryAfterACrash : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        write_data_file(two_stock_file());
        auto changed = Portfolio::create();
        ASSERT_EQ(parse_data_file(two_stock_file(), *changed), LoadStatus::loaded);
        changed->stocks[1].stock_name = "ソニーグループ";
        recovered_bytes = format_data_file(*changed);
        write_file_atomically(recovery_file(platform), recovered_bytes);
    }
    std::string recovered_bytes;
};

TEST_F(RecoveryAfterACrash, YesRestoresTheRunAndKeepsTheSavedFileAside) {
    platform.press(QMessageBox::Yes);
    start();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, "帳丸");
    EXPECT_TRUE(platform.messages[0].text.startsWith("前回、帳丸は保存しないまま終了しました。"));
    EXPECT_EQ(window->infor_fig->text(1, 1), "ソニーグループ");
    EXPECT_EQ(read_whole_file(platform.data / "vavo_data_before_recovery_20261207_093015.txt"), two_stock_file());

    window->show();
    window->close();
    EXPECT_EQ(read_data_file(), recovered_bytes);
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));
}

TEST_F(RecoveryAfterACrash, NoKeepsTheSavedFileAndTheRunAside) {
    platform.press(QMessageBox::No);
    start();
    EXPECT_EQ(window->infor_fig->text(1, 1), "ソニー");
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));
    EXPECT_EQ(read_whole_file(platform.data / "vavo_data_recovery_20261207_093015.txt"), recovered_bytes);
}

TEST_F(RecoveryAfterACrash, ARecoveryFileLikeTheSavedOneIsDroppedWithoutAQuestion) {
    write_file_atomically(recovery_file(platform), two_stock_file());
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));
}

// A run over a file in another layout (LF line ends) that changed nothing
// may leave the program's own layout behind: it holds the same data.
TEST_F(RecoveryAfterACrash, ARecoveryFileWithTheSavedDataInTheProgramsLayoutIsDroppedToo) {
    std::string lf_file = two_stock_file();
    for (size_t at; (at = lf_file.find("\r\n")) != std::string::npos;) lf_file.erase(at, 1);
    write_data_file(lf_file);
    write_file_atomically(recovery_file(platform), two_stock_file());
    start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(recovery_file(platform)));
    EXPECT_EQ(window->infor_fig->text(1, 1), "ソニー");
}

TEST_F(RecoveryAfterACrash, AnUnreadableRecoveryFileIsKeptAside) {
    write_file_atomically(recovery_file(platform), "0\r\nx\r\n");
    start();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("vavo_data_recovery_unreadable_20261207_093015.txt"));
    EXPECT_EQ(window->infor_fig->text(1, 1), "ソニー");
}

// The whole start as the program makes it: the file is read on a thread of
// its own while the window is built, the window shows what was read, and
// ending without a command leaves the file as it was.
TEST(WholeStart, TheWindowShowsTheFileReadWhileItWasBuilt) {
    const auto folder = std::filesystem::temp_directory_path() / ("chomaru-start-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    write_file_atomically(folder / "vavo_data.txt", two_stock_file());
    {
        ChomaruApp chomaru(static_cast<QApplication&>(*QCoreApplication::instance()));
        ASSERT_TRUE(chomaru.open(folder));
        StockMain& window = chomaru.window();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.infor_fig->text(1, 1), "ソニー");
        EXPECT_EQ(window.buy_fig->text(1, 4), "¥500,000");
        EXPECT_EQ(window.Combo1->count(), 2);
    }
    EXPECT_EQ(read_whole_file(folder / "vavo_data.txt"), two_stock_file());
    std::filesystem::remove_all(folder);
}

TEST(InstanceLock, ASecondRunForTheSameFolderIsRefused) {
    const auto folder = std::filesystem::temp_directory_path() / ("chomaru-lock-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        InstanceLock first(folder);
        EXPECT_TRUE(first.acquired());
        InstanceLock second(folder);
        EXPECT_FALSE(second.acquired());
    }
    InstanceLock again(folder);
    EXPECT_TRUE(again.acquired());
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace chomaru
