#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "store/portfolio.h"
#include "support/scripted_platform.h"
#include "ui/flex_grid.h"
#include "views/main_window.h"

namespace chomaru {

// A real main window over a scripted platform, with a program folder and a
// documents folder of its own in the temporary directory.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the data file (raw bytes) before the start.
    void write_data_file(const std::string& bytes);
    std::string read_data_file() const;
    // Runs the start-up; the window is not shown.
    void start();
    // A started window over an empty first-run portfolio with one named stock.
    void start_with_stock(const QString& code = QStringLiteral("1234"), const QString& name = QStringLiteral("新日鉄"));

    // Exactly one message box was shown: this text, the OK button alone, the
    // icon and the caption.
    void expect_one_message(const QString& text, QMessageBox::Icon icon = QMessageBox::Critical,
                            const QString& caption = QStringLiteral("帳丸"));

    std::filesystem::path data_file() const;
    // The document's data itself, for setting up what a test needs.
    Stock& stock() { return portfolio->current(); }
    QStringList column(FlexGrid* grid, int col) const;

    std::filesystem::path folder;
    ScriptedPlatform platform;
    std::unique_ptr<StockMain> window;
    std::unique_ptr<Document> document;
    Portfolio* portfolio = nullptr;
};

}  // namespace chomaru
