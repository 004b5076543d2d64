#pragma once

#include <QDateTime>
#include <QMessageBox>
#include <QSettings>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "store/date_text.h"
#include "store/safe_file.h"

class QDialog;

namespace chomaru {

// Everything the program takes from the desktop goes through this seam, so
// that every command runs in tests with scripted answers.
class Platform {
public:
    virtual ~Platform() = default;

    // The modal input box: OK returns the edited text, Cancel empty text.
    virtual QString input_box(const QString& caption, const QString& message, const QString& default_text) = 0;

    // The modal message box; returns the button pressed. Without a default
    // button the box chooses its own.
    virtual QMessageBox::StandardButton message_box(
        const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, const QString& caption,
        QMessageBox::StandardButton default_button = QMessageBox::NoButton) = 0;

    // Shows a dialog modally and returns when it has been closed.
    virtual void run_modal(QDialog& dialog) = 0;

    virtual QDateTime now() = 0;
    Date today();

    // The folder of the executable, empty when it cannot be determined. A
    // portable copy keeps its data and its help there.
    virtual std::filesystem::path program_folder() = 0;

    // The folder chosen at start-up for the data file, its recovery file,
    // the copies kept aside and the lock.
    virtual std::filesystem::path data_folder() = 0;

    // The user's documents folder, created when missing; empty when it cannot be had.
    virtual std::filesystem::path documents_folder() = 0;

    // Opens a document with the desktop's default application; calls
    // `not_opened`, possibly later, when the desktop has none or it fails.
    virtual void open_document(const std::filesystem::path& file, std::function<void()> not_opened) = 0;

    // Asks where to save a file; empty when the user cancels.
    virtual std::filesystem::path choose_save_file(const QString& caption, const std::filesystem::path& suggestion) = 0;

    // Asks for a file to open, of the kinds `filter` names
    // ("CSVファイル (*.csv)"); empty when the user cancels.
    virtual std::filesystem::path choose_open_file(const QString& caption, const QString& filter) = 0;

    // Asks for a folder; empty when the user cancels.
    virtual std::filesystem::path choose_folder(const QString& caption, const std::filesystem::path& start) = 0;

    // Where the windows' sizes and places are kept between runs; nothing is
    // kept when there is no such place.
    virtual std::unique_ptr<QSettings> settings() { return nullptr; }

    // The file system every save goes through.
    virtual FileSystem& file_system() { return real_file_system(); }
};

inline const QString program_caption = QStringLiteral("帳丸");

// The folder of the executable a link such as /proc/self/exe points to, as
// the bytes of its name whatever their encoding; empty when it cannot be read.
std::filesystem::path executable_folder(const std::filesystem::path& link);

// The XDG documents folder, as its bytes whatever their encoding:
// XDG_DOCUMENTS_DIR in user-dirs.dirs, in `config_home` (XDG_CONFIG_HOME)
// when it is an absolute path, else in `home`/.config; else
// `home`/Documents. Empty when the folder would not be an absolute path.
std::filesystem::path xdg_documents_folder(const char* config_home, const std::filesystem::path& home);

// A path's name for the user: UTF-8, or else Shift_JIS, as the bytes allow.
QString qt_path(const std::filesystem::path& path);

// A local file's URL, exact for any bytes of its name.
QUrl file_url(const std::filesystem::path& file);

// Text between the core (UTF-8) and Qt.
inline QString qt_text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
inline std::string core_text(const QString& text) { return text.toStdString(); }

}  // namespace chomaru
