#include "ui/qt_platform.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QProcess>
#include <QSettings>
#include <QSpacerItem>
#include <algorithm>
#include <cstdlib>

#include "store/data_folder.h"
#include "ui/twips.h"

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
    // Its layout keeps the dialog at its own size unless it is resized before it shows.
    const QSize fitting = dialog.sizeHint();
    dialog.resize(std::max(fitting.width(), width_for_caption(dialog, caption)), fitting.height());
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.textValue();
}

QMessageBox::StandardButton QtPlatform::message_box(const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons, const QString& caption,
                                                    QMessageBox::StandardButton default_button) {
    QMessageBox box(icon, caption, display_lines(text), buttons, owner_);
    if (default_button != QMessageBox::NoButton) box.setDefaultButton(default_button);
    // A message box sizes itself to its layout, so the width goes in as a
    // spacer under its contents.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width_for_caption(box, caption), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtPlatform::run_modal(QDialog& dialog) { dialog.exec(); }

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

// Taken from the executable's real path as bytes: a folder name that is not
// UTF-8 must not turn into an empty or a relative folder.
std::filesystem::path QtPlatform::program_folder() { return executable_folder("/proc/self/exe"); }

// Read as bytes: Qt reads user-dirs.dirs as UTF-8, which turns a folder
// named in Shift_JIS into a new folder of replacement characters.
std::filesystem::path QtPlatform::documents_folder() {
    const std::filesystem::path folder =
        xdg_documents_folder(std::getenv("XDG_CONFIG_HOME"), home_folder(std::getenv("HOME")));
    std::error_code error;
    if (folder.empty()) return {};
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error) ? folder : std::filesystem::path();
}

// The desktop's opener is xdg-open, as for Qt's own openers; unlike them,
// its exit status is watched, because it starts without fault also where no
// program opens the document.
void QtPlatform::open_document(const std::filesystem::path& file, std::function<void()> not_opened) {
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(opener, &QProcess::finished, opener, [opener, not_opened](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) not_opened();
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, not_opened](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        not_opened();
        opener->deleteLater();
    });
    opener->start(QStringLiteral("xdg-open"), {QString::fromLatin1(file_url(file).toEncoded())});
}

std::filesystem::path QtPlatform::choose_save_file(const QString& caption, const std::filesystem::path& suggestion) {
    const QString chosen = QFileDialog::getSaveFileName(owner_, caption, qt_path(suggestion));
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

// The chooser starts in the documents folder, then where the last file was
// chosen during the run.
std::filesystem::path QtPlatform::choose_open_file(const QString& caption, const QString& filter) {
    if (open_folder_.empty()) open_folder_ = documents_folder();
    const QString chosen = QFileDialog::getOpenFileName(owner_, caption, qt_path(open_folder_), filter);
    const std::filesystem::path file(QFile::encodeName(chosen).toStdString());
    if (!file.empty()) open_folder_ = file.parent_path();
    return file;
}

std::filesystem::path QtPlatform::choose_folder(const QString& caption, const std::filesystem::path& start) {
    const QString chosen = QFileDialog::getExistingDirectory(owner_, caption, qt_path(start));
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

std::unique_ptr<QSettings> QtPlatform::settings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("chomaru"),
                                       QStringLiteral("chomaru"));
}

}  // namespace chomaru
