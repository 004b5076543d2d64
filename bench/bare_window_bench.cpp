// The floor of the start-up: a bare Qt window, as large as the main window,
// from the start of the process to its first paint.
#include <QApplication>
#include <QMainWindow>

#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setFixedSize(690, 354);
    window.show();
    wait_for_first_paint(window);
    return 0;
}
