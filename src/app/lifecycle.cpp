#include "app/lifecycle.h"

#include <QDateTime>
#include <memory>
#include <optional>

#include "app/read_me_dialog.h"
#include "document/recovery_file.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "ui/platform.h"
#include "ui/text_checks.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// A free name beside the data file for a copy kept aside: the prefix, the
// date and the time.
std::filesystem::path aside_name(const std::filesystem::path& folder, const std::string& prefix, const QDateTime& now) {
    const std::string stamp = now.toString(QStringLiteral("yyyyMMdd_HHmmss")).toStdString();
    std::filesystem::path candidate = folder / (prefix + stamp + ".txt");
    for (int n = 2; name_taken(candidate); ++n)
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

// Keeps a byte-identical copy of the data file beside it under a dated
// name, with the data file's permissions; nothing when it cannot be made.
std::optional<std::filesystem::path> keep_copy(Platform& platform, const std::filesystem::path& file,
                                               const std::string& prefix, const std::string& bytes) {
    const std::filesystem::path copy = aside_name(file.parent_path(), prefix, platform.now());
    try {
        replace_file_atomically(copy, bytes, platform.file_system(), permissions_of(file));
        return copy;
    } catch (const SaveError&) {
        return std::nullopt;
    }
}

// Whether a data file written in another layout holds what the program
// wrote as `written`, as after a run whose commands changed nothing.
bool holds_same_data(const std::string& file_bytes, const std::string& written, Portfolio& scratch) {
    ReadGaps gaps;
    if (parse_data_file(file_bytes, scratch, gaps) != LoadStatus::loaded || !gaps.whole()) return false;
    try {
        return format_data_file(scratch) == written;
    } catch (const DataFileError&) {
        return false;
    }
}

// When the last run ended without saving, offers its data from the recovery
// file. Returns the bytes to start from instead of the data file.
std::optional<std::string> offer_recovery(Platform& platform, const std::filesystem::path& file,
                                          RecoveryFile& recovery) {
    const std::optional<std::string> bytes = read_if_possible(recovery.path());
    if (!bytes) return std::nullopt;
    const std::unique_ptr<Portfolio> scratch = Portfolio::create();
    const std::optional<std::string> saved = read_if_possible(file);
    if (saved == bytes || (saved && holds_same_data(*saved, *bytes, *scratch))) {
        recovery.remove();
        return std::nullopt;
    }
    if (parse_data_file(*bytes, *scratch) != LoadStatus::loaded) {
        const auto kept = move_aside(recovery.path(), "vavo_data_recovery_unreadable_", platform.now());
        platform.message_box(QStringLiteral("前回の作業内容を読み込めませんでした。\r\n") +
                                 qt_text(kept.filename().string()) +
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
        // When no copy can be made, the data file itself stays until the
        // exit's save replaces it.
        if (saved) keep_copy(platform, file, "vavo_data_before_recovery_", *saved);
        return bytes;
    }
    move_aside(recovery.path(), "vavo_data_recovery_", platform.now());
    return std::nullopt;
}

void tell_kept(Platform& platform, const QString& text, const std::filesystem::path& copy) {
    platform.message_box(text + QStringLiteral("元のファイルは ") + qt_path(copy.filename()) +
                             QStringLiteral(" として同じフォルダに残してあります。"),
                         QMessageBox::Warning, QMessageBox::Ok, program_caption);
}

bool refuse_uncopied(Platform& platform, const QString& what) {
    platform.message_box(what + QStringLiteral("、控えを作ることもできませんでした。\r\n"
                                               "データを保護するため、帳丸を終了します。"),
                         QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return false;
}

// Keeps a copy of a data file that could not be read, so that the first
// run's data written at exit never replaces the only copy. `bytes` is empty
// when the file could not even be read.
bool set_aside_unreadable(Platform& platform, const std::filesystem::path& file,
                          const std::optional<std::string>& bytes) {
    if (bytes && bytes->empty()) return true;
    const QString name = qt_path(file.filename());
    if (bytes) {
        if (const auto copy = keep_copy(platform, file, "vavo_data_unreadable_", *bytes)) {
            tell_kept(platform, name + QStringLiteral(" を読み込めませんでした。\r\n"), *copy);
            return true;
        }
    }
    return refuse_uncopied(platform, name + QStringLiteral(" を読み込めず"));
}

QString damage_text(const ReadGaps& gaps) {
    QString text;
    if (gaps.lines_left > 0)
        text += QStringLiteral("%1 行を読み込めませんでした（%2 行目から %3 行目まで）。\r\n")
                    .arg(gaps.lines_left)
                    .arg(gaps.first_line_left)
                    .arg(gaps.first_line_left + gaps.lines_left - 1);
    if (gaps.fee_table_unread) text += QStringLiteral("手数料の設定を読み込めなかったため、初期の設定を使います。\r\n");
    if (gaps.clamped_counts > 0)
        text += QStringLiteral("記録の件数が負の値だった %1 か所を、記録なしとして読み込みました。\r\n")
                    .arg(gaps.clamped_counts);
    if (gaps.selection_clamped)
        text += QStringLiteral("選ばれていた銘柄の番号が範囲外だったため、最初の銘柄を選びました。\r\n");
    if (!gaps.unread_settings.empty()) {
        QStringList lines;
        for (const size_t line : gaps.unread_settings) lines << QString::number(line);
        text += QStringLiteral("読み込めなかった設定の行があります（%1 行目）。その設定は初期の値を使います。\r\n")
                    .arg(lines.join(QStringLiteral("、")));
    }
    return text;
}

// A file read only in part would lose what was not read at the exit's save:
// the file as it was is kept beside it and the user is told what was not
// read before the work begins.
bool set_aside_damaged(Platform& platform, const std::filesystem::path& file, const std::string& bytes,
                       const ReadGaps& gaps) {
    const QString name = qt_path(file.filename());
    const auto copy = keep_copy(platform, file, "vavo_data_damaged_", bytes);
    if (!copy) return refuse_uncopied(platform, name + QStringLiteral(" を最後まで読み込めず"));
    tell_kept(
        platform,
        name + QStringLiteral(" を最後まで読み込めませんでした。\r\n") + damage_text(gaps) + QStringLiteral("\r\n"),
        *copy);
    return true;
}

// Keeps a copy of a data file that was not read whole and tells the user.
// Nothing when the program must end. The bytes are dropped from what is
// returned unless the data was read whole from them.
std::optional<DataFileRead> keep_copies(Platform& platform, const std::filesystem::path& file, DataFileRead read) {
    if (read.status == LoadStatus::unreadable && !set_aside_unreadable(platform, file, read.bytes)) return std::nullopt;
    if (read.status == LoadStatus::loaded && !read.gaps.whole() &&
        !set_aside_damaged(platform, file, *read.bytes, read.gaps))
        return std::nullopt;
    if (read.status != LoadStatus::loaded || !read.gaps.whole()) read.bytes.reset();
    return read;
}

// The reason a save of the portfolio to `target` failed, or nothing when it
// succeeded.
std::optional<QString> save_failure(Platform& platform, const std::filesystem::path& target,
                                    const Portfolio& portfolio) {
    try {
        save_data_file(target, portfolio, platform.file_system());
        return std::nullopt;
    } catch (const SaveError& e) {
        return QString::fromStdString(e.what());
    } catch (const DataFileError& e) {
        return QString::fromStdString(e.what());
    }
}

const QString not_saved = QStringLiteral("データを保存できませんでした。\r\n");

// Without a recovery file a crash would take the run's work: the user is
// told and may save at once.
void offer_save_now(StockMain& window, Document& document, const std::string& reason) {
    Platform& platform = window.platform();
    const QMessageBox::StandardButton choice =
        platform.message_box(QStringLiteral("復旧用ファイルを書けません：") + qt_text(reason) +
                                 QStringLiteral("。今のうちに保存することをお勧めします。\r\n\r\n今すぐ保存しますか？"),
                             QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, program_caption);
    if (choice != QMessageBox::Yes) return;
    if (const auto failure = save_failure(platform, data_file_path(platform), document.portfolio())) {
        platform.message_box(not_saved + *failure, QMessageBox::Critical, QMessageBox::Ok, program_caption);
        return;
    }
    // The saved file now holds the run; an older recovery file must not be
    // offered after a crash.
    document.saved();
}

// A first-run prompt asks again while its answer is refused; Cancel gives
// the empty field.
QString ask_until_held(Platform& platform, const QString& caption, const QString& example) {
    for (;;) {
        const QString answer = platform.input_box(caption, example, QString());
        if (answer.isEmpty()) return answer;
        if (const std::optional<QString> held = accept_line_text(platform, answer)) return *held;
    }
}

}  // namespace

std::filesystem::path data_file_path(Platform& platform) { return platform.data_folder() / data_file_name; }

void first_run(StockMain& window, Document& document) {
    Platform& platform = window.platform();
    ReadMeDialog welcome(&window);
    platform.run_modal(welcome);
    const QString code =
        ask_until_held(platform, QStringLiteral("銘柄のコードを入れて下さい"), QStringLiteral("例:1234"));
    const QString name = ask_until_held(platform, QStringLiteral("銘柄を入れて下さい"), QStringLiteral("例:日本製鉄"));
    document.begin_afresh(core_text(code), core_text(name));
}

std::unique_ptr<Document> start_up(StockMain& window, std::unique_ptr<Portfolio> data) {
    DataFileRead read = read_data_file(data_file_path(window.platform()), *data);
    return start_up(window, std::move(data), std::move(read));
}

std::unique_ptr<Document> start_up(StockMain& window, std::unique_ptr<Portfolio> data, DataFileRead read) {
    window.setup_info_grid();
    window.setup_analysis_grid();
    window.setup_ratio_grids();
    window.setup_buy_grid();
    window.setup_sell_grid();
    window.setup_payment_grid();

    Platform& platform = window.platform();
    const std::filesystem::path file = data_file_path(platform);
    RecoveryFile recovery(file);
    DataFileRead start;
    if (std::optional<std::string> restored = offer_recovery(platform, file, recovery)) {
        start.status = parse_data_file(*restored, *data);
        start.bytes = std::move(*restored);
    } else if (std::optional<DataFileRead> kept = keep_copies(platform, file, std::move(read))) {
        start = std::move(*kept);
    } else {
        return nullptr;
    }
    auto document = std::make_unique<Document>(std::move(data));
    window.attach(*document);
    if (start.status != LoadStatus::loaded) first_run(window, *document);
    window.session().take_changes();
    window.redraw(all_views);

    // From now on every change leaves its result in the recovery file, and
    // closing the window, from its title bar, the menu or a signal, saves.
    // The bytes the data was read from stand for it as it is now, so that a
    // large file is not written out again only to be remembered.
    if (start.bytes)
        recovery.remember(std::move(*start.bytes));
    else
        recovery.remember(document->portfolio());
    document->keep_recovery(
        std::move(recovery), [&platform]() -> FileSystem& { return platform.file_system(); },
        [&window, &data = *document](const std::string& failure) { offer_save_now(window, data, failure); });
    window.set_close_handler([&window, &data = *document, done = false]() mutable {
        if (done) return true;
        const Shutdown result = shut_down(window);
        if (result == Shutdown::saved || result == Shutdown::discarded) data.drop_recovery();
        done = result != Shutdown::stay_open;
        return done;
    });
    return document;
}

Shutdown shut_down(StockMain& window) {
    Platform& platform = window.platform();
    const std::filesystem::path file = data_file_path(platform);
    std::filesystem::path target = file;
    for (;;) {
        const std::optional<QString> reason = save_failure(platform, target, window.portfolio());
        if (!reason) return target == file ? Shutdown::saved : Shutdown::saved_elsewhere;
        const QMessageBox::StandardButton choice = platform.message_box(
            not_saved + *reason +
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
