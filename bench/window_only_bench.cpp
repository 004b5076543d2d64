// The main window alone, from the start of the process to its first paint:
// the program's regional settings and font, with the fonts gathered on a
// thread as at every start, but no data file, no lock and no questions.
// Beside the bare window and the whole start, it tells how much of the start
// the window's own widgets take.
#include <QApplication>

#include "app/application.h"
#include "first_paint.h"
#include "ui/qt_platform.h"
#include "views/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    chomaru::ChomaruApp settings(app);
    chomaru::QtPlatform platform;
    chomaru::StockMain window(platform);
    window.show();
    wait_for_first_paint(window);
    report_first_paint();
    return 0;
}
