#include <QApplication>
#include <QTranslator>
#include <gtest/gtest.h>

#include "app/application.h"

// Window tests run with the program's own regional settings and font, so the
// widgets are laid out as users see them.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTranslator translator;
    chomaru::apply_japanese_settings(app, translator);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
