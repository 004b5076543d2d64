// A bare Qt window without text, as large as the main window, from the
// start of the process to the end of its first paint. It reads no font
// before it paints, so it is below what any window of the program can reach;
// shown beside the floor for comparison.
#include <QApplication>
#include <QMainWindow>

#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setFixedSize(690, 354);
    window.show();
    wait_for_first_paint(window);
    report_first_paint();
    return 0;
}
