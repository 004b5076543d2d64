// The floor of every Japanese window's start: a bare window showing one
// label of Japanese text in the program's font, from the start of the
// process to the end of its first paint. Unlike a window without text, it
// pays for finding and reading the font before it paints, as every window of
// the program does.
#include <QApplication>
#include <QLabel>

#include "first_paint.h"
#include "ui/widgets.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("銘柄を選択する"));
    window.setFont(chomaru::program_font(9));
    window.setAlignment(Qt::AlignCenter);
    window.resize(690, 369);
    window.show();
    wait_for_first_paint(window);
    report_first_paint();
    return 0;
}
