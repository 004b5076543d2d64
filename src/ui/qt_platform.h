#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/platform.h"

namespace chomaru {

// The platform of a real desktop: Qt's dialogs, the system clock, the XDG
// documents folder and the desktop's opener.
class QtPlatform : public Platform {
public:
    // Prompts and messages are centred on `owner` once it is set.
    void set_owner(QWidget* owner) { owner_ = owner; }
    void set_data_folder(const std::filesystem::path& folder) { data_folder_ = folder; }

    QString input_box(const QString& caption, const QString& message, const QString& default_text) override;
    QMessageBox::StandardButton message_box(
        const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, const QString& caption,
        QMessageBox::StandardButton default_button = QMessageBox::NoButton) override;
    void run_modal(QDialog& dialog) override;
    QDateTime now() override;
    std::filesystem::path program_folder() override;
    std::filesystem::path data_folder() override { return data_folder_; }
    std::filesystem::path documents_folder() override;
    void open_document(const std::filesystem::path& file, std::function<void()> not_opened) override;
    std::filesystem::path choose_save_file(const QString& caption, const std::filesystem::path& suggestion) override;
    std::filesystem::path choose_open_file(const QString& caption, const QString& filter) override;
    std::filesystem::path choose_folder(const QString& caption, const std::filesystem::path& start) override;
    // chomaru/chomaru.conf in the XDG configuration folder.
    std::unique_ptr<QSettings> settings() override;

private:
    QPointer<QWidget> owner_;
    std::filesystem::path data_folder_;
    std::filesystem::path open_folder_;
};

}  // namespace chomaru
