#include "app/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <clocale>

#include "app/lifecycle.h"
#include "app/shutdown_signals.h"
#include "views/main_window.h"

namespace chomaru {

void apply_japanese_settings(QApplication& app, QTranslator& translator) {
    // Qt sets the C library's locale from the environment; number text is
    // the program's own and must not follow it.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    if (translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
    QFont font(QStringLiteral("IPAPGothic"), 9);
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);
}

ChomaruApp::ChomaruApp(QApplication& app) {
    apply_japanese_settings(app, translator_);
    // The end of the desktop session closes the window the normal way.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [this](QSessionManager&) {
        if (window_) window_->close();
    });
}

ChomaruApp::~ChomaruApp() = default;

bool ChomaruApp::open() {
    lock_.emplace(platform_.program_folder());
    if (!lock_->acquired()) {
        platform_.message_box(QStringLiteral("帳丸は既に起動しています。"), QMessageBox::Information, QMessageBox::Ok,
                              program_caption);
        return false;
    }
    portfolio_ = Portfolio::create();
    window_ = std::make_unique<StockMain>(*portfolio_, platform_);
    platform_.set_owner(window_.get());
    if (!start_up(*window_)) return false;
    close_on_termination_signals(*window_);
    window_->show();
    return true;
}

}  // namespace chomaru
