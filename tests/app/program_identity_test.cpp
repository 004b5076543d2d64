#include "app/program_identity.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace chomaru {
namespace {

bool has_icon() { return !QGuiApplication::windowIcon().isNull(); }

// The icon is not read before a window is drawn, then comes in every size
// drawn, also on the window that was shown without it.
TEST(ProgramIdentity, TheIconComesJustAfterTheFirstWindowHasPainted) {
    set_program_identity(*qApp);
    QApplication::processEvents();
    EXPECT_FALSE(has_icon());
    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor(has_icon, 5000));
    QList<int> sides;
    for (const QSize& size : QGuiApplication::windowIcon().availableSizes()) sides << size.width();
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(sides, (QList<int>{16, 24, 32, 48, 64, 128, 256}));
    EXPECT_FALSE(window.windowIcon().isNull());
}

// A question asked before the main window exists is itself the first window.
TEST(ProgramIdentity, AQuestionBeforeTheMainWindowBringsTheIcon) {
    set_program_identity(*qApp);
    bool had_icon = false;
    QTimer::singleShot(0, [&] {
        had_icon = QTest::qWaitFor(has_icon, 5000);
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    QMessageBox::information(nullptr, QStringLiteral("帳丸"), QStringLiteral("帳丸は既に起動しています。"));
    EXPECT_TRUE(had_icon);
}

}  // namespace
}  // namespace chomaru
