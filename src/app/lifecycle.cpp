#include "app/lifecycle.h"

#include <QDateTime>

#include "app/platform.h"
#include "app/read_me_dialog.h"
#include "app/text_checks.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// A free name beside the data file for a copy of an unreadable file.
std::filesystem::path aside_name(const std::filesystem::path& folder, const QDateTime& now) {
    const std::string stamp = now.toString(QStringLiteral("yyyyMMdd_HHmmss")).toStdString();
    std::filesystem::path candidate = folder / ("vavo_data_unreadable_" + stamp + ".txt");
    for (int n = 2; std::filesystem::exists(candidate); ++n)
        candidate = folder / ("vavo_data_unreadable_" + stamp + "_" + std::to_string(n) + ".txt");
    return candidate;
}

// Keeps a copy of a data file that could not be read, so that the first
// run's data written at exit never replaces the only copy.
bool set_aside_unreadable(Platform& platform, const std::filesystem::path& file) {
    std::optional<std::string> bytes;
    try {
        bytes = read_whole_file(file);
    } catch (const std::runtime_error&) {
    }
    if (bytes && bytes->empty()) return true;
    const QString name = qt_text(file.filename().string());
    if (bytes) {
        const std::filesystem::path copy = aside_name(file.parent_path(), platform.now());
        try {
            write_file_atomically(copy, *bytes);
            platform.message_box(name + QStringLiteral(" を読み込めませんでした。\r\n元のファイルは ") +
                                     qt_text(copy.filename().string()) +
                                     QStringLiteral(" として同じフォルダに残してあります。"),
                                 QMessageBox::Warning, QMessageBox::Ok, program_caption);
            return true;
        } catch (const SaveError&) {
        }
    }
    platform.message_box(name + QStringLiteral(" を読み込めず、控えを作ることもできませんでした。\r\n"
                                               "データを守るため、帳丸を終了します。"),
                         QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return false;
}

}  // namespace

std::filesystem::path data_file_path(Platform& platform) { return platform.program_folder() / data_file_name; }

void first_run(StockMain& window) {
    Platform& platform = window.platform();
    ReadMeDialog welcome(&window);
    platform.run_modal(welcome);
    QString code = platform.input_box(QStringLiteral("銘柄のコードを入れて下さい"), QStringLiteral("例:1234"), QString());
    if (!accept_line_text(platform, code)) code.clear();
    QString name = platform.input_box(QStringLiteral("銘柄を入れて下さい"), QStringLiteral("例:新日鉄"), QString());
    if (!accept_line_text(platform, name)) name.clear();
    reset_to_first_stock(window.portfolio(), core_text(code), core_text(name));
}

bool start_up(StockMain& window) {
    Portfolio& portfolio = window.portfolio();
    window.setup_info_grid();
    window.setup_analysis_grid();
    window.setup_ratio_grids();
    window.setup_buy_grid();
    window.setup_sell_grid();
    portfolio.current_stock = 0;
    z_data_init(portfolio);

    const std::filesystem::path file = data_file_path(window.platform());
    const LoadStatus status = load_data_file(file, portfolio);
    if (status == LoadStatus::unreadable && !set_aside_unreadable(window.platform(), file)) return false;
    if (status != LoadStatus::loaded) first_run(window);

    window.show_stock_info();
    window.show_analysis();
    window.show_buy_records();
    window.show_sell_records();
    window.show_ratio_table();
    window.fill_stock_combo();

    // Closing the window, from its title bar, the menu or a signal, saves.
    window.set_close_handler([&window, saved = false]() mutable { return saved = saved || shut_down(window); });
    return true;
}

bool shut_down(StockMain& window) {
    Platform& platform = window.platform();
    const std::filesystem::path file = data_file_path(platform);
    std::filesystem::path target = file;
    for (;;) {
        QString reason;
        try {
            save_data_file(target, window.portfolio());
            return true;
        } catch (const SaveError& e) {
            reason = QString::fromStdString(e.what());
        } catch (const DataFileError& e) {
            reason = QStringLiteral("ファイルに書けない文字が含まれています（") + QString::fromStdString(e.what()) +
                     QStringLiteral("）");
        }
        const QMessageBox::StandardButton choice = platform.message_box(
            QStringLiteral("データを保存できませんでした。\r\n") + reason +
                QStringLiteral("\r\n\r\n「再試行」でもう一度保存します。「保存」で別のファイルに保存します。\r\n"
                               "「破棄」で変更を保存せずに終了します。「キャンセル」で帳丸に戻ります。"),
            QMessageBox::Critical, QMessageBox::Retry | QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
            program_caption);
        switch (choice) {
        case QMessageBox::Retry:
            target = file;
            break;
        case QMessageBox::Save: {
            const std::filesystem::path other = platform.choose_save_file(QStringLiteral("データの保存先"), file);
            if (!other.empty()) target = other;
            break;
        }
        case QMessageBox::Discard:
            if (platform.message_box(QStringLiteral("この回の変更は保存されません。終了してよろしいですか？"),
                                     QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
                                     program_caption) == QMessageBox::Yes)
                return true;
            break;
        default:
            return false;
        }
    }
}

}  // namespace chomaru
