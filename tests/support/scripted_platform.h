#pragma once

#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/platform.h"

namespace chomaru {

// The platform of the tests: prompts and messages take scripted answers and
// are logged with their exact texts; dialogs run scripted actions against
// the real widgets.
class ScriptedPlatform : public Platform {
public:
    struct Prompt {
        QString caption;
        QString message;
        QString default_text;
    };
    struct Message {
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QString caption;
        QMessageBox::StandardButton default_button = QMessageBox::NoButton;
    };
    using DialogAction = std::function<void(QDialog&)>;

    // Answers for the next prompts, in order: text for OK, nullopt for Cancel.
    ScriptedPlatform& answer(const QString& text);
    ScriptedPlatform& cancel();
    // OK on the prompt's default text.
    ScriptedPlatform& accept_default();
    // The button pressed on the next message box that offers a choice.
    ScriptedPlatform& press(QMessageBox::StandardButton button);
    // What the next modal dialog does; without one it is closed untouched.
    ScriptedPlatform& on_dialog(DialogAction action);

    QString input_box(const QString& caption, const QString& message, const QString& default_text) override;
    QMessageBox::StandardButton message_box(
        const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, const QString& caption,
        QMessageBox::StandardButton default_button = QMessageBox::NoButton) override;
    void run_modal(QDialog& dialog) override;
    QDateTime now() override { return clock; }
    std::filesystem::path program_folder() override { return program; }
    std::filesystem::path data_folder() override { return data; }
    std::filesystem::path documents_folder() override { return documents; }
    void open_document(const std::filesystem::path& file, std::function<void()> not_opened) override;
    std::filesystem::path choose_save_file(const QString& caption, const std::filesystem::path& suggestion) override;
    std::filesystem::path choose_open_file(const QString& caption, const QString& filter) override;
    std::filesystem::path choose_folder(const QString& caption, const std::filesystem::path& start) override;
    FileSystem& file_system() override { return files ? *files : real_file_system(); }
    // The settings in `settings_file`; nothing is kept while it is empty.
    std::unique_ptr<QSettings> settings() override;

    bool script_done() const { return answers_.empty() && buttons_.empty() && dialog_actions_.empty(); }

    QDateTime clock = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15));
    std::filesystem::path program;
    std::filesystem::path data;
    std::filesystem::path documents;
    std::deque<std::filesystem::path> save_choices;
    std::deque<std::filesystem::path> folder_choices;  // empty: Cancel
    std::deque<std::filesystem::path> open_choices;    // empty: Cancel
    std::vector<QString> open_filters;                 // the filter of each file chooser shown
    bool desktop_opens_documents = true;
    FileSystem* files = nullptr;  // the real file system when null
    std::filesystem::path settings_file;

    std::vector<Prompt> prompts;
    std::vector<Message> messages;
    std::vector<QString> dialogs;  // object names of the dialogs shown
    std::vector<std::filesystem::path> opened;

private:
    struct Answer {
        std::optional<QString> text;
        bool use_default = false;
    };
    std::deque<Answer> answers_;
    std::deque<QMessageBox::StandardButton> buttons_;
    std::deque<DialogAction> dialog_actions_;
};

}  // namespace chomaru
