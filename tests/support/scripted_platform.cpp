#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <QSettings>

namespace chomaru {

ScriptedPlatform& ScriptedPlatform::answer(const QString& text) {
    answers_.push_back({text, false});
    return *this;
}

ScriptedPlatform& ScriptedPlatform::cancel() {
    answers_.push_back({std::nullopt, false});
    return *this;
}

ScriptedPlatform& ScriptedPlatform::accept_default() {
    answers_.push_back({std::nullopt, true});
    return *this;
}

ScriptedPlatform& ScriptedPlatform::press(QMessageBox::StandardButton button) {
    buttons_.push_back(button);
    return *this;
}

ScriptedPlatform& ScriptedPlatform::on_dialog(DialogAction action) {
    dialog_actions_.push_back(std::move(action));
    return *this;
}

QString ScriptedPlatform::input_box(const QString& caption, const QString& message, const QString& default_text) {
    prompts.push_back({caption, message, default_text});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << caption.toStdString();
        return QString();
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (a.use_default) return default_text;
    return a.text.value_or(QString());
}

QMessageBox::StandardButton ScriptedPlatform::message_box(const QString& text, QMessageBox::Icon icon,
                                                          QMessageBox::StandardButtons buttons, const QString& caption,
                                                          QMessageBox::StandardButton default_button) {
    messages.push_back({text, icon, buttons, caption, default_button});
    if (buttons == QMessageBox::Ok) return QMessageBox::Ok;
    if (buttons_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return QMessageBox::Cancel;
    }
    const QMessageBox::StandardButton b = buttons_.front();
    buttons_.pop_front();
    EXPECT_TRUE(buttons.testFlag(b)) << "the question does not offer that button: " << text.toStdString();
    return b;
}

void ScriptedPlatform::run_modal(QDialog& dialog) {
    dialogs.push_back(dialog.objectName());
    if (dialog_actions_.empty()) return;
    const DialogAction action = dialog_actions_.front();
    dialog_actions_.pop_front();
    action(dialog);
}

std::filesystem::path ScriptedPlatform::choose_save_file(const QString&, const std::filesystem::path&) {
    if (save_choices.empty()) return {};
    const std::filesystem::path p = save_choices.front();
    save_choices.pop_front();
    return p;
}

std::filesystem::path ScriptedPlatform::choose_open_file(const QString&, const QString& filter) {
    open_filters.push_back(filter);
    if (open_choices.empty()) return {};
    const std::filesystem::path p = open_choices.front();
    open_choices.pop_front();
    return p;
}

std::filesystem::path ScriptedPlatform::choose_folder(const QString&, const std::filesystem::path&) {
    if (folder_choices.empty()) return {};
    const std::filesystem::path p = folder_choices.front();
    folder_choices.pop_front();
    return p;
}

void ScriptedPlatform::open_document(const std::filesystem::path& file, std::function<void()> not_opened) {
    opened.push_back(file);
    if (!desktop_opens_documents) not_opened();
}

std::unique_ptr<QSettings> ScriptedPlatform::settings() {
    if (settings_file.empty()) return nullptr;
    return std::make_unique<QSettings>(QString::fromStdString(settings_file.string()), QSettings::IniFormat);
}

}  // namespace chomaru
