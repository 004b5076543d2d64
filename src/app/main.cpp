#include <QApplication>

#include "app/application.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    chomaru::ChomaruApp chomaru(app);
    // A refused start ends with status 1, so scripts and launchers can tell.
    if (!chomaru.open()) return 1;
    return app.exec();
}
