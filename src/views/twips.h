#pragma once

#include <QRect>
#include <QWidget>

namespace chomaru {

// Window layouts are given in twips (1/1440 inch): 15 twips make one pixel
// at 96 dots per inch, and positions scale with the screen's resolution.
int twips(const QWidget* widget, int value);
QRect twips_rect(const QWidget* widget, int left, int top, int width, int height);
void place(QWidget* widget, int left, int top, int width, int height);

}  // namespace chomaru
