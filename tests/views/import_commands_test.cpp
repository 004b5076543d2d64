// Importing brokers' files through the real main window: the file chooser,
// the preview, one undo step, the messages, and files given to the program.
#include "views/import_commands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <sys/time.h>

#include "reports/list_window.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"
#include "views/import_preview_dialog.h"

namespace chomaru {
namespace {

std::filesystem::path sample(const char* name) { return std::filesystem::path(CHOMARU_TEST_DATA) / name; }

// What a preview showed.
struct Shown {
    QString caption;
    QString heading;
    QString counts;
    std::vector<QStringList> rows;
    QStringList headings;
    bool import_is_default = false;
};

QStringList row_of(const QAbstractItemModel& model, int r) {
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c) texts << model.data(model.index(r, c)).toString();
    return texts;
}

class Import : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        start_with_stock("7203", "トヨタ自動車");
    }

    // The next preview is read into `shown`, then `answer` closes it.
    void preview(std::function<void(ImportPreviewDialog&)> answer) {
        platform.on_dialog([this, answer](QDialog& d) {
            auto& dialog = dynamic_cast<ImportPreviewDialog&>(d);
            shown = Shown{};
            shown.caption = dialog.windowTitle();
            shown.heading = dialog.heading_label->text();
            shown.counts = dialog.counts_label->text();
            const QAbstractItemModel& model = *dialog.table_view->model();
            for (int c = 0; c < model.columnCount(); ++c)
                shown.headings << model.headerData(c, Qt::Horizontal).toString();
            for (int r = 0; r < model.rowCount(); ++r) shown.rows.push_back(row_of(model, r));
            shown.import_is_default = dialog.import_button->isDefault();
            answer(dialog);
        });
    }
    void import_from_menu(const std::filesystem::path& file) {
        platform.open_choices.push_back(file);
        preview([](ImportPreviewDialog& d) { d.import_button->click(); });
        window->m_import->trigger();
    }
    std::string bytes() const { return format_data_file(*portfolio); }
    QStringList message_texts() const {
        QStringList texts;
        for (const auto& m : platform.messages) texts << m.text;
        return texts;
    }

    Shown shown;
};

TEST_F(Import, TheMenuPreviewsTheFileAndImportsItAsOneStep) {
    const std::string before = bytes();
    import_from_menu(sample("sbi_yakujo.csv"));
    EXPECT_EQ(platform.open_filters, std::vector<QString>{"CSVファイル (*.csv)"});
    EXPECT_EQ(shown.caption, "取引履歴の取り込み");
    EXPECT_EQ(shown.heading, "ファイル：sbi_yakujo.csv\n形式：SBI証券 約定履歴（文字コード：Shift_JIS）");
    EXPECT_EQ(shown.headings,
              (QStringList{"行", "約定日", "コード", "銘柄", "口座", "売買", "数量", "単価", "受渡金額", "状態"}));
    ASSERT_EQ(shown.rows.size(), 8u);
    EXPECT_EQ(shown.rows[1], (QStringList{"11", "2025/02/14", "8306", "三菱ＵＦＪフィナンシャル・グループ", "NISA成長",
                                          "買い", "200", "¥1,780", "¥356,000", "取り込む"}));
    EXPECT_EQ(shown.rows[4], (QStringList{"14", "2025/05/12", "7203", "トヨタ自動車", "特定", "売り", "100", "¥3,010",
                                          "¥301,000", "取り込む"}));
    EXPECT_EQ(shown.rows[5][9], "対象外：信用新規買");
    EXPECT_EQ(shown.counts, "取り込む 7 件、重複 0 件、対象外 1 件\n新しく登録する銘柄 2 件");
    EXPECT_TRUE(shown.import_is_default);
    EXPECT_EQ(message_texts(), QStringList{"7 件を取り込みました（重複 0 件、対象外 1 件）"});

    // トヨタ: bought 100 for ¥285,000 and 100 for ¥284,900, so the average
    // is ¥2,849.5, ¥2,850 to the even yen; sold 100 for ¥301,000 against
    // 100 × ¥2,850.
    EXPECT_EQ(column(window->buy_fig, 1).mid(1, 3), (QStringList{"2025/03/03", "2025/03/03", ""}));
    EXPECT_EQ(column(window->buy_fig, 4).mid(1, 2), (QStringList{"¥285,000", "¥284,900"}));
    EXPECT_EQ(column(window->sell_fig, 4)[1], "¥301,000");
    EXPECT_EQ(column(window->anal_fig, 1).mid(0, 3), (QStringList{"100", "¥2,850", "¥16,000"}));
    EXPECT_EQ(window->Combo1->count(), 3);
    EXPECT_EQ(portfolio->stocks[2].account, AccountType::nisa_growth);
    EXPECT_EQ(document->undo_name(), "取り込み sbi_yakujo.csv（7件）");
    EXPECT_EQ(window->m_undo->text(), "元に戻す(&Z): 取り込み sbi_yakujo.csv（7件）");
    // The recovery file follows the import.
    EXPECT_EQ(read_whole_file(platform.data / "vavo_data_recovery.txt"), bytes());

    platform.on_dialog([](QDialog& d) {
        const FlexGrid& g = *dynamic_cast<ListWindow&>(d).all_disp_fig;
        EXPECT_EQ(g.text(1, 0), "7203");
        EXPECT_EQ(g.text(2, 0), "6622");
        EXPECT_EQ(g.text(3, 0), "8306");
    });
    window->all_list_key->click();
    // ひまわり工業: ¥2,655,000 for 100, sold for ¥2,409,000: a loss of ¥246,000.
    window->m_tax_file->trigger();
    const std::string tax = cp932_to_utf8(read_whole_file(platform.documents / "stc_2026_12_7_tax.csv").value());
    EXPECT_NE(tax.find("6622,ひまわり工業\r\n買い日付,買い単価,買い株数,約定代金,売り日付,売り単価,売り株数,約定代金,"
                       "平均単価,所有株数,損益,通算損益\r\n"
                       "2025/01/20,26500,100,2655000,,,,,26550,100,0,0\r\n"
                       ",,,,2025/12/30,24100,100,2409000,26550,0,-246000,-246000\r\n"),
              std::string::npos)
        << tax;

    // One undo (Ctrl+Z) takes the whole import back.
    window->m_undo->trigger();
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(window->Combo1->count(), 1);
    EXPECT_EQ(column(window->buy_fig, 1)[1], "");
    EXPECT_FALSE(document->can_undo());
}

TEST_F(Import, EscapeAndCancelChangeNothing) {
    const std::string before = bytes();
    const std::function<void(ImportPreviewDialog&)> closes[] = {
        [](ImportPreviewDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](ImportPreviewDialog& d) { d.cancel_button->click(); },
    };
    for (const auto& close : closes) {
        platform.open_choices.push_back(sample("sbi_yakujo_2026.csv"));
        preview(close);
        window->m_import->trigger();
        EXPECT_EQ(shown.heading, "ファイル：sbi_yakujo_2026.csv\n形式：SBI証券 約定履歴（文字コード：UTF-8）");
        EXPECT_EQ(bytes(), before);
        EXPECT_FALSE(document->can_undo());
        EXPECT_TRUE(platform.messages.empty());
    }
    // Cancelling the file chooser shows nothing at all.
    window->m_import->trigger();
    EXPECT_EQ(platform.dialogs.size(), 2u);
}

TEST_F(Import, TheSameFileAgainImportsNothingEveryTradeADuplicate) {
    import_from_menu(sample("rakuten_tradehistory.csv"));
    const std::string after = bytes();
    platform.messages.clear();
    import_from_menu(sample("rakuten_tradehistory.csv"));
    for (const QStringList& row : shown.rows)
        EXPECT_TRUE(row[9] == "重複" || row[9].startsWith("対象外：")) << row[9].toStdString();
    EXPECT_EQ(shown.counts, "取り込む 0 件、重複 7 件、対象外 1 件");
    EXPECT_EQ(message_texts(), QStringList{"0 件を取り込みました（重複 7 件、対象外 1 件）"});
    EXPECT_EQ(bytes(), after);
    EXPECT_EQ(document->undo_name(), "取り込み rakuten_tradehistory.csv（7件）");
}

TEST_F(Import, AFileThatCannotBeImportedIsToldAndChangesNothing) {
    const std::filesystem::path files = folder / "files";
    std::filesystem::create_directories(files / "folder.csv");
    write_file_atomically(files / "no_header.csv", "日付,コード,数量\r\n2025/01/01,7203,100\r\n");
    write_file_atomically(files / "binary.csv", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    {
        std::ofstream large(files / "large.csv");
        large << "約定日,銘柄コード,売買,数量,単価,受渡金額\n";
    }
    std::filesystem::resize_file(files / "large.csv", 50 * 1024 * 1024 + 1);
    struct Case {
        const char* file;
        const char* reason;
    };
    const Case cases[] = {
        {"no_header.csv", "取引履歴の見出し行が見つかりません（約定日・銘柄コード・売買・数量・単価・受渡金額）"},
        {"binary.csv", "テキストファイルではありません"},
        {"large.csv", "ファイルが大きすぎます（50MBまで）"},
        {"missing.csv", "ファイルが見つかりません"},
        {"folder.csv", "フォルダです。CSVファイルを選んで下さい"},
    };
    const std::string before = bytes();
    for (const Case& c : cases) {
        platform.messages.clear();
        platform.open_choices.push_back(files / c.file);
        window->m_import->trigger();
        ASSERT_EQ(platform.messages.size(), 1u) << c.file;
        EXPECT_EQ(platform.messages[0].text, QString::fromUtf8(c.file) + " を取り込めません。\r\n" + c.reason);
        EXPECT_EQ(platform.messages[0].icon, QMessageBox::Critical);
    }
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_EQ(bytes(), before);
}

TEST_F(Import, RowsThatDoNotReadAreListedAndTheRestImported) {
    const std::filesystem::path file = folder / "mixed.csv";
    write_file_atomically(file,
                          "約定日,銘柄コード,銘柄名,売買,数量,単価,受渡金額\r\n"
                          "2025/13/01,7203,トヨタ自動車,買,100,2850,285000\r\n"
                          "2025/03/03,7203,トヨタ自動車,買,100,2850,285000\r\n"
                          "2025/03/04,7203,トヨタ自動車,売,300,2900,-\r\n"
                          "2025/03/05,7203,トヨタ自動車,買,1.5,2850,4275\r\n");
    import_from_menu(file);
    ASSERT_EQ(shown.rows.size(), 4u);
    EXPECT_EQ(shown.rows[0][9], "読めません：約定日が読めません: 2025/13/01");
    // Without an amount or any charges, the sale's is 300 × ¥2,900.
    EXPECT_EQ(shown.rows[2].mid(6), (QStringList{"300", "¥2,900", "¥870,000", "計算・保有超過"}));
    EXPECT_EQ(shown.rows[3][9], "読めません：数量が読めません: 1.5");
    EXPECT_EQ(shown.counts,
              "取り込む 2 件（うち 計算 1 件、保有超過 1 件）、重複 0 件、対象外 0 件、"
              "読めない行 2 件（2・5 行目）");
    EXPECT_EQ(message_texts(), QStringList{"2 件を取り込みました（重複 0 件、対象外 0 件）"});
    EXPECT_EQ(stock().buy_count, 1);
    EXPECT_EQ(stock().sell_count, 1);
    EXPECT_EQ(stock().held_shares, -200);
}

// An SBI portfolio of 7203 in 特定 holding 100, 8306 in NISA成長 holding 100
// and 9432 in 特定, at prices the file does not date.
std::string sbi_portfolio() {
    return utf8_to_cp932(
        "\"株式（現物/特定預り）\"\r\n"
        "\"銘柄（コード）\",\"買付日\",\"数量\",\"取得単価\",\"現在値\",\"前日比\",\"前日比（％）\",\"損益\","
        "\"損益（％）\",\"評価額\"\r\n"
        "\"7203 トヨタ自動車\",\"----/--/--\",\"100\",\"2,850\",\"2,901.5\",\"+12.5\",\"+0.43\",\"+5,150\",\"+1.81\","
        "\"290,150\"\r\n"
        "\"9432 日本電信電話\",\"----/--/--\",\"1,000\",\"150\",\"155.3\",\"+1\",\"+0.6\",\"+5,300\",\"+3.5\","
        "\"155,300\"\r\n"
        "\r\n"
        "\"株式（現物/NISA預り（成長投資枠））\"\r\n"
        "\"銘柄（コード）\",\"買付日\",\"数量\",\"取得単価\",\"現在値\",\"前日比\",\"前日比（％）\",\"損益\","
        "\"損益（％）\",\"評価額\"\r\n"
        "\"8306 三菱ＵＦＪフィナンシャル・グループ\",\"2025/02/14\",\"100\",\"1,780\",\"2,230\",\"-8\",\"-0.36\","
        "\"+45,000\",\"+25.28\",\"223,000\"\r\n");
}

TEST_F(Import, TheHoldingsListSetsThePricesOfTheEntriesItMatches) {
    import_from_menu(sample("sbi_yakujo.csv"));  // 7203 holds 100, 8306 in NISA成長 100
    platform.messages.clear();
    const std::filesystem::path file = folder / "portfolio.csv";
    write_file_atomically(file, sbi_portfolio());
    // Modified at noon on 2026/11/30, local time: the date of its prices.
    std::tm noon{};
    noon.tm_year = 126;
    noon.tm_mon = 10;
    noon.tm_mday = 30;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const timeval times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
    ASSERT_EQ(::utimes(file.c_str(), times), 0);
    const std::string before = bytes();

    platform.open_choices.push_back(file);
    preview([](ImportPreviewDialog& d) { d.import_button->click(); });
    window->m_price_import->trigger();
    EXPECT_EQ(shown.caption, "現在値の取り込み");
    EXPECT_EQ(shown.heading, "ファイル：portfolio.csv\n形式：SBI証券 ポートフォリオ（文字コード：Shift_JIS）");
    ASSERT_EQ(shown.rows.size(), 3u);
    EXPECT_EQ(shown.rows[0], (QStringList{"3", "7203", "トヨタ自動車", "特定", "100", "¥2,901.5", "2026/11/30",
                                          "トヨタ自動車", "100", "—", "取り込む"}));
    EXPECT_EQ(shown.rows[1].mid(4), (QStringList{"1,000", "¥155.3", "2026/11/30", "一致なし", "", "", "一致なし"}));
    EXPECT_EQ(shown.rows[2].mid(3, 5), (QStringList{"NISA成長", "100", "¥2,230", "2026/11/30",
                                                    "三菱ＵＦＪフィナンシャル・グループ ［NISA成長］"}));
    EXPECT_EQ(shown.counts, "現在値を取り込む銘柄 2 件、一致なし 1 件、対象外 0 件");
    EXPECT_EQ(message_texts(), QStringList{"2 件の現在値を取り込みました（一致なし 1 件、対象外 0 件）"});
    EXPECT_EQ(portfolio->stocks[0].price, (QuotedPrice{Currency::from_units(29015000), "2026/11/30"}));
    EXPECT_EQ(portfolio->stocks[2].price, (QuotedPrice{Currency::from_yen(2230), "2026/11/30"}));
    EXPECT_FALSE(portfolio->stocks[1].price);
    EXPECT_EQ(document->undo_name(), "現在値の取り込み portfolio.csv（2件）");
    EXPECT_EQ(portfolio->stocks[0].held_shares, 100);
    const std::string priced = bytes();

    // Again: the preview shows the prices set, and nothing changes.
    platform.open_choices.push_back(file);
    preview([](ImportPreviewDialog& d) { d.import_button->click(); });
    window->m_price_import->trigger();
    EXPECT_EQ(shown.rows[0][9], "¥2,901.5（2026/11/30）");
    EXPECT_EQ(bytes(), priced);

    window->m_undo->trigger();
    EXPECT_EQ(bytes(), before);
}

TEST_F(Import, FilesGivenToTheProgramAreImportedInTurnByTheirKind) {
    // 7203 holds nothing yet: the holdings list's 100 shares are marked, and
    // its NISA row has no entry.
    std::vector<Shown> previews;
    for (int i = 0; i < 2; ++i)
        preview([this, &previews](ImportPreviewDialog& d) {
            previews.push_back(shown);
            d.import_button->click();
        });
    window->import_files({sample("rakuten_assetbalance.csv"), sample("sbi_yakujo_2026.csv")});
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[0].caption, "現在値の取り込み");
    EXPECT_EQ(previews[0].rows[0].mid(4), (QStringList{"100", "¥2,901.5", "2026/12/07", "トヨタ自動車", "0", "—",
                                                       "取り込む・株数が違います（ファイル 100 株、保有 0 株）"}));
    EXPECT_EQ(previews[0].rows[1][10], "一致なし");
    EXPECT_EQ(previews[0].rows[2][10], "対象外：投資信託");
    EXPECT_EQ(previews[0].counts,
              "現在値を取り込む銘柄 1 件、一致なし 1 件、対象外 1 件\n"
              "株数が帳丸の保有株数と違う銘柄 1 件（現在値のほかは何も変えません）");
    EXPECT_EQ(previews[1].caption, "取引履歴の取り込み");
    EXPECT_EQ(message_texts(), (QStringList{"1 件の現在値を取り込みました（一致なし 1 件、対象外 1 件）",
                                            "7 件を取り込みました（重複 0 件、対象外 1 件）"}));
    EXPECT_EQ(portfolio->stocks[0].price, (QuotedPrice{Currency::from_units(29015000), "2026/12/07"}));
    EXPECT_EQ(portfolio->stocks[0].buy_count, 2);
    EXPECT_EQ(portfolio->last_stock, 2);
}

}  // namespace
}  // namespace chomaru
