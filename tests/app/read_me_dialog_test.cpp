#include "app/read_me_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

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

}  // namespace
}  // namespace chomaru
