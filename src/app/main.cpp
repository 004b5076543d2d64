#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTranslator>
#include <clocale>

#include "app/instance_lock.h"
#include "app/lifecycle.h"
#include "app/qt_platform.h"
#include "app/shutdown_signals.h"
#include "views/main_window.h"

using namespace chomaru;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt sets the C library's locale from the environment; number text is
    // the program's own and must not follow it.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qt_japanese;
    if (qt_japanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qt_japanese);
    QFont font(QStringLiteral("IPAPGothic"), 9);
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);

    QtPlatform platform;
    InstanceLock lock(platform.program_folder());
    if (!lock.acquired()) {
        platform.message_box(QStringLiteral("帳丸は既に起動しています。"), QMessageBox::Information, QMessageBox::Ok,
                             program_caption);
        return 0;
    }

    auto portfolio = Portfolio::create();
    StockMain window(*portfolio, platform);
    platform.set_owner(&window);
    if (!start_up(window)) return 1;

    close_on_termination_signals(window);
    // The end of the desktop session closes the window the normal way.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&](QSessionManager&) { window.close(); });
    QApplication::setQuitOnLastWindowClosed(true);

    window.show();
    return app.exec();
}
