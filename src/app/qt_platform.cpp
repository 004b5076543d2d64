#include "app/qt_platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QStandardPaths>
#include <QUrl>

namespace chomaru {

namespace {

// The program's texts separate lines with CR LF; Qt's labels want LF.
QString display_lines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

QString QtPlatform::input_box(const QString& caption, const QString& message, const QString& default_text) {
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(display_lines(message));
    dialog.setTextValue(default_text);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue();
}

QMessageBox::StandardButton QtPlatform::message_box(const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons, const QString& caption) {
    QMessageBox box(icon, caption, display_lines(text), buttons, owner_);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtPlatform::run_modal(QDialog& dialog) { dialog.exec(); }

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

std::filesystem::path QtPlatform::program_folder() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

std::filesystem::path QtPlatform::documents_folder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    return std::filesystem::path(folder.toStdString());
}

void QtPlatform::open_document(const std::filesystem::path& file) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

std::filesystem::path QtPlatform::choose_save_file(const QString& caption, const std::filesystem::path& suggestion) {
    const QString chosen = QFileDialog::getSaveFileName(owner_, caption, QString::fromStdString(suggestion.string()));
    return std::filesystem::path(chosen.toStdString());
}

}  // namespace chomaru
