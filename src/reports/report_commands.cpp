#include "reports/report_commands.h"

#include <QPointer>
#include <algorithm>
#include <string>
#include <system_error>

#include "program_info.h"
#include "reports/help_window.h"
#include "reports/portfolio_csv.h"
#include "reports/tax_csv.h"
#include "reports/year_report.h"
#include "store/cp932.h"
#include "store/data_file.h"
#include "store/safe_file.h"
#include "ui/platform.h"
#include "ui/session.h"

namespace chomaru {

namespace {

const QString report_caption = QStringLiteral("CSVファイルの出力");

void report_failure(Platform& platform, const std::string& text) {
    platform.message_box(qt_text(text), QMessageBox::Critical, QMessageBox::Ok, report_caption);
}

// The file's place in the documents folder; empty, after telling the user,
// when there is no documents folder.
std::filesystem::path report_path(Platform& platform, const std::string& name) {
    const std::filesystem::path folder = special_folder_path(platform);
    if (folder.empty())
        report_failure(platform, name + " を作成できませんでした（ドキュメントフォルダが見つかりません）");
    return folder.empty() ? folder : folder / name;
}

// Writes the file whole; false, after telling the user why, when it could
// not be written.
bool write_report(Platform& platform, const std::filesystem::path& path, const std::string& bytes) {
    try {
        replace_file_atomically(path, bytes, platform.file_system());
        return true;
    } catch (const SaveError& e) {
        report_failure(platform, e.what());
        return false;
    }
}

std::string done_message(const std::filesystem::path& path, bool replaced) {
    return report_done_message(path_text(path.parent_path()), path_text(path.filename()), replaced);
}

void report_done(Platform& platform, const std::string& message) {
    platform.message_box(qt_text(message), QMessageBox::NoIcon, QMessageBox::Ok, report_caption);
}

void report_unencodable(Platform& platform, const std::string& name) {
    report_failure(platform, name + " を作成できませんでした（Shift_JISで書けない文字が含まれています）");
}

// Writes the file whole and tells the user where; when the file lacks what
// some stocks would have given, the message names them first.
void write_and_tell(Platform& platform, const std::filesystem::path& path, const std::string& bytes,
                    const std::string& problems) {
    // An export of the same day is replaced, and so is a link at the name.
    const bool replaced = name_taken(path);
    if (!write_report(platform, path, bytes)) return;
    const std::string done = done_message(path, replaced);
    if (!problems.empty())
        report_failure(platform, problems + "\r\n\r\n" + done);
    else
        report_done(platform, done);
}

}  // namespace

std::filesystem::path special_folder_path(Platform& platform) { return platform.documents_folder(); }

void m_csvf_click(Session& session) {
    Platform& platform = session.platform;
    const std::string name = export_file_name(platform.today());
    const std::filesystem::path path = report_path(platform, name);
    if (path.empty()) return;
    std::string bytes;
    try {
        bytes = portfolio_csv(session.portfolio);
    } catch (const EncodingError&) {
        report_unencodable(platform, name);
        return;
    }
    write_and_tell(platform, path, bytes, std::string());
}

void m_tax_file_click(Session& session) {
    Platform& platform = session.platform;
    const std::string name = tax_file_name(platform.today());
    const std::filesystem::path path = report_path(platform, name);
    if (path.empty()) return;
    const TaxFile file = tax_csv(session.portfolio);
    write_and_tell(platform, path, file.bytes, tax_problems(session.portfolio, file));
}

void write_year_file(Platform& platform, const Portfolio& portfolio) {
    const std::string name = year_file_name(platform.today());
    const std::filesystem::path path = report_path(platform, name);
    if (path.empty()) return;
    const YearReport report = year_report(portfolio);
    std::string bytes;
    try {
        bytes = year_csv(portfolio, report);
    } catch (const EncodingError&) {
        report_unencodable(platform, name);
        return;
    }
    write_and_tell(platform, path, bytes, year_problems(portfolio, report));
}

// The help opens with the desktop's opener, or else in a window of the
// program's own; never silently nothing.
void expla_click(Session& session) {
    Platform& platform = session.platform;
    const std::vector<std::filesystem::path> places = help_file_places(platform.program_folder());
    const auto help = std::find_if(places.begin(), places.end(), [](const std::filesystem::path& place) {
        std::error_code error;
        return std::filesystem::is_regular_file(place, error);
    });
    if (help == places.end()) {
        QString text = QStringLiteral("動作説明のファイルが見つかりませんでした。\r\n探した場所：");
        for (const std::filesystem::path& place : places) text += QStringLiteral("\r\n") + qt_path(place);
        platform.message_box(text, QMessageBox::Warning, QMessageBox::Ok, program_caption);
        return;
    }
    platform.open_document(*help, [owner = QPointer<QWidget>(session.dialog_parent), file = *help, &platform] {
        if (owner) show_help_window(*owner, file, platform);
    });
}

void version_key_click(Session& session) {
    const std::filesystem::path data = session.platform.data_folder() / data_file_name;
    session.platform.message_box(QStringLiteral("帳丸\r\n\r\nバージョン") + QString::fromLatin1(program_version) +
                                     QStringLiteral("\r\n\r\nデータファイル：") + qt_path(data),
                                 QMessageBox::Information, QMessageBox::Ok, QStringLiteral("バージョン情報"));
}

}  // namespace chomaru
