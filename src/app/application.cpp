#include "app/application.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <future>

#include "app/data_folder_check.h"
#include "app/lifecycle.h"
#include "app/program_identity.h"
#include "app/shutdown_signals.h"
#include "store/data_folder.h"
#include "store/safe_file.h"
#include "ui/widgets.h"
#include "views/main_window.h"

namespace chomaru {

namespace {

// The data file as read on the reading thread, with the data it holds.
struct ReadData {
    std::unique_ptr<Portfolio> data;
    DataFileRead file;
};

}  // namespace

void apply_japanese_settings(QApplication& app, QTranslator& translator) {
    // Qt sets the C library's locale from the environment; number text is
    // the program's own and must not follow it.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    if (load_qt_japanese(translator)) app.installTranslator(&translator);
    app.setFont(program_font(9));
}

bool take_lock(Platform& platform, std::optional<InstanceLock>& lock, const std::filesystem::path& data_file) {
    lock.emplace(final_target(data_file).parent_path());
    switch (lock->state()) {
    case InstanceLock::State::acquired:
        return true;
    case InstanceLock::State::held_elsewhere:
        platform.message_box(QStringLiteral("帳丸は既に起動しています。"), QMessageBox::Information, QMessageBox::Ok,
                             program_caption);
        return false;
    case InstanceLock::State::failed:
        break;
    }
    platform.message_box(QStringLiteral("ロックファイル ") + qt_path(lock->path()) +
                             QStringLiteral(" を使えないため、このフォルダでは帳丸を起動できません。\r\n（") +
                             qt_text(describe_error(lock->error_number())) + QStringLiteral("）"),
                         QMessageBox::Critical, QMessageBox::Ok, program_caption);
    return false;
}

bool load_qt_japanese(QTranslator& translator) {
    return translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

ChomaruApp::ChomaruApp(QApplication& app) {
    apply_japanese_settings(app, translator_);
    // Gathering the machine's fonts is the longest step before the first
    // text is measured; it runs on its own thread while the lock is taken
    // and the data file read. Qt's font database is thread-safe; the
    // thread starts only after the C locale is set, which no other thread
    // may be using then.
    font_gathering_ = std::thread([] { QFontDatabase::families(); });
    set_program_identity(app);
    // The end of the desktop session closes the window the normal way.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [this](QSessionManager&) {
        if (window_) window_->close();
    });
}

ChomaruApp::~ChomaruApp() {
    if (font_gathering_.joinable()) font_gathering_.join();
}

bool ChomaruApp::open(const std::optional<std::filesystem::path>& data_dir, std::vector<std::filesystem::path> files) {
    // Without the program's folder a portable copy's data beside it would be
    // passed over for a first run elsewhere: the start is refused instead.
    const std::filesystem::path program = platform_.program_folder();
    if (!data_dir && program.empty()) {
        platform_.message_box(QStringLiteral("帳丸のフォルダを確かめられないため、起動できません。"),
                              QMessageBox::Critical, QMessageBox::Ok, program_caption);
        return false;
    }
    const std::optional<std::filesystem::path> folder =
        writable_data_folder(platform_, choose_data_folder(data_dir, program, user_data_folder()));
    if (!folder) return false;
    platform_.set_data_folder(*folder);
    const std::filesystem::path file = data_file_path(platform_);
    if (!data_file_usable(platform_, file) || !take_lock(platform_, lock_, file)) return false;
    // The data file is read on another thread while the window is built.
    // The data belongs to the reading until it is taken back, and the
    // window is built without any: it is given the data only then.
    std::future<ReadData> reading = std::async(std::launch::async, [file] {
        ReadData read{Portfolio::create(), {}};
        read.file = read_data_file(file, *read.data);
        return read;
    });
    window_ = std::make_unique<StockMain>(platform_);
    platform_.set_owner(window_.get());
    ReadData read = reading.get();
    document_ = start_up(*window_, std::move(read.data), std::move(read.file));
    if (!document_) return false;
    close_on_termination_signals(*window_);
    window_->show();
    // The files wait for the event loop, so their previews open over the
    // window as it is shown.
    if (!files.empty())
        QTimer::singleShot(0, window_.get(), [this, files = std::move(files)] { window_->import_files(files); });
    return true;
}

}  // namespace chomaru
