#include <QApplication>

#include "app/application.h"
#include "app/command_line.h"

int main(int argc, char* argv[]) {
    const chomaru::CommandLine line = chomaru::read_command_line(argc, argv);
    if (line.exit_status) return *line.exit_status;
    QApplication app(argc, argv);
    chomaru::ChomaruApp chomaru(app);
    // A refused start ends with status 1, so scripts and launchers can tell.
    if (!chomaru.open(line.data_dir, line.files)) return 1;
    return app.exec();
}
