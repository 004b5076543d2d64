#include <QApplication>

#include "app/application.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    chomaru::ChomaruApp chomaru(app);
    if (!chomaru.open()) return 0;
    return app.exec();
}
