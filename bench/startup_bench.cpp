// One whole start of the program, timed from outside as a process: the
// QApplication, the Japanese settings, the data file beside this executable
// read, the main window built, filled, shown and painted once; then it ends
// without saving.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/application.h"
#include "first_paint.h"
#include "views/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    chomaru::ChomaruApp chomaru(app);
    if (!chomaru.open()) return 1;
    wait_for_first_paint(chomaru.window());
    report_first_paint();
    // The peak resident memory of the process, for the benchmark report.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) std::fprintf(stderr, "%s\n", line.c_str());
    return chomaru.window().isVisible() ? 0 : 1;
}
