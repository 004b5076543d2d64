#pragma once

#include <QRect>
#include <QWidget>

namespace chomaru {

// Window layouts are given in twips (1/1440 inch): 15 twips make one pixel
// at 96 dots per inch, and positions scale with the screen's resolution.
int twips(const QWidget* widget, int value);
QRect twips_rect(const QWidget* widget, int left, int top, int width, int height);
void place(QWidget* widget, int left, int top, int width, int height);

// A window manager shortens a title that does not fit its window ("バー…報").
// This is the width that shows the whole caption in a bold title font beside
// the title bar's icon and buttons.
int width_for_caption(const QWidget& window, const QString& caption);

}  // namespace chomaru
