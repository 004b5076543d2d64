#pragma once

#include <QBoxLayout>
#include <QRect>
#include <QWidget>
#include <vector>

namespace chomaru {

// Window layouts are given in twips (1/1440 inch): 15 twips make one pixel
// at 96 dots per inch, and positions scale with the screen's resolution.
int twips(const QWidget* widget, int value);
QRect twips_rect(const QWidget* widget, int left, int top, int width, int height);
void place(QWidget* widget, int left, int top, int width, int height);

// A box layout whose margins and spacing are given in twips, so that a
// window laid out with it puts its widgets where a design in twips puts them
// at the window's default size, and scales with the screen as they do.
// Without a parent the layout is made to be added to another.
QBoxLayout* twips_box(QBoxLayout::Direction direction, const QWidget* scale, QWidget* parent, int left, int top,
                      int right, int bottom, int spacing = 0);

// A dialog whose widgets were placed one row under the other (a row may
// hold several side by side) is laid out so that at its least size, its
// size as placed, each widget stands where it was placed and is as large;
// the rows with a stretch share what height the window gains, and each row
// its width with its first widget. Called once every widget is placed.
struct PlacedRow {
    std::vector<QWidget*> widgets;
    int stretch = 0;
};
void lay_out_placed(QWidget& window, const std::vector<PlacedRow>& rows);

// Lays out the window and every widget in it now, as showing it would: a
// hidden window is otherwise laid out only when it is shown.
void lay_out_now(QWidget& window);

// A window manager shortens a title that does not fit its window ("バー…報").
// This is the width that shows the whole caption in a bold title font beside
// the title bar's icon and buttons.
int width_for_caption(const QWidget& window, const QString& caption);

}  // namespace chomaru
