#include "app/data_folder_check.h"

#include <cstdlib>
#include <sys/stat.h>

#include "document/recovery_file.h"
#include "store/data_folder.h"
#include "store/safe_file.h"
#include "ui/platform.h"

namespace chomaru {

namespace {

bool refuse_irregular(Platform& platform, const QString& role, const std::filesystem::path& name, bool through_link) {
    const std::optional<std::string> kind = irregular_file_kind(name, through_link);
    if (!kind) return false;
    platform.message_box(role + QStringLiteral(" ") + qt_path(name) +
                             QStringLiteral(" は通常のファイルではありません（") + qt_text(*kind) +
                             QStringLiteral("）。\r\nこの名前のものを別の場所へ移してから、もう一度起動して下さい。"),
                         QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return true;
}

bool dangling_link(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_symlink(std::filesystem::symlink_status(file, error)) &&
           std::filesystem::status(file, error).type() == std::filesystem::file_type::not_found;
}

// A link to a file not yet there may be a synchronised folder that is not
// mounted yet: a first run written there at the exit would spread an empty
// portfolio to every other copy.
bool start_at_missing_target(Platform& platform, const std::filesystem::path& file) {
    const std::filesystem::path target = final_target(file);
    const QString text = QStringLiteral("データファイル ") + qt_path(file) +
                         QStringLiteral(" はシンボリックリンクですが、リンク先の ") + qt_path(target) +
                         QStringLiteral(" がありません。\r\n");
    std::error_code error;
    if (!std::filesystem::is_directory(target.parent_path(), error)) {
        platform.message_box(text + QStringLiteral("リンク先のフォルダもありません。フォルダが使えるようになってから、"
                                                   "もう一度起動して下さい。"),
                             QMessageBox::Warning, QMessageBox::Ok, program_caption);
        return false;
    }
    return platform.message_box(
               text + QStringLiteral("\r\nはい：リンク先に新しいデータファイルを作って始めます。\r\n"
                                     "いいえ：帳丸を終了します。同期するフォルダなどが使えるようになってから、"
                                     "もう一度起動して下さい。"),
               QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, program_caption,
               QMessageBox::No) == QMessageBox::Yes;
}

// A save writes a new file and renames it over the name, so the other
// names of a hard-linked file keep the data as it was.
void tell_other_names(Platform& platform, const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink < 2) return;
    platform.message_box(QStringLiteral("データファイル ") + qt_path(file) +
                             QStringLiteral(" には、ほかにも %1 個の名前（ハードリンク）があります。\r\n"
                                            "保存するとこの名前のファイルが新しいファイルに置き換わるため、"
                                            "ほかの名前のファイルには保存した内容が入りません。")
                                 .arg(info.st_nlink - 1),
                         QMessageBox::Warning, QMessageBox::Ok, program_caption);
}

}  // namespace

std::optional<std::filesystem::path> writable_data_folder(Platform& platform, std::filesystem::path folder) {
    // Only a relative HOME gives a relative folder: the data would then
    // follow the folder the program was started in.
    if (folder.is_relative()) {
        const char* home = std::getenv("HOME");
        platform.message_box(QStringLiteral("ホームフォルダの設定 HOME=") + qt_path(home ? home : "") +
                                 QStringLiteral(" が絶対パスではないため、データを保存するフォルダが決まりません。\r\n"
                                                "HOME を正しく設定するか、--data-dir でフォルダを指定して下さい。"),
                             QMessageBox::Critical, QMessageBox::Ok, program_caption);
        return std::nullopt;
    }
    while (const std::optional<std::string> problem = data_folder_problem(folder)) {
        const QMessageBox::StandardButton choice = platform.message_box(
            QStringLiteral("データを保存するフォルダに書き込めません。\r\n") + qt_path(folder) +
                QStringLiteral("\r\n（") + qt_text(*problem) +
                QStringLiteral("）\r\n\r\n「開く」で別のフォルダを選びます。「閉じる」で帳丸を終了します。"),
            QMessageBox::Critical, QMessageBox::Open | QMessageBox::Close, program_caption);
        if (choice != QMessageBox::Open) return std::nullopt;
        const std::filesystem::path other = platform.choose_folder(QStringLiteral("データを保存するフォルダ"), folder);
        if (!other.empty()) folder = other;
    }
    return folder;
}

bool data_file_usable(Platform& platform, const std::filesystem::path& file) {
    if (refuse_irregular(platform, QStringLiteral("データファイル"), file, true) ||
        refuse_irregular(platform, QStringLiteral("復旧用ファイル"), recovery_file_path(file), false))
        return false;
    if (dangling_link(file) && !start_at_missing_target(platform, file)) return false;
    tell_other_names(platform, file);
    return true;
}

}  // namespace chomaru
