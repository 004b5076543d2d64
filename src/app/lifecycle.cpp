#include "app/lifecycle.h"

#include <QDateTime>
#include <memory>
#include <optional>

#include "ui/platform.h"
#include "app/read_me_dialog.h"
#include "app/recovery_file.h"
#include "ui/text_checks.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// A free name beside the data file for a copy kept aside: the prefix, the
// date and the time.
std::filesystem::path aside_name(const std::filesystem::path& folder, const std::string& prefix, const QDateTime& now) {
    const std::string stamp = now.toString(QStringLiteral("yyyyMMdd_HHmmss")).toStdString();
    std::filesystem::path candidate = folder / (prefix + stamp + ".txt");
    for (int n = 2; std::filesystem::exists(candidate); ++n)
        candidate = folder / (prefix + stamp + "_" + std::to_string(n) + ".txt");
    return candidate;
}

std::optional<std::string> read_if_possible(const std::filesystem::path& file) {
    try {
        return read_whole_file(file);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

// Moves a file aside under a dated name; returns the new name, or the old
// one when it could not be moved (then it stays where it was).
std::filesystem::path move_aside(const std::filesystem::path& file, const std::string& prefix, const QDateTime& now) {
    const std::filesystem::path target = aside_name(file.parent_path(), prefix, now);
    std::error_code error;
    std::filesystem::rename(file, target, error);
    return error ? file : target;
}

// When the last run ended without saving, offers its data from the recovery
// file. Returns the bytes to start from instead of the data file.
std::optional<std::string> offer_recovery(Platform& platform, const std::filesystem::path& file,
                                          RecoveryFile& recovery, Portfolio& scratch) {
    const std::optional<std::string> bytes = read_if_possible(recovery.path());
    if (!bytes) return std::nullopt;
    const std::optional<std::string> saved = read_if_possible(file);
    if (saved == bytes) {
        recovery.remove();
        return std::nullopt;
    }
    if (parse_data_file(*bytes, scratch) != LoadStatus::loaded) {
        const auto kept = move_aside(recovery.path(), "vavo_data_recovery_unreadable_", platform.now());
        platform.message_box(QStringLiteral("前回の作業内容を読み込めませんでした。\r\n") + qt_text(kept.filename().string()) +
                                 QStringLiteral(" として同じフォルダに残してあります。"),
                             QMessageBox::Warning, QMessageBox::Ok, program_caption);
        return std::nullopt;
    }
    const QMessageBox::StandardButton choice = platform.message_box(
        QStringLiteral("前回、帳丸は保存しないまま終了しました。\r\n前回の作業内容を復元しますか？\r\n\r\n"
                       "はい：前回の作業内容を復元します。\r\n"
                       "いいえ：保存されている vavo_data.txt を使います。\r\n\r\n"
                       "使わなかった方のデータは、日時の付いた名前で同じフォルダに残します。"),
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, program_caption);
    if (choice == QMessageBox::Yes) {
        if (saved) {
            try {
                write_file_atomically(aside_name(file.parent_path(), "vavo_data_before_recovery_", platform.now()), *saved);
            } catch (const SaveError&) {
                // The data file itself stays until the exit's save replaces it.
            }
        }
        return bytes;
    }
    move_aside(recovery.path(), "vavo_data_recovery_", platform.now());
    return std::nullopt;
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
        const std::filesystem::path copy = aside_name(file.parent_path(), "vavo_data_unreadable_", platform.now());
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

    Platform& platform = window.platform();
    const std::filesystem::path file = data_file_path(platform);
    auto recovery = std::make_shared<RecoveryFile>(file);
    LoadStatus status;
    if (const auto restored = offer_recovery(platform, file, *recovery, portfolio)) {
        status = parse_data_file(*restored, portfolio);
    } else {
        status = load_data_file(file, portfolio);
        if (status == LoadStatus::unreadable && !set_aside_unreadable(platform, file)) return false;
    }
    if (status != LoadStatus::loaded) first_run(window);

    window.show_stock_info();
    window.show_analysis();
    window.show_buy_records();
    window.show_sell_records();
    window.show_ratio_table();
    window.fill_stock_combo();

    // From now on every command that changes the data leaves its result in
    // the recovery file, and closing the window, from its title bar, the
    // menu or a signal, saves.
    recovery->remember(portfolio);
    window.set_command_observer([&window, recovery] { recovery->update(window.portfolio()); });
    window.set_close_handler([&window, recovery, done = false]() mutable {
        if (done) return true;
        const Shutdown result = shut_down(window);
        if (result == Shutdown::saved || result == Shutdown::discarded) recovery->remove();
        done = result != Shutdown::stay_open;
        return done;
    });
    return true;
}

Shutdown shut_down(StockMain& window) {
    Platform& platform = window.platform();
    const std::filesystem::path file = data_file_path(platform);
    std::filesystem::path target = file;
    for (;;) {
        QString reason;
        try {
            save_data_file(target, window.portfolio());
            return target == file ? Shutdown::saved : Shutdown::saved_elsewhere;
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
                return Shutdown::discarded;
            break;
        default:
            return Shutdown::stay_open;
        }
    }
}

}  // namespace chomaru
