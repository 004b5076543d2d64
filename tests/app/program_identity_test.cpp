#include "app/program_identity.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>

namespace chomaru {
namespace {

// The drawings are read on another thread; the icon must still answer with
// every drawn size, and a picture drawn from the right drawing.
TEST(ProgramIdentity, TheWindowIconHoldsEveryDrawing) {
    set_program_identity(*qApp);
    const QIcon icon = QApplication::windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    const QImage picture = icon.pixmap(QSize(48, 48)).toImage();
    ASSERT_EQ(picture.size(), QSize(48, 48));
    EXPECT_GT(qAlpha(picture.pixel(24, 24)), 0);  // drawn, not blank
}

}  // namespace
}  // namespace chomaru
