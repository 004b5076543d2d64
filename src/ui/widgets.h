#pragma once

#include <QFont>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace chomaru {

class FlexGrid;

// A frame whose contents may come as close to its title and its line as a
// layout's margins say: of the room a style keeps around a frame's contents
// it keeps only the title's line (Fusion keeps 19 pixels above them where
// the title needs 15).
class TitledFrame : public QGroupBox {
public:
    TitledFrame(const QString& title, QWidget* parent);

protected:
    void changeEvent(QEvent* event) override;

private:
    void keep_title_room();
};

// The program's font: the Japanese proportional gothic at `points`.
QFont program_font(double points);

// The program's font with a slightly tighter spacing: the gothic draws
// digits wider than the grids' columns and the boxes were made for, and the
// tighter spacing keeps every figure whole in its cell.
QFont figure_font(double points);

// A label or a push button with its object name and caption, placed in
// twips within its parent. Labels are one line of text high unless told.
QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
              int height = 255);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                    int height);
// A label of text wrapped to its width.
QLabel* text_block(QWidget* parent, const QString& name, const QString& text, int left, int top, int width, int height);
// A table of figures in figure_font(9.75) under a heading row, which stays
// in view while the rows scroll: one column for each width (in twips), the
// first centred and the others right-aligned; no rows below the headings.
FlexGrid* figure_table(QWidget* parent, const QString& name, const QStringList& headings,
                       std::initializer_list<int> widths, int left, int top, int width, int height);
// The default button of a dialog, which closes it accepted.
QPushButton* accept_button(QDialog* dialog, const QString& name, const QString& caption, int left, int top, int width,
                           int height);

}  // namespace chomaru
