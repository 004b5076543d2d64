// Thousands of random commands through the real main window: any prompt gets
// a random answer (a number, letters, Cancel), any question a random button,
// any dialog a random action. After each command the data must keep its
// invariants, the grids must show what is stored, and a save and a load must
// give back the same data.
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <random>
#include <unistd.h>

#include "app/lifecycle.h"
#include "store/data_file.h"
#include "store/regional_text.h"
#include "store/safe_file.h"
#include "support/main_window_fixture.h"

namespace chomaru {
namespace {

// The recovery file is written after most commands; syncing it to the disk
// each time would only make this test slow.
class UnsyncedFileSystem : public FileSystem {
public:
    int fsync(int) override { return 0; }
};

class RandomPlatform : public Platform {
public:
    explicit RandomPlatform(uint32_t seed) : random_(seed) {}

    FileSystem& file_system() override { return unsynced_; }

    QString input_box(const QString& caption, const QString&, const QString& default_text) override {
        ++prompts;
        switch (pick(12)) {
        case 0:
            return QString();  // Cancel
        case 1:
            return QStringLiteral("abc");  // not a number
        case 2:
            return default_text;  // OK on the default
        case 3:
            return QStringLiteral("2147483648");  // out of range
        case 4:
            return QString::number(pick(3));  // small, also 0
        default:
            break;
        }
        if (caption.contains(QStringLiteral("コード")) || caption.contains(QStringLiteral("銘柄")))
            return QStringLiteral("銘柄%1").arg(pick(1000));
        if (caption.contains(QStringLiteral("行番号"))) return QString::number(pick(6));
        if (caption.contains(QStringLiteral("株数")) || caption.contains(QStringLiteral("どのくらい")))
            return QString::number(1 + pick(2000));
        if (caption.contains(QStringLiteral("変更後"))) {
            // A record cell: a date, a price, shares or an amount.
            return pick(4) == 0 ? QStringLiteral("2025/%1/%2").arg(1 + pick(12)).arg(1 + pick(28))
                                : QString::number(1 + pick(5000));
        }
        if (caption.contains(QStringLiteral("払込金")) || caption.contains(QStringLiteral("受け取り")) ||
            caption.contains(QStringLiteral("これでいい")))
            return pick(2) ? default_text : QStringLiteral("%1.%2").arg(pick(10000000)).arg(pick(10000));
        return QString::number(1 + pick(30000));
    }

    QMessageBox::StandardButton message_box(const QString&, QMessageBox::Icon, QMessageBox::StandardButtons buttons,
                                            const QString&, QMessageBox::StandardButton) override {
        ++messages;
        std::vector<QMessageBox::StandardButton> offered;
        for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            if (buttons.testFlag(b)) offered.push_back(b);
        return offered.empty() ? QMessageBox::Cancel : offered[pick(int(offered.size()))];
    }

    void run_modal(QDialog& dialog) override {
        dialog.show();
        const QString name = dialog.objectName();
        if (name == "sel_date") {
            if (pick(5) == 0) {
                dialog.close();  // closed without OK
                return;
            }
            dialog.findChild<QCalendarWidget*>("MonthView1")
                ->setSelectedDate(QDate(2020 + pick(6), 1 + pick(12), 1 + pick(28)));
            dialog.findChild<QPushButton*>("k_ok")->click();
        } else if (name == "Form_sort") {
            auto* base = dialog.findChild<QListWidget*>("base_list");
            for (int i = 0; i < 600 && dialog.isVisible(); ++i) {
                if (pick(40) == 0) dialog.findChild<QPushButton*>("k_clear")->click();
                if (base->count() > 0) base->setCurrentRow(pick(base->count()));
                dialog.findChild<QPushButton*>("k_sort")->click();
            }
        } else if (name == "Form_tesuryo") {
            if (pick(2)) dialog.findChild<QPushButton*>("k_sen_ok")->click();
        } else if (name == "Form_read_me") {
            dialog.findChild<QPushButton*>("Command1")->click();
        }
        if (dialog.isVisible()) dialog.close();
    }

    QDateTime now() override { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); }
    std::filesystem::path program_folder() override { return program; }
    std::filesystem::path data_folder() override { return program; }
    std::filesystem::path documents_folder() override { return documents; }
    void open_document(const std::filesystem::path&, std::function<void()>) override {}
    std::filesystem::path choose_save_file(const QString&, const std::filesystem::path&) override { return {}; }
    std::filesystem::path choose_folder(const QString&, const std::filesystem::path&) override { return {}; }
    std::filesystem::path choose_open_file(const QString&, const QString&) override { return {}; }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::filesystem::path program;
    std::filesystem::path documents;
    int prompts = 0;
    int messages = 0;

private:
    UnsyncedFileSystem unsynced_;
    std::mt19937 random_;
};

void expect_record_rows(FlexGrid* grid, const RecordTable& records, int count, const std::string& where) {
    ASSERT_EQ(grid->rows(), std::max(15, count + 1)) << where;
    for (int k = 0; k < count; ++k) {
        const TradeRecord& r = records[size_t(k)];
        ASSERT_EQ(grid->text(k + 1, 1).toStdString(), r.date) << where;
        ASSERT_EQ(grid->text(k + 1, 2).toStdString(), format_currency(Currency::from_yen(r.price))) << where;
        ASSERT_EQ(grid->text(k + 1, 3).toStdString(), format_grouped(r.shares)) << where;
        ASSERT_EQ(grid->text(k + 1, 4).toStdString(), format_currency(r.amount)) << where;
    }
    for (int k = count; k < 14; ++k) ASSERT_EQ(grid->text(k + 1, 1), "") << where;
}

void check_invariants(StockMain& window, Portfolio& p, Portfolio& back, const std::string& where) {
    ASSERT_GE(p.last_stock, 0) << where;
    ASSERT_LT(p.last_stock, max_stocks) << where;
    ASSERT_GE(p.current_stock, 0) << where;
    ASSERT_LE(p.current_stock, p.last_stock) << where;
    for (int s = 0; s <= p.last_stock; ++s) {
        const Stock& stock = p.stocks[size_t(s)];
        ASSERT_GE(stock.buy_count, 0) << where;
        ASSERT_LE(stock.buy_count, max_records) << where;
        ASSERT_GE(stock.sell_count, 0) << where;
        ASSERT_LE(stock.sell_count, max_records) << where;
        int64_t held = 0;
        for (int i = 0; i < stock.buy_count; ++i) held += stock.buys[size_t(i)].shares;
        for (int i = 0; i < stock.sell_count; ++i) held -= stock.sells[size_t(i)].shares;
        ASSERT_EQ(stock.held_shares, held) << where << " stock " << s;
    }
    const Stock& s = p.current();
    ASSERT_EQ(window.infor_fig->text(0, 1).toStdString(), s.stock_code) << where;
    ASSERT_EQ(window.infor_fig->text(1, 1).toStdString(), s.stock_name) << where;
    ASSERT_EQ(window.infor_fig->text(2, 1).toStdString(), int_text(s.dividend)) << where;
    ASSERT_EQ(window.anal_fig->text(0, 1).toStdString(), format_grouped(s.held_shares)) << where;
    ASSERT_EQ(window.anal_fig->text(1, 1).toStdString(), format_currency(Currency::from_yen(s.avg_buy_price))) << where;
    ASSERT_EQ(window.anal_fig->text(2, 1).toStdString(), format_currency(s.realized_profit)) << where;
    ASSERT_EQ(window.anal_fig->text(3, 1).toStdString(), format_percent(double(s.dividend_yield))) << where;
    ASSERT_EQ(window.sample_fig_1->text(0, 1).toStdString(),
              format_currency(Currency::from_yen(2 * int64_t(s.avg_buy_price))))
        << where;
    expect_record_rows(window.buy_fig, s.buys, s.buy_count, where + " buys");
    expect_record_rows(window.sell_fig, s.sells, s.sell_count, where + " sells");
    ASSERT_EQ(window.Combo1->count(), p.last_stock + 1) << where;
    for (int i = 0; i <= p.last_stock; ++i)
        ASSERT_EQ(window.Combo1->itemText(i).toStdString(), shown_name(p.stocks[size_t(i)])) << where;

    const std::string bytes = format_data_file(p);
    ASSERT_EQ(parse_data_file(bytes, back), LoadStatus::loaded) << where;
    ASSERT_EQ(format_data_file(back), bytes) << where;
}

// A started window over a random platform in a folder of its own, and the
// program's commands with their weights, undo and redo among them.
class RandomRun {
public:
    explicit RandomRun(uint32_t seed) : platform(seed) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "documents");
        platform.program = folder;
        platform.documents = folder / "documents";
        const auto click = [](QAbstractButton* b) { return [b] { b->click(); }; };
        const auto menu = [](QAction* a) { return [a] { a->trigger(); }; };
        const auto dbl = [this](FlexGrid* g) {
            return [this, g] { emit g->double_clicked(platform.pick(g->rows() + 1), platform.pick(6)); };
        };
        commands = {
            {"buy", click(window.kai_input_key), 12},
            {"sell", click(window.uri_input_key), 8},
            {"edit buy", dbl(window.buy_fig), 5},
            {"edit sell", dbl(window.sell_fig), 4},
            {"edit info", dbl(window.infor_fig), 2},
            {"delete buy", menu(window.del_kai_fig), 3},
            {"delete sell", menu(window.del_sel_fig), 3},
            {"delete stock", menu(window.del_all_data), 1},
            {"new stock", click(window.new_name_key), 3},
            {"select",
             [this] {
                 if (window.Combo1->count() == 0) return;
                 const int i = platform.pick(window.Combo1->count());
                 window.Combo1->setCurrentIndex(i);
                 emit window.Combo1->activated(i);
             },
             4},
            {"code", menu(window.change_code), 1},
            {"name", menu(window.change_name), 1},
            {"dividend", menu(window.change_haitou), 2},
            {"sort", menu(window.m_sort), 1},
            {"commission", menu(window.m_kabusen), 1},
            {"simulate buy", click(window.kai_sl_key), 1},
            {"simulate sell", click(window.uri_sl_key), 1},
            {"list", click(window.all_list_key), 1},
            {"export", menu(window.m_csvf), 1},
            {"tax file", menu(window.m_tax_file), 1},
            {"undo", menu(window.m_undo), 4},
            {"redo", menu(window.m_redo), 2},
        };
        for (const Command& c : commands) total += c.weight;
    }
    ~RandomRun() { std::filesystem::remove_all(folder); }

    // Runs one command chosen at random; returns its name.
    const char* run_one() {
        int r = platform.pick(total);
        size_t i = 0;
        while (r >= commands[i].weight) r -= commands[i++].weight;
        commands[i].run();
        return commands[i].name;
    }

    struct Command {
        const char* name;
        std::function<void()> run;
        int weight;
    };
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("chomaru-random-commands-" + std::to_string(getpid()));
    RandomPlatform platform;
    bool start() {
        auto data = Portfolio::create();
        portfolio = data.get();
        document = start_up(window, std::move(data));
        return document != nullptr;
    }

    std::unique_ptr<Document> document;
    Portfolio* portfolio = nullptr;
    std::unique_ptr<Portfolio> back = Portfolio::create();
    StockMain window{platform};
    std::vector<Command> commands;
    int total = 0;
};

TEST(RandomCommands, ThousandsOfCommandsKeepTheDataWholeAndTheGridsTrue) {
    RandomRun run(20261207);
    ASSERT_TRUE(run.start());
    for (int step = 0; step < 2500; ++step) {
        const char* name = run.run_one();
        check_invariants(run.window, *run.portfolio, *run.back, "step " + std::to_string(step) + " after " + name);
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(run.platform.prompts, 2000);

    ASSERT_EQ(shut_down(run.window), Shutdown::saved);
    ASSERT_EQ(load_data_file(run.folder / data_file_name, *run.back), LoadStatus::loaded);
    EXPECT_EQ(format_data_file(*run.back), format_data_file(*run.portfolio));
}

// Within the history's reach, undoing every step gives the bytes before the
// first one and redoing every step the bytes after the last one.
TEST(RandomCommands, UndoingEverythingAndRedoingEverythingGiveTheBytesOfBothEnds) {
    RandomRun run(7122026);
    ASSERT_TRUE(run.start());
    QAction* undo = run.window.m_undo;
    QAction* redo = run.window.m_redo;
    std::string first;
    for (int step = 0; step < 250; ++step) {
        if (!undo->isEnabled() && !redo->isEnabled()) first = format_data_file(*run.portfolio);
        const char* name = run.run_one();
        check_invariants(run.window, *run.portfolio, *run.back, "step " + std::to_string(step) + " after " + name);
        if (::testing::Test::HasFatalFailure()) return;
    }
    ASSERT_FALSE(first.empty());
    while (redo->isEnabled()) redo->trigger();
    if (undo->isEnabled()) {  // the state right after the last step, selection included
        undo->trigger();
        redo->trigger();
    }
    const std::string last = format_data_file(*run.portfolio);
    while (undo->isEnabled()) undo->trigger();
    EXPECT_EQ(format_data_file(*run.portfolio), first);
    while (redo->isEnabled()) redo->trigger();
    EXPECT_EQ(format_data_file(*run.portfolio), last);
    check_invariants(run.window, *run.portfolio, *run.back, "after redoing everything");
}

}  // namespace
}  // namespace chomaru
