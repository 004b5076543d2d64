#include "app/read_me_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

namespace chomaru {
namespace {

// All seven sentences of the welcome, the last one too, are in view without
// scrolling.
TEST(Welcome, TheWholeTextIsInViewWithoutScrolling) {
    ReadMeDialog welcome;
    welcome.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(welcome.Text1->toPlainText(), ReadMeDialog::welcome_text);
    EXPECT_EQ(welcome.Text1->verticalScrollBar()->maximum(), 0);
    welcome.close();
}

TEST(Welcome, EnterPressesOk) {
    ReadMeDialog welcome;
    welcome.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&welcome));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &welcome, Qt::Key_Return);
    EXPECT_EQ(welcome.result(), QDialog::Accepted);
    EXPECT_FALSE(welcome.isVisible());
}

}  // namespace
}  // namespace chomaru
