#include "reports/report_commands.h"

#include <QAction>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <functional>
#include <unistd.h>

#include "reports/portfolio_csv.h"
#include "reports/tax_csv.h"
#include "store/cp932.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"
#include "support/test_data.h"

namespace chomaru {
namespace {

std::string read_file(const std::filesystem::path& file) { return read_whole_file(file).value_or(std::string()); }

class ReportFiles : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        *portfolio = *report_test_portfolio();
        platform.clock = QDateTime(QDate(2004, 1, 5), QTime(23, 59, 59));
    }

    void expect_one_message(const QString& text, QMessageBox::Icon icon) {
        MainWindowTest::expect_one_message(text, icon, QStringLiteral("CSVファイルの出力"));
    }

    // The completion message's folder, as the user's documents folder would be named.
    QString in_documents(const char* rest) const { return qt_text(platform.documents.string()) + rest; }

    std::filesystem::path export_file() const { return platform.documents / "stc_2004_1_5.csv"; }
    std::filesystem::path tax_file() const { return platform.documents / "stc_2004_1_5_tax.csv"; }
};

TEST_F(ReportFiles, TheExportIsWrittenToTheDocumentsFolder) {
    write_file_atomically(export_file(), "an older export of the same day");
    window->m_csvf->trigger();
    EXPECT_EQ(read_file(export_file()), read_golden("portfolio_export.csv"));
    expect_one_message(in_documents("に stc_2004_1_5.csv を上書きしました\r\nEXCELで読めます"), QMessageBox::NoIcon);
}

TEST_F(ReportFiles, TheTaxFileIsWrittenToTheDocumentsFolder) {
    window->m_tax_file->trigger();
    EXPECT_EQ(read_file(tax_file()), read_golden("portfolio_tax.csv"));
    expect_one_message(in_documents("に stc_2004_1_5_tax.csv を作成しました\r\nEXCELで読めます"), QMessageBox::NoIcon);
    platform.messages.clear();
    window->m_tax_file->trigger();
    expect_one_message(in_documents("に stc_2004_1_5_tax.csv を上書きしました\r\nEXCELで読めます"),
                       QMessageBox::NoIcon);
}

TEST_F(ReportFiles, TheNamesComeFromTodaysDate) {
    platform.clock = QDateTime(QDate(2003, 8, 31), QTime(0, 0));
    window->m_csvf->trigger();
    window->m_tax_file->trigger();
    EXPECT_TRUE(std::filesystem::exists(platform.documents / "stc_2003_8_31.csv"));
    EXPECT_TRUE(std::filesystem::exists(platform.documents / "stc_2003_8_31_tax.csv"));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.contains("stc_2003_8_31_tax.csv"));
}

// The stock gets its heading and no rows; every other stock is written.
TEST_F(ReportFiles, ADateThatIsNotADateIsNamedAndTheTaxFileGoesOn) {
    portfolio->stocks[1].buys[0] = TradeRecord{"昨日", 1, 1, Currency::from_units(10000)};
    portfolio->stocks[1].buy_count = 1;
    window->m_tax_file->trigger();
    EXPECT_EQ(read_file(tax_file()), read_golden("portfolio_tax.csv"));
    expect_one_message("9999空銘柄：買い記録 1 の日付「昨日」が読めないため、売買を書いていません\r\n\r\n" +
                           in_documents("に stc_2004_1_5_tax.csv を作成しました\r\nEXCELで読めます"),
                       QMessageBox::Critical);
    EXPECT_EQ(portfolio->stocks[1].buys[0].date, "昨日");
}

TEST_F(ReportFiles, WithoutADocumentsFolderNothingIsWrittenAndTheUserIsTold) {
    platform.documents.clear();
    const std::string before = portfolio_csv(*portfolio);
    window->m_csvf->trigger();
    expect_one_message("stc_2004_1_5.csv を作成できませんでした（ドキュメントフォルダが見つかりません）",
                       QMessageBox::Critical);
    platform.messages.clear();
    window->m_tax_file->trigger();
    expect_one_message("stc_2004_1_5_tax.csv を作成できませんでした（ドキュメントフォルダが見つかりません）",
                       QMessageBox::Critical);
    EXPECT_EQ(portfolio_csv(*portfolio), before);
}

TEST_F(ReportFiles, AFolderThatCannotBeWrittenIsReportedWithFileAndReason) {
    const auto blocked = [this](const std::string& what) {
        platform.documents = folder / what;
        return platform.documents;
    };
    std::vector<std::filesystem::path> folders = {blocked("missing")};
    write_file_atomically(blocked("a_file"), "not a folder");
    folders.push_back(blocked("a_file"));
    if (geteuid() != 0) {
        std::filesystem::create_directories(blocked("read_only"));
        std::filesystem::permissions(platform.documents,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        folders.push_back(platform.documents);
    }
    for (const auto& f : folders) {
        platform.documents = f;
        for (QAction* command : {window->m_csvf, window->m_tax_file}) {
            platform.messages.clear();
            command->trigger();
            const std::string name = command == window->m_csvf ? "stc_2004_1_5.csv" : "stc_2004_1_5_tax.csv";
            ASSERT_EQ(platform.messages.size(), 1u) << f;
            const QString text = platform.messages[0].text;
            EXPECT_TRUE(text.startsWith(qt_text((f / name).string() + " に保存できませんでした（")))
                << text.toStdString();
            EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
            EXPECT_EQ(platform.messages[0].caption, "CSVファイルの出力");
            EXPECT_FALSE(std::filesystem::exists(f / name));
        }
    }
    if (geteuid() != 0) std::filesystem::permissions(folder / "read_only", std::filesystem::perms::owner_all);
}

TEST_F(ReportFiles, ALinkAtAReportsNameIsReplacedAndWhereItLedIsNeverWritten) {
    const std::filesystem::path outside = folder / "outside.csv";
    const struct {
        const char* name;
        std::function<void()> write;
    } reports[] = {
        {"stc_2004_1_5.csv", [this] { window->m_csvf->trigger(); }},
        {"stc_2004_1_5_tax.csv", [this] { window->m_tax_file->trigger(); }},
        {"stc_2004_1_5_year.csv", [this] { write_year_file(platform, *portfolio); }},
    };
    for (const auto& report : reports) {
        for (const bool leads_nowhere : {false, true}) {
            std::filesystem::remove(outside);
            if (!leads_nowhere) write_file_atomically(outside, "someone else's", real_file_system(), 0640);
            const std::filesystem::path name = platform.documents / report.name;
            std::filesystem::remove(name);
            std::filesystem::create_symlink(outside, name);
            platform.messages.clear();
            report.write();
            EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(name))) << report.name;
            EXPECT_EQ(read_whole_file(outside), leads_nowhere ? std::nullopt : std::optional("someone else's"));
            EXPECT_TRUE(
                platform.messages.at(0).text.contains(QStringLiteral("に ") + report.name + " を上書きしました"));
        }
    }
}

TEST_F(ReportFiles, ADocumentsFolderNamedInShiftJisIsShownDecoded) {
    platform.documents = folder / utf8_to_cp932("書類");
    std::filesystem::create_directories(platform.documents);
    window->m_csvf->trigger();
    expect_one_message(qt_text(folder.string()) + "/書類に stc_2004_1_5.csv を作成しました\r\nEXCELで読めます",
                       QMessageBox::NoIcon);
}

TEST_F(ReportFiles, SpecialFolderPathIsTheDocumentsFolder) {
    EXPECT_EQ(special_folder_path(platform), platform.documents);
}

using HelpAndVersion = MainWindowTest;

TEST_F(HelpAndVersion, AMissingHelpFileIsReportedWithThePlacesLookedAt) {
    window->expla->trigger();
    EXPECT_TRUE(platform.opened.empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("動作説明のファイルが見つかりませんでした。\r\n探した場所：\r\n") +
                                QString::fromStdString((platform.program / "chomaru.html").string()) +
                                QStringLiteral("\r\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("/share/doc/chomaru/chomaru.html"))) << text.toStdString();
}

TEST_F(HelpAndVersion, TheHelpBesideTheProgramOpensOnTheDesktop) {
    write_file_atomically(platform.program / "chomaru.html", "<html></html>");
    window->expla->trigger();
    EXPECT_EQ(platform.opened, std::vector<std::filesystem::path>{platform.program / "chomaru.html"});
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(window->findChild<QWidget*>("help_window"), nullptr);
}

TEST_F(HelpAndVersion, WithoutADesktopOpenerTheHelpShowsInTheProgramsOwnWindow) {
    write_file_atomically(platform.program / "chomaru.html", "<html><body><h1>動作説明</h1></body></html>");
    platform.desktop_opens_documents = false;
    window->expla->trigger();
    window->expla->trigger();
    const auto windows = window->findChildren<QWidget*>("help_window");
    ASSERT_EQ(windows.size(), 1) << "a second request brings the same window forward";
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->findChild<QTextBrowser*>("help_text")->toPlainText(), "動作説明");
}

// The help as built: in the program's own window its table of contents has
// a heading of its own, and it tells of the commands and rules of today.
TEST_F(HelpAndVersion, TheHelpAsBuiltShowsItsContentsHeadingAloneAndTellsOfTodaysCommands) {
    const std::filesystem::path built = std::filesystem::path(CHOMARU_EXECUTABLE).parent_path() / "chomaru.html";
    std::filesystem::copy_file(built, platform.program / "chomaru.html");
    platform.desktop_opens_documents = false;
    window->expla->trigger();
    const QTextDocument* help = window->findChild<QTextBrowser*>("help_text")->document();
    bool alone = false;
    for (QTextBlock b = help->begin(); b != help->end(); b = b.next()) alone = alone || b.text() == "目次";
    EXPECT_TRUE(alone);
    const QString text = help->toPlainText();
    for (const char* told : {"元に戻す(Z)", "やり直し(R)", "分析(S)", "年間損益(N)", "推移グラフ(G)", ".portable",
                             "の全記録を削除します。よろしいですか？", "売却時の税率", "それより高いどの単価でも"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(told))) << told;
    EXPECT_FALSE(text.contains("確認はありません"));
}

TEST_F(HelpAndVersion, TheVersionBoxNamesTheDataFile) {
    window->version_key->trigger();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("帳丸\r\n\r\nバージョン1.32\r\n\r\nデータファイル：") +
                                             QString::fromStdString((platform.data / "vavo_data.txt").string()));
    EXPECT_EQ(platform.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(platform.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(platform.messages[0].caption, "バージョン情報");
}

}  // namespace
}  // namespace chomaru
