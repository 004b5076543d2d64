#include "app/data_folder_check.h"

#include "store/data_folder.h"
#include "ui/platform.h"

namespace chomaru {

std::optional<std::filesystem::path> writable_data_folder(Platform& platform, std::filesystem::path folder) {
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

}  // namespace chomaru
