#include "support/main_window_fixture.h"

#include <unistd.h>

#include "app/lifecycle.h"
#include "store/data_file.h"
#include "store/safe_file.h"

namespace chomaru {

void MainWindowTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() / ("chomaru-gui-" + std::to_string(getpid()) + "-" +
                                                       std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "program");
    std::filesystem::create_directories(folder / "data");
    std::filesystem::create_directories(folder / "documents");
    platform.program = folder / "program";
    platform.data = folder / "data";
    platform.documents = folder / "documents";
    window = std::make_unique<StockMain>(platform);
    // Until start() reads the data file the window shows one blank stock.
    auto blank = Portfolio::create();
    portfolio = blank.get();
    document = std::make_unique<Document>(std::move(blank));
    window->attach(*document);
}

void MainWindowTest::TearDown() {
    EXPECT_TRUE(platform.script_done()) << "scripted answers left over";
    window.reset();
    document.reset();
    std::filesystem::remove_all(folder);
}

std::filesystem::path MainWindowTest::data_file() const { return platform.data / data_file_name; }

void MainWindowTest::write_data_file(const std::string& bytes) { write_file_atomically(data_file(), bytes); }

std::string MainWindowTest::read_data_file() const { return read_whole_file(data_file()).value_or(std::string()); }

void MainWindowTest::start() {
    auto data = Portfolio::create();
    portfolio = data.get();
    document = start_up(*window, std::move(data));
    ASSERT_TRUE(document);
}

void MainWindowTest::start_with_stock(const QString& code, const QString& name) {
    platform.answer(code).answer(name);
    start();
    platform.prompts.clear();
    platform.dialogs.clear();
}

void MainWindowTest::expect_one_message(const QString& text, QMessageBox::Icon icon, const QString& caption) {
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, text);
    EXPECT_EQ(platform.messages[0].icon, icon);
    EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(platform.messages[0].caption, caption);
}

QStringList MainWindowTest::column(FlexGrid* grid, int col) const {
    QStringList texts;
    for (int r = 0; r < grid->rows(); ++r) texts << grid->text(r, col);
    return texts;
}

}  // namespace chomaru
